#include "historyschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

// Step i takes a file from version i to version i + 1. Steps are never edited
// once released: a change to the schema is a new step at the end.
using Step = std::initializer_list<const char *>;

// SQLite has no UUID function: random bytes laid out as the text of a
// version 4 UUID (the version digit 4, the variant digit one of 8..b). Each
// part calls randomblob() in the row's own expression, so every row gets its
// own value (a subquery would be evaluated once for all rows).
#define RANDOM_UUID                                                                                \
    "lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || "                            \
    "substr(hex(randomblob(2)), 2) || '-' || substr('89ab', 1 + (abs(random()) % 4), 1) || "       \
    "substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))"

const std::array<Step, HistorySchema::CurrentVersion> Steps{{
    // 0 -> 1
    {
        "CREATE TABLE databases ("
        " id INTEGER PRIMARY KEY,"
        " fingerprint TEXT NOT NULL UNIQUE)",
        "CREATE TABLE answers ("
        " id INTEGER PRIMARY KEY,"
        " database INTEGER NOT NULL REFERENCES databases (id),"
        " question INTEGER NOT NULL CHECK (question BETWEEN 1 AND 800),"
        " mode TEXT NOT NULL,"
        " variant INTEGER NOT NULL,"
        " right INTEGER NOT NULL CHECK (right IN (0, 1)),"
        " seconds INTEGER NOT NULL,"
        " answered_at INTEGER NOT NULL)",
        "CREATE INDEX answers_by_question ON answers (database, question, answered_at)",
        "CREATE TABLE attempts ("
        " id INTEGER PRIMARY KEY,"
        " database INTEGER NOT NULL REFERENCES databases (id),"
        " mode TEXT NOT NULL,"
        " started_at INTEGER NOT NULL,"
        " ended_at INTEGER,"
        " correct INTEGER,"
        " wrong INTEGER,"
        " passed INTEGER)",
    },
    // 1 -> 2
    {
        "ALTER TABLE answers ADD COLUMN attempt INTEGER REFERENCES attempts (id)",
        "CREATE INDEX answers_by_time ON answers (database, answered_at)",
        "CREATE TABLE marathon ("
        " database INTEGER PRIMARY KEY REFERENCES databases (id),"
        " question_order TEXT NOT NULL,"
        " position INTEGER NOT NULL,"
        " updated_at INTEGER NOT NULL)",
    },
    // 2 -> 3
    {
        "ALTER TABLE marathon ADD COLUMN right_count INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE marathon ADD COLUMN wrong_count INTEGER NOT NULL DEFAULT 0",
    },
    // 3 -> 4
    {
        "CREATE TABLE question_keys ("
        " database INTEGER NOT NULL REFERENCES databases (id),"
        " question INTEGER NOT NULL CHECK (question BETWEEN 1 AND 800),"
        " key INTEGER NOT NULL,"
        " PRIMARY KEY (database, question))",
        "CREATE INDEX question_keys_by_key ON question_keys (key, database)",
        "ALTER TABLE databases ADD COLUMN keys_file_size INTEGER",
        "ALTER TABLE databases ADD COLUMN keys_modified_at INTEGER",
        "ALTER TABLE databases ADD COLUMN carried_over INTEGER",
        "ALTER TABLE answers ADD COLUMN question_key INTEGER",
        "CREATE INDEX answers_by_key ON answers (question_key, answered_at)",
        "CREATE INDEX answers_without_key ON answers (database, answered_at) "
        "WHERE question_key IS NULL",
    },
    // 4 -> 5
    {
        "ALTER TABLE answers ADD COLUMN correction INTEGER NOT NULL DEFAULT 0 "
        "CHECK (correction IN (0, 1))",
        // Every answer after the first to the same question in the same
        // attempt: in the learning-style runs, the one given after the
        // comment had shown the right variant.
        "UPDATE answers SET correction = 1 WHERE id IN (SELECT id FROM ("
        " SELECT id, ROW_NUMBER() OVER (PARTITION BY database, attempt, question"
        " ORDER BY answered_at, id) AS n FROM answers WHERE attempt IS NOT NULL)"
        " WHERE n > 1)",
    },
    // 5 -> 6
    {
        "ALTER TABLE answers ADD COLUMN uuid TEXT",
        "ALTER TABLE answers ADD COLUMN synced INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE attempts ADD COLUMN uuid TEXT",
        "ALTER TABLE attempts ADD COLUMN synced INTEGER NOT NULL DEFAULT 0",
        // A random (version 4) UUID in its text form for each existing row;
        // new rows get theirs from QUuid when they are inserted.
        "UPDATE answers SET uuid = " RANDOM_UUID,
        "UPDATE attempts SET uuid = " RANDOM_UUID,
        "CREATE UNIQUE INDEX answers_by_uuid ON answers (uuid)",
        "CREATE UNIQUE INDEX attempts_by_uuid ON attempts (uuid)",
        "CREATE INDEX answers_unsent ON answers (id) WHERE synced = 0",
        "CREATE INDEX attempts_unsent ON attempts (id) WHERE synced < 2",
    },
    // 6 -> 7
    {
        "ALTER TABLE marathon ADD COLUMN uuid TEXT",
        "ALTER TABLE marathon ADD COLUMN synced INTEGER NOT NULL DEFAULT 0",
        "UPDATE marathon SET uuid = " RANDOM_UUID,
        "CREATE UNIQUE INDEX marathon_by_uuid ON marathon (uuid)",
    },
    // 7 -> 8
    {
        "CREATE TABLE resets ("
        " uuid TEXT PRIMARY KEY,"
        " database INTEGER NOT NULL REFERENCES databases (id),"
        " reset_at INTEGER NOT NULL,"
        " synced INTEGER NOT NULL DEFAULT 0)",
        "CREATE INDEX resets_by_database ON resets (database, reset_at)",
    },
}};

} // namespace

int HistorySchema::version(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

QString HistorySchema::migrate(QSqlDatabase &db, int target, QSqlError *error)
{
    target = std::clamp(target, 0, CurrentVersion);
    QSqlQuery query(db);
    const auto failed = [&](const QSqlError &reason) {
        query.exec(QStringLiteral("ROLLBACK"));
        if (error)
            *error = reason;
        return reason.databaseText().isEmpty() ? reason.text() : reason.databaseText();
    };
    // A file already at the version needs no lock: one another program
    // holds then delays only the writes.
    if (const int current = version(db); current >= target && current <= CurrentVersion)
        return {};
    for (;;) {
        // IMMEDIATE: the write lock before the version is read, so that the
        // version cannot change between reading it and making the step.
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return failed(query.lastError());
        const int from = version(db);
        if (from < 0)
            return failed(db.lastError());
        if (from > CurrentVersion) {
            query.exec(QStringLiteral("ROLLBACK"));
            return QStringLiteral("версия схемы %1 новее известной программе (%2)")
                .arg(from)
                .arg(CurrentVersion);
        }
        if (from >= target) {
            query.exec(QStringLiteral("ROLLBACK"));
            return {};
        }
        for (const char *statement : Steps[from]) {
            if (!query.exec(QString::fromLatin1(statement)))
                return failed(query.lastError());
        }
        if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(from + 1)) ||
            !query.exec(QStringLiteral("COMMIT")))
            return failed(query.lastError());
    }
}
