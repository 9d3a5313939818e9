#pragma once

#include "answerrecord.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryDir;

// The learner's answer history: one SQLite file (through Qt SQL's QSQLITE
// driver) beside "stat.dat". Every answer and every attempt is one short
// transaction; rows are kept per question database, identified by its
// DatabaseFingerprint, and once a database's question keys are stored its
// answers are read by content key (see the content keys below).
//
// Durability: the file runs in WAL mode with synchronous=NORMAL. A commit then
// writes the WAL without waiting for the disk; the WAL is synced only when it
// is checkpointed into the main file. The program crashing or being killed
// loses nothing that was committed (the WAL is in the operating system's
// cache), and the file is never corrupted; a power cut or a system crash may
// lose the last few committed answers but still leaves a consistent file.
// That is the right trade for a trainer: an answer costs well under a
// millisecond instead of an fsync, and "stat.dat" keeps the counters anyway.
//
// Failures: nothing is set aside for a reason that is not in the file. A
// file that SQLite can read but finds damaged (not a SQLite database, or
// failing `PRAGMA quick_check`) is renamed aside, never deleted, and a fresh
// file is started. A file that can be read but not written (a read-only
// folder or medium, an odd "-wal"/"-shm" companion, a full disk at start) is
// opened read-only: reads show the past, writes return false, and the store
// says so once. A file locked by another program is not waited for: its
// opening is deferred (retryOpen), and a write that meets the lock or a full
// disk fails as delayed (delayedWriteCount) for the caller to keep and try
// again; HistoryWriteQueue does that. Only a file that cannot be opened at
// all (no SQLite driver, a folder in its place, a file from a newer program)
// leaves a store that does nothing. The caller shows the store's messages
// once (takePendingMessage); "stat.dat" is kept as before either way.
class AnswerHistory
{
public:
    static constexpr char FileName[] = "history.sqlite";
    // `folder`/history.sqlite: the history beside "stat.dat".
    static QString filePathIn(const QString &folder);

    // Opens (creating if needed) the file at `filePath` and brings its schema
    // up to date. Never throws; see isAvailable().
    explicit AnswerHistory(const QString &filePath);
    ~AnswerHistory();
    AnswerHistory(const AnswerHistory &) = delete;
    AnswerHistory &operator=(const AnswerHistory &) = delete;

    QString filePath() const { return m_filePath; }
    // True while the file can be read (written or read-only); false when it
    // could not be opened at all, or while its opening is deferred.
    bool isAvailable() const { return m_available; }
    // Opened for reading only: recording is paused for the rest of the run.
    bool isReadOnly() const { return m_readOnly; }
    // The file was locked by another program when it was to be opened: reads
    // return nothing and writes fail as delayed until retryOpen() gets
    // through.
    bool isOpenDeferred() const { return m_openDeferred; }
    // Tries a deferred opening again; true once the store is available.
    bool retryOpen();
    // How many writes so far failed only for the moment (the file locked by
    // another program, the disk full): the caller keeps each such write and
    // tries it again.
    int delayedWriteCount() const { return m_delayedWrites; }
    // Whether another program's lock keeps this store from reading right now.
    bool isReadBlocked() const;
    // Caps the file at `pages` pages of SQLite (its max_page_count) for this
    // connection: a write beyond it fails as on a full disk. Tests use it to
    // fill the disk without filling one.
    void setMaximumPageCount(qint64 pages);
    // Why the store is unavailable; empty while it works.
    QString errorMessage() const { return m_errorMessage; }
    // Where a damaged file was put aside when this store opened; empty if
    // there was none.
    QString damagedFileKeptAs() const { return m_damagedFileKeptAs; }
    // The message the user should see, once: the failure, or the damaged file
    // put aside. Returns it and forgets it; empty when there is nothing to say.
    QString takePendingMessage();

    // Attempts. beginAttempt returns the new attempt's id, or 0 when it was not
    // stored.
    qint64 beginAttempt(const QString &fingerprint, HistoryMode mode, const QDateTime &startedAt);
    bool endAttempt(qint64 attemptId, const QDateTime &endedAt, const AttemptSummary &result);
    QList<AttemptRecord> attempts(const QString &fingerprint) const;

    // Records one answer (question 1..800, its time in answer.answeredAtMs).
    // Returns false when it was not stored; a write failure disables the store.
    bool recordAnswer(const QString &fingerprint, const AnswerRecord &answer);

