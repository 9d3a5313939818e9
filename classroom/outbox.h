#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// The rows of a learner's local history that have not reached the server
// yet: every row carries its UUID and a flag set only once the server has
// confirmed the commit that stored it (see Outbox::markSent).
struct OutgoingAttempt
{
    qint64 id = 0; // local row id
    QString uuid;
    QString database; // the question database's fingerprint
    QString mode;
    qint64 startedAtMs = 0;
    bool startSent = false; // the server has the attempt, not yet its end
    std::optional<qint64> endedAtMs;
    int correct = 0;
    int wrong = 0;
    std::optional<bool> passed;
    // The flag this row earns once the batch is committed: 1 the start, 2 the end too.
    int sentState() const { return endedAtMs ? 2 : 1; }
};

struct OutgoingAnswer
{
    qint64 id = 0;
    QString uuid;
    QString database;
    int question = 0;
    std::optional<qint64> questionKey;
    QString mode;
    int variant = 0;
    bool right = false;
    int seconds = 0;
    qint64 answeredAtMs = 0;
    QString attemptUuid; // empty outside an attempt
    bool correction = false;
};

// The marathon of one question database as last saved on this PC. Only the
// newest state of each database waits: one saved over it before it was sent
// would be older than it on the server anyway.
struct OutgoingMarathon
{
    QString uuid;
    QString database;
    QString order; // the question numbers as stored: "17,4,…"
    int position = 0;
    int right = 0;
    int wrong = 0;
    qint64 updatedAtMs = 0;
};

// The learner reset a database's results on this PC: the server keeps it,
// so that their answers from before it never come back at sign-in.
struct OutgoingReset
{
    QString uuid;
    QString database;
    qint64 resetAtMs = 0;
};

struct OutboxBatch
{
    QList<OutgoingAttempt> attempts;
    QList<OutgoingAnswer> answers;
    QList<OutgoingMarathon> marathons;
    QList<OutgoingReset> resets;
    bool isEmpty() const
    {
        return attempts.isEmpty() && answers.isEmpty() && marathons.isEmpty() && resets.isEmpty();
    }
    int size() const
    {
        return int(attempts.size() + answers.size() + marathons.size() + resets.size());
    }
};

// Reads and marks the outbox of one local history file, through a
// connection of the caller's own (the sync thread's).
namespace Outbox {
// Up to `limit` unsent answers and the attempts still to send, oldest first,
// and the unsent marathon states and resets; nullopt when the file cannot be
// read now.
std::optional<OutboxBatch> take(QSqlDatabase &history, int limit);
// Marks the batch's rows as on the server, in one transaction. Called only
// after the server confirmed the commit: a row whose mark is lost (the PC
// switched off) is sent again and the server keeps it once.
bool markSent(QSqlDatabase &history, const OutboxBatch &batch);
// How many answers, attempts, marathon states and resets wait; -1 when the file
// cannot be read.
int pendingCount(QSqlDatabase &history);
} // namespace Outbox
