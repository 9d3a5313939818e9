#include "officialresultdialog.h"

#include "mistakereviewwindow.h"
#include "screenfit.h"
#include "timetext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using OfficialExamRules::Failure;

namespace {

// "1 ошибка", "2 ошибки": the two counts the main part can carry on with.
QString errorsInMainPart(int blocks)
{
    return blocks == 1 ? QStringLiteral("одна ошибка")
                       : QStringLiteral("две ошибки в разных блоках");
}

} // namespace

OfficialResultDialog::OfficialResultDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("officialResultDialog"));
    setWindowTitle(QStringLiteral("Экзамен по правилам ГИБДД"));
    setMinimumWidth(420);

    m_headline = new QLabel(this);
    m_headline->setObjectName(QStringLiteral("officialHeadline"));
    QFont big = m_headline->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    m_headline->setFont(big);
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("officialReason"));
    m_reason->setWordWrap(true);
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("officialDetails"));
    m_details->setWordWrap(true);
    m_mistakes = new QLabel(this);
    m_mistakes->setObjectName(QStringLiteral("officialMistakes"));
    m_mistakes->setWordWrap(true);

    m_reviewButton = new QPushButton(QStringLiteral("Разобрать ошибки"), this);
    m_reviewButton->setObjectName(QStringLiteral("reviewMistakesButton"));
    m_reviewButton->setAutoDefault(false);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("officialOkButton"));
    ok->setDefault(true);
    connect(m_reviewButton, &QPushButton::clicked, this, &OfficialResultDialog::openReview);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_reviewButton);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_headline);
    layout->addWidget(m_reason);
    layout->addWidget(m_details);
    layout->addWidget(m_mistakes);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

QString OfficialResultDialog::headline(const AttemptResult &result)
{
    return result.passed ? QStringLiteral("Экзамен сдан") : QStringLiteral("Экзамен не сдан");
}

QString OfficialResultDialog::reason(const AttemptResult &result)
{
    if (!result.official)
        return {};
    const OfficialExamReport &report = *result.official;
    if (report.failure == Failure::TwoErrorsInOneBlock && report.failedBlock >= 0) {
        const int first = report.failedBlock * OfficialExamRules::BlockSize + 1;
        return QStringLiteral("%1 (вопросы %2–%3).")
            .arg(OfficialExamRules::failureText(report.failure))
            .arg(first)
            .arg(first + OfficialExamRules::BlockSize - 1);
    }
    if (report.failure != Failure::None)
        return OfficialExamRules::failureText(report.failure) + QLatin1Char('.');
    if (report.additionalBlockCount == 0)
        return QStringLiteral("Все 20 вопросов основной части отвечены верно.");
    return QStringLiteral("В основной части %1; все %2 дополнительных вопросов отвечены верно.")
        .arg(errorsInMainPart(report.additionalBlockCount))
        .arg(report.additionalBlockCount * OfficialExamRules::BlockSize);
}

void OfficialResultDialog::setResult(const AttemptResult &result, QuestionDatabase &database)
{
    m_result = result;
    m_database = &database;
    QPalette palette = m_headline->palette();
    palette.setColor(QPalette::WindowText, result.passed ? QColor(0x1b, 0x7a, 0x1b) : Qt::red);
    m_headline->setPalette(palette);
    m_headline->setText(headline(result));
    m_reason->setText(reason(result));

    QString details = QStringLiteral("Билет №%1. Время: %2.")
                          .arg(result.ticket)
                          .arg(longTimeText(result.elapsedSeconds));
    const int blocks = result.official ? result.official->additionalBlockCount : 0;
    if (blocks > 0)
        details += QStringLiteral(" Дополнительных блоков: %1.").arg(blocks);
    m_details->setText(details);

    QStringList numbers;
    if (result.official) {
        for (const ExamMistake &mistake : result.official->mistakes)
            numbers << QString::number(mistake.number);
    }
    m_mistakes->setText(
        numbers.isEmpty()
            ? QStringLiteral("Ошибок нет.")
            : QStringLiteral("Ошибки в вопросах: %1.").arg(numbers.join(QStringLiteral(", "))));
    m_reviewButton->setEnabled(!numbers.isEmpty());
}

void OfficialResultDialog::openReview()
{
    if (!m_database || !m_result.official || m_result.official->mistakes.isEmpty())
        return;
    MistakeReviewWindow review(*m_database, m_result.official->mistakes, this);
    ScreenFit::fitToScreen(&review);
    // The attempt has ended: the review's comments may link to the reference.
    review.setReferenceLinks(m_reference, m_openReference);
    review.exec();
}
