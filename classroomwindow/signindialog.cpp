#include "signindialog.h"

#include "classroomsignin.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

SignInDialog::SignInDialog(const QList<ClassroomLearner> &learners, const QString &note,
                           QWidget *parent)
    : QDialog(parent), m_learners(learners)
{
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(QStringLiteral("Кто учится?"));
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(
        QStringLiteral("Выберите себя в списке класса или введите имя и фамилию (это нужно "
                       "сделать один раз — потом вы будете в списке):"),
        this);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("classList"));
    for (const ClassroomLearner &learner : learners)
        m_list->addItem(learner.name);
    layout->addWidget(m_list);
    if (!note.isEmpty()) {
        auto *noteLabel = new QLabel(note, this);
        noteLabel->setObjectName(QStringLiteral("classListNote"));
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("learnerName"));
    m_name->setPlaceholderText(QStringLiteral("Имя и фамилия"));
    m_name->setMaxLength(100);
    layout->addWidget(m_name);

    auto *buttons = new QDialogButtonBox(this);
    m_signIn = buttons->addButton(QStringLiteral("Войти"), QDialogButtonBox::AcceptRole);
    m_signIn->setObjectName(QStringLiteral("signInButton"));
    m_signIn->setEnabled(false);
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Без входа"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("withoutSignInButton"));
    cancel->setToolTip(QStringLiteral("Заниматься без имени: ответы останутся только на этом "
                                      "компьютере, в его общей истории."));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &SignInDialog::onSelectionChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_name, &QLineEdit::textEdited, this, &SignInDialog::onNameEdited);
    resize(360, 380);
}

void SignInDialog::onSelectionChanged()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_learners.size())
        m_name->setText(m_learners[row].name);
    m_signIn->setEnabled(!ClassroomLearners::normalizedName(m_name->text()).isEmpty());
}

void SignInDialog::onNameEdited()
{
    m_list->clearSelection();
    m_signIn->setEnabled(!ClassroomLearners::normalizedName(m_name->text()).isEmpty());
}

ClassroomLearner SignInDialog::learner() const
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_learners.size() && m_list->currentItem()->isSelected())
        return m_learners[row];
    return ClassroomSignIn::learnerNamed(m_name->text(), m_learners);
}
