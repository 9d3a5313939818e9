#pragma once

#include "answerrecord.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <variant>

class AnswerHistory;

// Writes into the answer history without ever waiting for it. Each write is
// tried at once; one the store reports as delayed (another program holds the
// file, the disk is full) is kept in memory, in order, and every later write
// queues behind it, so the history receives them exactly once and in the
// order they were given. A timer tries the queue again; flush() empties it
// within a bounded time, as the program ends. What is still waiting then is
// kept in "<history>.pending" beside the file and taken up again, first in
// line, by the next queue over the same history.
//
// An attempt begun while the queue waits has no row id yet: beginAttempt
// returns a negative handle instead, which answers and endAttempt may carry
// like an id; the queue puts the real id in its place when the attempt's row
// is written.
class HistoryWriteQueue : public QObject
{
    Q_OBJECT
public:
    // How often the queue is tried again while it waits.
    static constexpr int RetryIntervalMs = 1000;
    // How long the program's end waits for a locked history at most.
    static constexpr int ExitFlushMs = 3000;

    // The file that keeps the writes still waiting at the end.
    static QString pendingFilePath(const QString &historyPath);

    // Takes up the writes a previous run left waiting, when the history can
    // be written (or waits for a lock).
    explicit HistoryWriteQueue(AnswerHistory &history, QObject *parent = nullptr);
    // Flushes for at most ExitFlushMs, then keeps what is left for next time.
    ~HistoryWriteQueue() override;

    // The id of the new attempt (> 0), a handle while it waits (< 0), or 0
    // when the history records nothing (read-only or unavailable).
    qint64 beginAttempt(const QString &fingerprint, HistoryMode mode, const QDateTime &startedAt);
    void endAttempt(qint64 attempt, const QDateTime &endedAt, const AttemptSummary &result);
    // False when the answer will not be recorded (not delayed: refused).
    bool recordAnswer(const QString &fingerprint, const AnswerRecord &answer);
    bool saveMarathon(const QString &fingerprint, const MarathonState &state,
                      const QDateTime &savedAt);
    bool clear(const QString &fingerprint, const QDateTime &resetAt);

    // Writes waiting for the history.
    int pendingCount() const { return int(m_pending.size()); }
    // Tries the waiting writes until none is left or `timeoutMs` have passed;
    // true when none is left.
    bool flush(int timeoutMs);

private:
    struct BeginAttempt
    {
        qint64 handle;
        QString fingerprint;
        HistoryMode mode;
        QDateTime startedAt;
    };
    struct EndAttempt
    {
        qint64 attempt;
        QDateTime endedAt;
        AttemptSummary result;
    };
    struct Answer
    {
        QString fingerprint;
        AnswerRecord record;
    };
    struct Marathon
    {
        QString fingerprint;
        MarathonState state;
        QDateTime savedAt;
    };
    struct Clear
    {
        QString fingerprint;
        QDateTime resetAt;
    };
    using Write = std::variant<BeginAttempt, EndAttempt, Answer, Marathon, Clear>;
    enum class Outcome
    {
        Written,
        Delayed,
        Refused
    };

    // Tries `write` now unless others wait; keeps it when it is delayed.
    Outcome submit(Write write);
    Outcome execute(const Write &write);
    // Writes from the front until one is delayed again.
    void drain();
    // The row id of an attempt given as an id or a handle; 0 when unknown.
    qint64 resolve(qint64 attempt) const;
    // The waiting writes into the pending file, and back.
    bool savePending() const;
    void restorePending();

    AnswerHistory &m_history;
    std::deque<Write> m_pending;
    QHash<qint64, qint64> m_attemptIds; // handle -> row id, once written
    qint64 m_lastHandle = 0;
    QTimer m_retry;
};
