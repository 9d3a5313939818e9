#include "importerrorsdialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ImportErrorsDialog::ImportErrorsDialog(const QString &heading, const QStringList &lines,
                                       QWidget *parent, Outcome outcome)
    : QDialog(parent)
{
    const bool imported = outcome == Outcome::Imported;
    setObjectName(imported ? QStringLiteral("importWarningsDialog")
                           : QStringLiteral("importErrorsDialog"));
    setWindowTitle(imported ? QStringLiteral("Билеты импортированы")
                            : QStringLiteral("Билеты не импортированы"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(heading, this);
    label->setObjectName(QStringLiteral("importErrorsHeading"));
    label->setWordWrap(true);
    layout->addWidget(label);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("importErrorsText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(lines.join(u'\n'));
    layout->addWidget(m_text, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *copy =
        buttons->addButton(QStringLiteral("Копировать"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("importErrorsCopy"));
    QPushButton *close =
        buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("importErrorsClose"));
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_text->toPlainText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 400);
}

QString ImportErrorsDialog::text() const
{
    return m_text->toPlainText();
}
