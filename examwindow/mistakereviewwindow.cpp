#include "mistakereviewwindow.h"

#include "commentlinks.h"

#include "picturebox.h"
#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionindexentry.h"
#include "variantshuffle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace QuestionBankLayout;

namespace {

QLabel *textLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

MistakeReviewWindow::MistakeReviewWindow(QuestionDatabase &database,
                                         const QList<ExamMistake> &mistakes, QWidget *parent)
    : QDialog(parent), m_database(database), m_mistakes(mistakes)
{
    setObjectName(QStringLiteral("mistakeReviewWindow"));
    setWindowTitle(QStringLiteral("Разбор ошибок"));
    // No taller than the largest window of the program (InterfaceScale).
    resize(640, 480);

    m_heading = textLabel(this, "reviewHeading");
    QFont bold = m_heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    m_heading->setFont(bold);
    m_counter = new QLabel(this);
    m_counter->setObjectName(QStringLiteral("reviewCounter"));

    m_picture = new PictureBox(this);
    m_picture->setObjectName(QStringLiteral("reviewPicture"));
    m_picture->setFixedSize(353, 137);
    m_question = textLabel(this, "reviewQuestion");
    m_question->setFont(bold);
    m_variants = textLabel(this, "reviewVariants");
    m_variants->setTextFormat(Qt::RichText);
    m_comment = textLabel(this, "reviewComment");

    auto *body = new QWidget;
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->addWidget(m_picture, 0, Qt::AlignHCenter);
    bodyLayout->addWidget(m_question);
    bodyLayout->addWidget(m_variants);
    bodyLayout->addWidget(m_comment);
    bodyLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    m_previous = new QPushButton(QStringLiteral("◀ Назад"), this);
    m_previous->setObjectName(QStringLiteral("reviewPreviousButton"));
    m_next = new QPushButton(QStringLiteral("Дальше ▶"), this);
    m_next->setObjectName(QStringLiteral("reviewNextButton"));
    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("reviewCloseButton"));
    connect(m_previous, &QPushButton::clicked, this, [this] { showMistake(m_index - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showMistake(m_index + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(m_heading, 1);
    top->addWidget(m_counter);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    showMistake(0);
}

void MistakeReviewWindow::setReferenceLinks(
    const Reference *reference, std::function<void(ReferenceKind, const QString &)> open)
{
    m_reference = reference;
    m_openReference = std::move(open);
    m_comment->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(m_comment, &QLabel::linkActivated, this, [this](const QString &link) {
        if (const std::optional<CommentLink> target = CommentLinks::fromUrl(QUrl(link));
            target && m_openReference)
            m_openReference(target->kind, target->number);
    });
    if (m_index >= 0)
        showMistake(m_index);
}

void MistakeReviewWindow::showMistake(int index)
{
    if (index < 0 || index >= m_mistakes.size())
        return;
    m_index = index;
    const ExamMistake &mistake = m_mistakes[index];
    m_counter->setText(QStringLiteral("%1 из %2").arg(index + 1).arg(m_mistakes.size()));
    m_previous->setEnabled(index > 0);
    m_next->setEnabled(index + 1 < m_mistakes.size());
    m_heading->setText(QStringLiteral("Вопрос №%1 (билет №%2, вопрос №%3)")
                           .arg(mistake.number)
                           .arg(ticketOf(mistake.question))
                           .arg(questionOf(mistake.question)));

    Question question;
    try {
        m_database.readQuestion(mistake.question, question);
    } catch (const QuestionBankError &e) {
        m_picture->hide();
        m_question->setText(e.message());
        m_variants->clear();
        m_comment->clear();
        return;
    }
    m_picture->setVisible(question.picture.has_value());
    if (question.picture)
        m_picture->setImage(*question.picture);
    m_question->setText(question.questionText);

    // The variants in the order the learner saw them, the right one and the
    // learner's marked in words as well as colour.
    const int stored = question.correctVariant;
    const int place = mistake.correctPlace > 0 ? mistake.correctPlace : stored;
    QString variants;
    for (int shown = 1; shown <= question.answerCount && shown <= MaxVariants; ++shown) {
        const int n = VariantShuffle::exchanged(shown, stored, place);
        QString line = QStringLiteral("%1. %2").arg(shown).arg(
            question.answerTexts[size_t(n)].toHtmlEscaped());
        if (n == question.correctVariant)
            line = QStringLiteral("<b style=\"color:#1b7a1b\">%1 — верный ответ</b>").arg(line);
        else if (n == mistake.chosenVariant)
            line = QStringLiteral("<span style=\"color:#c01010\">%1 — ваш ответ</span>").arg(line);
        variants += line + QStringLiteral("<br>");
    }
    if (mistake.chosenVariant == 0)
        variants += QStringLiteral("<i>Ответ не дан: время закончилось.</i>");
    m_variants->setText(variants);
    const QString comment = question.commentText.isEmpty()
                                ? QString()
                                : QStringLiteral("Комментарий: ") + question.commentText;
    const QList<CommentLink> links =
        m_reference ? CommentLinks::find(comment, m_reference) : QList<CommentLink>();
    m_comment->setTextFormat(links.isEmpty() ? Qt::PlainText : Qt::RichText);
    m_comment->setText(links.isEmpty() ? comment : CommentLinks::toHtml(comment, links));
}
