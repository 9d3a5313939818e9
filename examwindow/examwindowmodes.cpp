// What the exam window shows and does for each kind of attempt: the mode
// label, the heading and the status line beside it; the marathon's "Далее"
// and its end; the official exam's additional part and its result.
#include "examwindow.h"
#include "examwindowhost.h"

#include "designwidgets.h"
#include "examwindowstyle.h"
#include "messageboxes.h"
#include "officialresultdialog.h"
#include "questionpanel.h"
#include "timetext.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace ExamWindowStyle;

void ExamWindow::showModeLabel()
{
    struct ModeLabel
    {
        const char16_t *text;
        quint32 colour;
    };
    ModeLabel label{u"Режим обучения", 65280};
    switch (m_attempt->mode()) {
    case AttemptMode::Learning:
        if (m_attempt->isPreparation())
            label = {u"Режим подготовки", 65478};
        else if (!m_attempt->setup().topicName.isEmpty())
            label = {u"Обучение по теме", 65280};
        break;
    case AttemptMode::Training:
        label = {u"Режим тренировки", 52479};
        break;
    case AttemptMode::Exam:
        label = {u"Режим экзамена", 255};
        break;
    case AttemptMode::OfficialExam:
        label = {u"Экзамен ГИБДД", 255};
        break;
    case AttemptMode::Marathon:
        label = {u"Марафон", 33023};
        break;
    }
    m_modeLabel->setText(QString::fromUtf16(label.text));
    setTextColour(m_modeLabel, fromBgr(label.colour));
}

void ExamWindow::showHeading()
{
    switch (m_attempt->mode()) {
    case AttemptMode::Exam:
        m_headingLabel->setText(QStringLiteral("Вопрос №%1").arg(m_attempt->questionNumber()));
        break;
    case AttemptMode::OfficialExam:
        m_headingLabel->setText(
            QStringLiteral("Вопрос №%1").arg(m_attempt->displayNumber(m_attempt->position())));
        break;
    case AttemptMode::Marathon:
        m_headingLabel->setText(QStringLiteral("Вопрос %1 из %2")
                                    .arg(m_attempt->displayNumber(m_attempt->position()))
                                    .arg(m_attempt->sequenceLength()));
        break;
    default:
        m_headingLabel->setText(QStringLiteral("Билет №%1 Вопрос №%2")
                                    .arg(m_attempt->ticket())
                                    .arg(m_attempt->questionNumber()));
        break;
    }
    m_headingLabel->adjustSize();
    showStatusLine();
}

void ExamWindow::showStatusLine()
{
    // `head` may be shortened to fit, `tail` is always shown whole.
    QString head;
    QString tail;
    const ExamAttempt &attempt = *m_attempt;
    switch (attempt.mode()) {
    case AttemptMode::OfficialExam:
        if (attempt.officialPart() == ExamAttempt::OfficialPart::Main ||
            attempt.additionalBlocks().isEmpty())
            tail = QStringLiteral("Основная часть");
        else
            tail = QStringLiteral("Дополнительный блок %1 из %2")
                       .arg(attempt.additionalBlockOf(attempt.position()))
                       .arg(attempt.additionalBlocks().size());
        break;
    case AttemptMode::Marathon:
        tail = QStringLiteral("Верно %1, ошибок %2")
                   .arg(attempt.sequenceRight())
                   .arg(attempt.sequenceWrong());
        head = QStringLiteral(" · билет №%1, вопрос №%2")
                   .arg(attempt.ticket())
                   .arg(attempt.questionNumber());
        break;
    case AttemptMode::Learning:
        if (!attempt.setup().topicName.isEmpty()) {
            const int first = attempt.displayNumber(1);
            head = attempt.setup().topicName;
            tail = QStringLiteral(": %1–%2 из %3")
                       .arg(first)
                       .arg(first + attempt.positionCount() - 1)
                       .arg(attempt.sequenceLength());
        }
        break;
    default:
        break;
    }
    // The marathon's counts come first, its ticket after them.
    const bool tailFirst = attempt.mode() == AttemptMode::Marathon;
    const QString text = tailFirst ? tail + head : head + tail;
    m_statusLabel->setVisible(!text.isEmpty());
    if (text.isEmpty())
        return;
    // Between the heading and the mode label's text, shortened to the room.
    const QFontMetrics modeMetrics(m_modeLabel->font());
    const int modeTextLeft =
        m_modeLabel->geometry().right() - modeMetrics.horizontalAdvance(m_modeLabel->text());
    const int left = m_headingLabel->geometry().right() + 14;
    const int room = std::max(modeTextLeft - left - 12, 40);
    const QFontMetrics metrics(m_statusLabel->font());
    const int headRoom = std::max(room - metrics.horizontalAdvance(tail), 0);
    const QString shortHead = metrics.elidedText(head, Qt::ElideRight, headRoom);
    m_statusLabel->setText(tailFirst ? tail + shortHead : shortHead + tail);
    m_statusLabel->setToolTip(text);
    m_statusLabel->setGeometry(left, 8, room, 20);
}

