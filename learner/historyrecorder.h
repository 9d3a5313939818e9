#pragma once

#include "attemptlistener.h"
#include "historymode.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class HistoryWriteQueue;
class ExamAttempt;

// Writes one attempt into the answer history: its start, every answer and
// its end. It listens to the attempt and lives as its child, so it goes when
// the attempt goes; the history's write queue must outlive it. The queue never
// waits for the file: what it cannot write at once it keeps and writes later,
// and an unavailable history makes every write a no-op.
class HistoryRecorder : public QObject, public AttemptListener
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // Listens to `attempt` from now on, recording under `fingerprint` in `mode`.
    static HistoryRecorder *attach(ExamAttempt &attempt, HistoryWriteQueue &history,
                                   const QString &fingerprint, HistoryMode mode);

    HistoryRecorder(HistoryWriteQueue &history, const QString &fingerprint, HistoryMode mode,
                    QObject *parent = nullptr);
    ~HistoryRecorder() override;

    // The time of each record; the current UTC time unless a test sets one.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The attempt's row id; negative while its row waits in the queue.
    qint64 currentAttemptId() const { return m_attemptId; }

    // AttemptListener
    void attemptStarted() override;
    void answerGiven(int question, int storedVariant, bool correct, int seconds) override;
    void attemptEnded(const AttemptResult &result, bool finished) override;
    // The marathon's place, kept after every answer so that it survives
    // anything that ends the program.
    void sequenceAdvanced(int answered, int right, int wrong) override;

private:
    QDateTime now() const;

    HistoryWriteQueue &m_history;
    QString m_fingerprint;
    HistoryMode m_mode;
    Clock m_clock;
    qint64 m_attemptId = 0;
    QList<int> m_marathonOrder; // the marathon's order; empty otherwise
    // The questions answered in this attempt: a later answer to one of them
    // is recorded as a correction.
    QSet<int> m_answeredInAttempt;
};

// The history's name for an attempt of one of the four ticket modes.
HistoryMode historyModeOf(const ExamAttempt &attempt);
