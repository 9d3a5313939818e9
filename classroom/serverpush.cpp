#include "serverpush.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The rows travel as one JSON array per table and statement, unpacked on the
// server by json_to_recordset: one round trip per table instead of one per
// row. Keys and times go as text where a JSON number (a double) could not
// hold them exactly.
QByteArray attemptsJson(const OutboxBatch &batch)
{
    QJsonArray rows;
    for (const OutgoingAttempt &a : batch.attempts) {
        if (a.startSent)
            continue;
        rows.append(QJsonObject{{QStringLiteral("uuid"), a.uuid},
                                {QStringLiteral("database"), a.database},
                                {QStringLiteral("mode"), a.mode},
                                {QStringLiteral("started_at"), QString::number(a.startedAtMs)}});
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

QByteArray endsJson(const OutboxBatch &batch)
{
    QJsonArray rows;
    for (const OutgoingAttempt &a : batch.attempts) {
        if (!a.endedAtMs)
            continue;
        QJsonObject row{{QStringLiteral("attempt"), a.uuid},
                        {QStringLiteral("ended_at"), QString::number(*a.endedAtMs)},
                        {QStringLiteral("correct"), a.correct},
                        {QStringLiteral("wrong"), a.wrong}};
        if (a.passed)
            row.insert(QStringLiteral("passed"), *a.passed);
        rows.append(row);
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

QByteArray answersJson(const OutboxBatch &batch)
{
    QJsonArray rows;
    for (const OutgoingAnswer &a : batch.answers) {
        QJsonObject row{{QStringLiteral("uuid"), a.uuid},
                        {QStringLiteral("database"), a.database},
                        {QStringLiteral("question"), a.question},
                        {QStringLiteral("mode"), a.mode},
                        {QStringLiteral("variant"), a.variant},
                        {QStringLiteral("is_right"), a.right},
                        {QStringLiteral("seconds"), a.seconds},
                        {QStringLiteral("answered_at"), QString::number(a.answeredAtMs)},
                        {QStringLiteral("correction"), a.correction}};
        if (a.questionKey)
            row.insert(QStringLiteral("question_key"), QString::number(*a.questionKey));
        if (!a.attemptUuid.isEmpty())
            row.insert(QStringLiteral("attempt"), a.attemptUuid);
        rows.append(row);
    }
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

const QString InsertLearner =
    QStringLiteral("INSERT INTO zeltrak.learners (id, name) VALUES (CAST(? AS uuid), ?) "
                   "ON CONFLICT (id) DO NOTHING");

const QString InsertAttempts = QStringLiteral(
    "INSERT INTO zeltrak.attempts (uuid, learner, database, mode, started_at) "
    "SELECT r.uuid, CAST(? AS uuid), r.database, r.mode, CAST(r.started_at AS bigint) "
    "FROM json_to_recordset(CAST(? AS json)) AS r (uuid uuid, database text, mode text, "
    "started_at text) ON CONFLICT (uuid) DO NOTHING");

const QString InsertEnds = QStringLiteral(
    "INSERT INTO zeltrak.attempt_ends (attempt, ended_at, correct, wrong, passed) "
    "SELECT r.attempt, CAST(r.ended_at AS bigint), r.correct, r.wrong, r.passed "
    "FROM json_to_recordset(CAST(? AS json)) AS r (attempt uuid, ended_at text, "
    "correct integer, wrong integer, passed boolean) ON CONFLICT (attempt) DO NOTHING");

const QString InsertAnswers = QStringLiteral(
    "INSERT INTO zeltrak.answers (uuid, learner, database, question, question_key, mode, "
    "variant, is_right, seconds, answered_at, attempt, correction) "
    "SELECT r.uuid, CAST(? AS uuid), r.database, r.question, CAST(r.question_key AS bigint), "
    "r.mode, r.variant, r.is_right, r.seconds, CAST(r.answered_at AS bigint), r.attempt, "
    "r.correction FROM json_to_recordset(CAST(? AS json)) AS r (uuid uuid, database text, "
    "question integer, question_key text, mode text, variant integer, is_right boolean, "
    "seconds integer, answered_at text, attempt uuid, correction boolean) "
    "ON CONFLICT (uuid) DO NOTHING");

} // namespace

bool ServerPush::registerLearner(QSqlDatabase &server, const QString &learnerId,
                                 const QString &learnerName, QSqlError *error)
{
    QSqlQuery query(server);
    query.prepare(InsertLearner);
    query.addBindValue(learnerId);
    query.addBindValue(learnerName);
    if (query.exec())
        return true;
    if (error)
        *error = query.lastError();
    return false;
}

bool ServerPush::push(QSqlDatabase &server, const QString &learnerId, const QString &learnerName,
                      const OutboxBatch &batch, QSqlError *error, const Hooks &hooks)
{
    if (!server.transaction()) {
        if (error)
            *error = server.lastError();
        return false;
    }
    QSqlQuery query(server);
    const auto run = [&](const QString &sql, const QList<QVariant> &values) {
        if (!query.prepare(sql))
            return false;
        for (const QVariant &value : values)
            query.addBindValue(value);
        return query.exec();
    };
    bool ok = run(InsertLearner, {learnerId, learnerName});
    ok = ok && run(InsertAttempts, {learnerId, QString::fromUtf8(attemptsJson(batch))});
    ok = ok && run(InsertEnds, {QString::fromUtf8(endsJson(batch))});
    ok = ok && run(InsertAnswers, {learnerId, QString::fromUtf8(answersJson(batch))});
    if (!ok) {
        if (error)
            *error = query.lastError();
        server.rollback();
        return false;
    }
    query.finish();
    if (hooks.beforeCommit)
        hooks.beforeCommit();
    if (!server.commit()) {
        if (error)
            *error = server.lastError();
        server.rollback();
        return false;
    }
    return true;
}
