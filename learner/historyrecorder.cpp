#include "historyrecorder.h"

#include "examattempt.h"
#include "historywritequeue.h"

HistoryRecorder *HistoryRecorder::attach(ExamAttempt &attempt, HistoryWriteQueue &history,
                                         const QString &fingerprint, HistoryMode mode)
{
    auto *recorder = new HistoryRecorder(history, fingerprint, mode, &attempt);
    if (attempt.mode() == AttemptMode::Marathon)
        recorder->m_marathonOrder = attempt.setup().questions;
    attempt.setListener(recorder);
    return recorder;
}

HistoryRecorder::HistoryRecorder(HistoryWriteQueue &history, const QString &fingerprint,
                                 HistoryMode mode, QObject *parent)
    : QObject(parent), m_history(history), m_fingerprint(fingerprint), m_mode(mode)
{
}

HistoryRecorder::~HistoryRecorder()
{
    // The attempt outlives its children's destructors only briefly; make sure
    // it no longer calls a recorder that is gone.
    if (auto *attempt = qobject_cast<ExamAttempt *>(parent()))
        attempt->setListener(nullptr);
}

QDateTime HistoryRecorder::now() const
{
    return m_clock ? m_clock().toUTC() : QDateTime::currentDateTimeUtc();
}

void HistoryRecorder::attemptStarted()
{
    m_attemptId = m_history.beginAttempt(m_fingerprint, m_mode, now());
    m_answeredInAttempt.clear();
}

void HistoryRecorder::answerGiven(int question, int storedVariant, bool correct, int seconds)
{
    AnswerRecord record;
    record.question = question;
    record.mode = m_mode;
    record.variant = storedVariant;
    record.right = correct;
    record.seconds = seconds;
    record.answeredAtMs = now().toMSecsSinceEpoch();
    record.attemptId = m_attemptId;
    // In the learning-style runs a wrong answer shows the comment with the
    // right variant, and the learner may then click it: that answer, or any
    // other later one to the same question, is not recall.
    record.correction = m_answeredInAttempt.contains(question);
    m_answeredInAttempt.insert(question);
    m_history.recordAnswer(m_fingerprint, record);
}

void HistoryRecorder::attemptEnded(const AttemptResult &result, bool finished)
{
    if (m_attemptId == 0)
        return;
    AttemptSummary summary;
    summary.correct = result.correctCount;
    summary.wrong = result.errorCount;
    if (finished)
        summary.passed = result.passed;
    m_history.endAttempt(m_attemptId, now(), summary);
    m_attemptId = 0;
}

void HistoryRecorder::sequenceAdvanced(int answered, int right, int wrong)
{
    if (m_marathonOrder.isEmpty())
        return;
    m_history.saveMarathon(m_fingerprint, MarathonState{m_marathonOrder, answered, right, wrong},
                           now());
}

HistoryMode historyModeOf(const ExamAttempt &attempt)
{
    switch (attempt.mode()) {
    case AttemptMode::Learning:
        return attempt.isPreparation() ? HistoryMode::Preparation : HistoryMode::Learning;
    case AttemptMode::Training:
        return HistoryMode::Training;
    case AttemptMode::Exam:
        return HistoryMode::Exam;
    case AttemptMode::OfficialExam:
        return HistoryMode::OfficialExam;
    case AttemptMode::Marathon:
        return HistoryMode::Marathon;
    }
    return HistoryMode::Learning;
}
