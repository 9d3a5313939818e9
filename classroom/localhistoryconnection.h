#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of the classroom's own to a learner's local history file, in
// the thread that makes it: the sync thread reads the outbox and marks rows
// while the window records answers through AnswerHistory's connection (WAL
// lets both in; a write of ours waits at most BusyTimeoutMs for the window's).
// The file is created, or brought to the current schema, by an AnswerHistory
// first, so both always agree on the schema.
class LocalHistoryConnection
{
public:
    static constexpr int BusyTimeoutMs = 2000;

    explicit LocalHistoryConnection(const QString &historyPath);
    ~LocalHistoryConnection();
    LocalHistoryConnection(const LocalHistoryConnection &) = delete;
    LocalHistoryConnection &operator=(const LocalHistoryConnection &) = delete;

    // False (errorMessage() says why) when the file cannot be used: damaged,
    // from a newer program, unwritable.
    bool open();
    QSqlDatabase database() const;
    QString errorMessage() const { return m_errorMessage; }

private:
    QString m_path;
    QString m_connectionName;
    QString m_errorMessage;
};
