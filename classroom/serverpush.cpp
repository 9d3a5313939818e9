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

QByteArray marathonsJson(const OutboxBatch &batch)
{
    QJsonArray rows;
    for (const OutgoingMarathon &m : batch.marathons)
        rows.append(QJsonObject{{QStringLiteral("uuid"), m.uuid},
                                {QStringLiteral("database"), m.database},
                                {QStringLiteral("question_order"), m.order},
                                {QStringLiteral("question_position"), m.position},
                                {QStringLiteral("right_count"), m.right},
                                {QStringLiteral("wrong_count"), m.wrong},
                                {QStringLiteral("updated_at"), QString::number(m.updatedAtMs)}});
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

QByteArray resetsJson(const OutboxBatch &batch)
{
    QJsonArray rows;
    for (const OutgoingReset &r : batch.resets)
        rows.append(QJsonObject{{QStringLiteral("uuid"), r.uuid},
                                {QStringLiteral("database"), r.database},
                                {QStringLiteral("reset_at"), QString::number(r.resetAtMs)}});
    return QJsonDocument(rows).toJson(QJsonDocument::Compact);
}

const QString StoreResets =
    QStringLiteral("SELECT zeltrak.store_resets(CAST(? AS uuid), ?, CAST(? AS json))");

const QString StoreMarathons =
    QStringLiteral("SELECT zeltrak.store_marathons(CAST(? AS uuid), ?, CAST(? AS json))");

const QString StoreBatch = QStringLiteral(
    "SELECT zeltrak.store_batch(CAST(? AS uuid), ?, CAST(? AS json), CAST(? AS json), "
    "CAST(? AS json))");

} // namespace

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
    bool ok = run(StoreBatch,
                  {learnerId, learnerName, QString::fromUtf8(attemptsJson(batch)),
                   QString::fromUtf8(endsJson(batch)), QString::fromUtf8(answersJson(batch))});
    // In the same transaction: the marathon is marked sent with the rest.
    if (ok && !batch.marathons.isEmpty())
        ok = run(StoreMarathons, {learnerId, learnerName, QString::fromUtf8(marathonsJson(batch))});
    if (ok && !batch.resets.isEmpty())
        ok = run(StoreResets, {learnerId, learnerName, QString::fromUtf8(resetsJson(batch))});
    if (!ok) {
        if (error)
            *error = query.lastError();
        if (server.isOpen())
            server.rollback();
        return false;
    }
    query.finish();
    if (hooks.beforeCommit)
        hooks.beforeCommit();
    if (!server.commit()) {
        if (error)
            *error = server.lastError();
        if (server.isOpen())
            server.rollback();
        return false;
    }
    return true;
}
