#include "historywritequeue.h"

#include "answerhistory.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

HistoryWriteQueue::HistoryWriteQueue(AnswerHistory &history, QObject *parent)
    : QObject(parent), m_history(history)
{
    m_retry.setInterval(RetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &HistoryWriteQueue::drain);
}

HistoryWriteQueue::~HistoryWriteQueue()
{
    if (!flush(ExitFlushMs))
        qWarning("History: %d writes could not be stored in %s before the end", pendingCount(),
                 qPrintable(m_history.filePath()));
}

qint64 HistoryWriteQueue::beginAttempt(const QString &fingerprint, HistoryMode mode,
                                       const QDateTime &startedAt)
{
    if (m_pending.empty()) {
        const int delayed = m_history.delayedWriteCount();
        if (const qint64 id = m_history.beginAttempt(fingerprint, mode, startedAt); id > 0)
            return id;
        if (m_history.delayedWriteCount() == delayed)
            return 0;
    }
    const qint64 handle = --m_lastHandle;
    m_pending.push_back(BeginAttempt{handle, fingerprint, mode, startedAt});
    m_retry.start();
    return handle;
}

void HistoryWriteQueue::endAttempt(qint64 attempt, const QDateTime &endedAt,
                                   const AttemptSummary &result)
{
    if (attempt != 0)
        submit(EndAttempt{attempt, endedAt, result});
}

bool HistoryWriteQueue::recordAnswer(const QString &fingerprint, const AnswerRecord &answer)
{
    return submit(Answer{fingerprint, answer}) != Outcome::Refused;
}

bool HistoryWriteQueue::saveMarathon(const QString &fingerprint, const MarathonState &state,
                                     const QDateTime &savedAt)
{
    return submit(Marathon{fingerprint, state, savedAt}) != Outcome::Refused;
}

bool HistoryWriteQueue::clear(const QString &fingerprint)
{
    return submit(Clear{fingerprint}) != Outcome::Refused;
}

HistoryWriteQueue::Outcome HistoryWriteQueue::submit(Write write)
{
    if (m_pending.empty()) {
        const Outcome outcome = execute(write);
        if (outcome != Outcome::Delayed)
            return outcome;
    } else if (!m_history.isAvailable() && !m_history.isOpenDeferred()) {
        return Outcome::Refused;
    }
    m_pending.push_back(std::move(write));
    m_retry.start();
    return Outcome::Delayed;
}

qint64 HistoryWriteQueue::resolve(qint64 attempt) const
{
    return attempt >= 0 ? attempt : m_attemptIds.value(attempt, 0);
}

HistoryWriteQueue::Outcome HistoryWriteQueue::execute(const Write &write)
{
    const int delayed = m_history.delayedWriteCount();
    const bool written = std::visit(
        [this](const auto &w) -> bool {
            using T = std::decay_t<decltype(w)>;
            if constexpr (std::is_same_v<T, BeginAttempt>) {
                const qint64 id = m_history.beginAttempt(w.fingerprint, w.mode, w.startedAt);
                if (id > 0)
                    m_attemptIds.insert(w.handle, id);
                return id > 0;
            } else if constexpr (std::is_same_v<T, EndAttempt>) {
                const qint64 id = resolve(w.attempt);
                return id > 0 && m_history.endAttempt(id, w.endedAt, w.result);
            } else if constexpr (std::is_same_v<T, Answer>) {
                AnswerRecord record = w.record;
                record.attemptId = resolve(record.attemptId);
                return m_history.recordAnswer(w.fingerprint, record);
            } else if constexpr (std::is_same_v<T, Marathon>) {
                return m_history.saveMarathon(w.fingerprint, w.state, w.savedAt);
            } else {
                return m_history.clear(w.fingerprint);
            }
        },
        write);
    if (written)
        return Outcome::Written;
    return m_history.delayedWriteCount() != delayed ? Outcome::Delayed : Outcome::Refused;
}

void HistoryWriteQueue::drain()
{
    while (!m_pending.empty()) {
        if (execute(m_pending.front()) == Outcome::Delayed)
            return;
        // Written, or refused for good (the history turned read-only): either
        // way it is done with.
        m_pending.pop_front();
    }
    m_retry.stop();
}

bool HistoryWriteQueue::flush(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        drain();
        if (m_pending.empty())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
}