void ExamWindow::refreshNextButton()
{
    QPushButton *next = m_questionPanel->nextButton();
    if (!m_attempt || m_attempt->mode() != AttemptMode::Marathon)
        return;
    // An answered question goes on; so does one that cannot be read.
    const bool canGoOn =
        m_attempt->positionDone(m_attempt->position()) || !m_attempt->questionReadable();
    next->setEnabled(attemptRunning() && canGoOn);
    next->setText(m_attempt->sequenceComplete() ? QStringLiteral("Готово ▶")
                                                : QStringLiteral("Далее ▶"));
}

void ExamWindow::announceAdditionalPart(int generation)
{
    m_countdownTimer->stop();
    m_secondsTimer->stop();
    const int blocks = int(m_attempt->additionalBlocks().size());
    const QString text =
        blocks == 1
            ? QStringLiteral("В основной части одна ошибка.\n"
                             "Вам добавлен дополнительный блок: 5 вопросов, 5 минут. "
                             "Ошибиться в нём нельзя.")
            : QStringLiteral("В основной части две ошибки в разных блоках.\n"
                             "Вам добавлены два дополнительных блока: 10 вопросов, 10 минут. "
                             "Ошибиться в них нельзя.");
    MessageBoxes::information(this, QStringLiteral("Дополнительные вопросы"), text);
    if (!attemptStillCurrent(generation))
        return;
    m_attempt->startAdditionalPart();
    m_timeLabel->setText(longTimeText(m_attempt->remainingSeconds()));
    m_countdownTimer->start();
    m_secondsTimer->start();
}

void ExamWindow::onNextClicked()
{
    if (!attemptRunning() || m_attempt->mode() != AttemptMode::Marathon)
        return;
    if (!m_attempt->positionDone(m_attempt->position())) {
        if (!m_attempt->skipUnreadable())
            return;
        refreshReachableItems();
    }
    if (m_attempt->sequenceComplete()) {
        onStopClicked();
        return;
    }
    for (int position = 1; position <= m_attempt->positionCount(); ++position) {
        if (!m_attempt->positionDone(position)) {
            showPosition(position);
            return;
        }
    }
    // The page is done: the next twenty (pageChanged shows them).
    m_attempt->turnPage();
}

void ExamWindow::showOfficialResult(const AttemptResult &result)
{
    OfficialResultDialog *dialog = officialResultDialog();
    dialog->setResult(result, m_attempt->database());
    ExamWindowHost *host = m_host;
    dialog->setReferenceLinks(host ? host->reference() : nullptr,
                              [host](ReferenceKind kind, const QString &number) {
                                  host->openReferenceEntry(kind, number);
                              });
    dialog->exec();
}

void ExamWindow::showMarathonResult(const AttemptResult &result)
{
    // A marathon left on the way goes on next time; only its end is told.
    if (!result.passed)
        return;
    MessageBoxes::information(this, QStringLiteral("Марафон"),
                              QStringLiteral("Марафон пройден! Верных ответов: %1 из %2.\n"
                                             "Новый марафон начнётся в новом порядке.")
                                  .arg(m_attempt->sequenceRight())
                                  .arg(m_attempt->sequenceLength()));
}
