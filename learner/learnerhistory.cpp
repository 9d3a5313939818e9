#include "learnerhistory.h"

#include "answerhistory.h"
#include "databasefingerprint.h"
#include "examattempt.h"
#include "historyrecorder.h"
#include "historywritequeue.h"
#include "programrandom.h"
#include "questionindexentry.h"

#include <numeric>

LearnerHistory::LearnerHistory() = default;
LearnerHistory::~LearnerHistory() = default;

void LearnerHistory::open(const QString &folder, const QString &databasePath)
{
    m_writes.reset();
    m_history = std::make_unique<AnswerHistory>(AnswerHistory::filePathIn(folder));
    m_writes = std::make_unique<HistoryWriteQueue>(*m_history);
    setDatabase(databasePath);
}

void LearnerHistory::setDatabase(const QString &databasePath)
{
    m_databasePath = databasePath;
    m_fingerprint = DatabaseFingerprint::fromFile(databasePath);
}

bool LearnerHistory::isAvailable() const
{
    if (!m_history || m_fingerprint.isEmpty())
        return false;
    // Each try may wait the short busy timeout; a window asks several times
    // while it refreshes, so the file is tried at most once a second.
    if ((m_history->isOpenDeferred() || m_writes->pendingCount() > 0) &&
        (!m_lastCatchUp.isValid() || m_lastCatchUp.elapsed() >= 1000)) {
        m_lastCatchUp.start();
        if (m_history->isOpenDeferred())
            m_history->retryOpen();
        if (m_writes->pendingCount() > 0)
            m_writes->flush(0);
    }
    return m_history->isAvailable();
}

bool LearnerHistory::canRecord() const
{
    return m_history && !m_fingerprint.isEmpty() && !m_history->isReadOnly() &&
           (m_history->isAvailable() || m_history->isOpenDeferred());
}

QString LearnerHistory::statusNote() const
{
    if (isAvailable() || (m_history && m_history->isOpenDeferred())) {
        if (m_history->isReadBlocked())
            return QStringLiteral("История ответов сейчас занята другой программой: показано "
                                  "не всё, новые ответы будут записаны позже.");
        if (m_writes->pendingCount() > 0)
            return QStringLiteral("Последние ответы ещё не записаны в историю (файл занят другой "
                                  "программой или на диске нет места); они будут записаны "
                                  "позже.");
        if (m_history->isReadOnly())
            return QStringLiteral("История ответов открыта только для чтения: новые ответы в "
                                  "неё не записываются.");
        return {};
    }
    return QStringLiteral(
        "История ответов недоступна: программа работает только со статистикой «stat.dat».");
}

void LearnerHistory::attach(ExamAttempt &attempt)
{
    attach(attempt, historyModeOf(attempt));
}

void LearnerHistory::attach(ExamAttempt &attempt, HistoryMode mode)
{
    if (canRecord())
        HistoryRecorder::attach(attempt, *m_writes, m_fingerprint, mode);
}

QList<AnswerOutcome> LearnerHistory::outcomes() const
{
    return isAvailable() ? m_history->outcomes(m_fingerprint) : QList<AnswerOutcome>();
}

std::optional<MarathonState> LearnerHistory::marathon() const
{
    return isAvailable() ? m_history->marathon(m_fingerprint) : std::nullopt;
}

std::optional<MarathonState> LearnerHistory::beginMarathon()
{
    if (!canRecord())
        return std::nullopt;
    // Fisher–Yates with the program's own generator (not std::shuffle), so
    // that tests script the order the same way as every other draw.
    MarathonState state;
    state.order.resize(QuestionBankLayout::QuestionCount);
    std::iota(state.order.begin(), state.order.end(), 1);
    for (qsizetype i = state.order.size() - 1; i > 0; --i)
        std::swap(state.order[i], state.order[ProgramRandom::random(int(i) + 1)]);
    if (!m_writes->saveMarathon(m_fingerprint, state, QDateTime::currentDateTimeUtc()))
        return std::nullopt;
    return state;
}

void LearnerHistory::clearCurrent()
{
    if (canRecord())
        m_writes->clear(m_fingerprint);
}

QString LearnerHistory::takePendingMessage()
{
    return m_history ? m_history->takePendingMessage() : QString();
}
