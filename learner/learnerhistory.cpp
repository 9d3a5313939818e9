#include "learnerhistory.h"

#include "answerhistory.h"
#include "databasefingerprint.h"
#include "examattempt.h"
#include "historyrecorder.h"

LearnerHistory::LearnerHistory() = default;
LearnerHistory::~LearnerHistory() = default;

void LearnerHistory::open(const QString &folder, const QString &databasePath)
{
    m_history = std::make_unique<AnswerHistory>(AnswerHistory::filePathIn(folder));
    setDatabase(databasePath);
}

void LearnerHistory::setDatabase(const QString &databasePath)
{
    m_fingerprint = DatabaseFingerprint::fromFile(databasePath);
}

bool LearnerHistory::isAvailable() const
{
    return m_history && m_history->isAvailable() && !m_fingerprint.isEmpty();
}

void LearnerHistory::attach(ExamAttempt &attempt)
{
    attach(attempt, historyModeOf(attempt));
}

void LearnerHistory::attach(ExamAttempt &attempt, HistoryMode mode)
{
    if (isAvailable())
        HistoryRecorder::attach(attempt, *m_history, m_fingerprint, mode);
}

QList<AnswerOutcome> LearnerHistory::outcomes() const
{
    return isAvailable() ? m_history->outcomes(m_fingerprint) : QList<AnswerOutcome>();
}

void LearnerHistory::clearCurrent()
{
    if (isAvailable())
        m_history->clear(m_fingerprint);
}

QString LearnerHistory::takePendingMessage()
{
    return m_history ? m_history->takePendingMessage() : QString();
}