    // Every answer of the database, oldest first (ties in recording order).
    QList<AnswerRecord> answers(const QString &fingerprint) const;
    // The same, only question, right and time: what the learner's overview
    // replays, read about three times faster.
    QList<AnswerOutcome> outcomes(const QString &fingerprint) const;
    // Answers given in [from, to), oldest first.
    QList<AnswerRecord> answersBetween(const QString &fingerprint, const QDateTime &from,
                                       const QDateTime &to) const;
    // Every answer of one question, oldest first: what the scheduler replays.
    QList<AnswerRecord> answersOfQuestion(const QString &fingerprint, int question) const;
    // For each answered question its `count` latest answers, newest first;
    // questions ascending.
    QList<AnswerRecord> latestAnswers(const QString &fingerprint, int count) const;

    // The marathon through all 800 questions, so it resumes after a restart.
    bool saveMarathon(const QString &fingerprint, const MarathonState &state,
                      const QDateTime &savedAt);
    // Empty when none is stored (or the stored one is not a valid order).
    std::optional<MarathonState> marathon(const QString &fingerprint) const;

    // Removes every answer the database shows (its own, and those to the
    // same questions from other databases), its attempts and its marathon,
    // as the results reset does, and notes the reset at `resetAt`: from then
    // on the database shows no answer given before it, even one that comes
    // back later (from the classroom's server, or with another database's
    // keys). Other databases keep the rest.
    bool clear(const QString &fingerprint, const QDateTime &resetAt);

    // Content keys (answerhistorykeys.cpp). Once a database's question keys
    // are stored, its answers are read by key: an answer recorded in any
    // database to a question with the same content counts here, under the
    // number the question has here.
    struct StoredKeys
    {
        QList<qint64> keys;     // questions 1..800 in order
        qint64 fileSize = -1;   // of the database file they were computed from
        qint64 modifiedMs = -1; // its modification time
    };
    // The stored keys of the database; empty when it has none yet.
    std::optional<StoredKeys> questionKeys(const QString &fingerprint) const;
    // Stores the keys (800 of them) in one transaction and gives the
    // database's answers without a key the key of their question. The first
    // time a database gets keys, the marathon last under way in another
    // database is carried over to it when it has none of its own, and the
    // number of its questions with answers from other databases is kept for
    // the learner to be told (carriedOverNotice). Returns that number (0
    // when not the first time), or nullopt when nothing was stored.
    std::optional<int> registerQuestionKeys(const QString &fingerprint, const StoredKeys &keys);
    // How many questions were carried over from other databases when the
    // database got its keys, until clearCarriedOverNotice; 0 when nothing.
    int carriedOverNotice(const QString &fingerprint) const;
    bool clearCarriedOverNotice(const QString &fingerprint);

private:
    // How an attempt to open the file where it lies ended.
    struct Opening
    {
        enum Result
        {
            Ready,
            Damaged,
            Busy,
            Unreadable,
            Newer,
            Foreign
        } result = Ready;
        QString reason;
    };
    bool open();
    Opening openInPlace();
    bool openReadOnly(const QString &why);
    bool openConnection(const QString &path, const QString &options, QSqlError *error);
    bool putDamagedFileAside();
    void closeConnection();
    void fail(const QString &message);
    void tell(const QString &message);
    void failWrite(const QSqlError &error);
    bool canWrite();
    QSqlDatabase database() const;
    // The row id of a database fingerprint; with `create` a new one is added
    // (and `error` says why that failed).
    // A forward-only query of one database's rows: `sql` is prepared and its
    // first placeholder bound to the database; nullopt when the store is
    // unusable or has never seen the database.
    std::optional<QSqlQuery> queryFor(const QString &fingerprint, const QString &sql) const;
    std::optional<qint64> databaseId(const QString &fingerprint, bool create,
                                     QSqlError *error = nullptr) const;
    QList<AnswerRecord> readAnswers(QSqlQuery &query) const;
    bool carryMarathonTo(qint64 databaseId, const QString &fingerprint, const QList<qint64> &keys);

    QString m_filePath;
    QString m_connectionName;
    bool m_available = false;
    bool m_readOnly = false;
    bool m_openDeferred = false;
    bool m_delayTold = false;
    int m_delayedWrites = 0;
    // The private copy read when the file cannot be opened where it lies.
    std::unique_ptr<QTemporaryDir> m_readingCopy;
    QString m_errorMessage;
    QString m_damagedFileKeptAs;
    QString m_pendingMessage;
    // Prepared once: recording an answer is the hot path.
    std::unique_ptr<QSqlQuery> m_insertAnswer;
    mutable QHash<QString, qint64> m_databaseIds;
};
