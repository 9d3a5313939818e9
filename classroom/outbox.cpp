#include "outbox.h"

#include <QSqlQuery>
#include <QVariant>

std::optional<OutboxBatch> Outbox::take(QSqlDatabase &history, int limit)
{
    OutboxBatch batch;
    QSqlQuery query(history);
    query.setForwardOnly(true);
    // An attempt goes when it was never sent, or when it has ended since its
    // start was sent; one never ended (the program was killed) goes once.
    query.prepare(QStringLiteral(
        "SELECT a.id, a.uuid, d.fingerprint, a.mode, a.started_at, a.synced, a.ended_at,"
        " a.correct, a.wrong, a.passed FROM attempts a JOIN databases d ON d.id = a.database"
        " WHERE a.synced < 2 AND (a.synced = 0 OR a.ended_at IS NOT NULL) AND a.uuid IS NOT NULL"
        " ORDER BY a.id LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        OutgoingAttempt a;
        a.id = query.value(0).toLongLong();
        a.uuid = query.value(1).toString();
        a.database = query.value(2).toString();
        a.mode = query.value(3).toString();
        a.startedAtMs = query.value(4).toLongLong();
        a.startSent = query.value(5).toInt() >= 1;
        if (!query.isNull(6)) {
            a.endedAtMs = query.value(6).toLongLong();
            a.correct = query.value(7).toInt();
            a.wrong = query.value(8).toInt();
            if (!query.isNull(9))
                a.passed = query.value(9).toInt() != 0;
        }
        batch.attempts.append(a);
    }
    query.prepare(QStringLiteral(
        "SELECT n.id, n.uuid, d.fingerprint, n.question, n.question_key, n.mode, n.variant,"
        " n.right, n.seconds, n.answered_at, t.uuid, n.correction FROM answers n"
        " JOIN databases d ON d.id = n.database LEFT JOIN attempts t ON t.id = n.attempt"
        " WHERE n.synced = 0 AND n.uuid IS NOT NULL ORDER BY n.id LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        OutgoingAnswer a;
        a.id = query.value(0).toLongLong();
        a.uuid = query.value(1).toString();
        a.database = query.value(2).toString();
        a.question = query.value(3).toInt();
        if (!query.isNull(4))
            a.questionKey = query.value(4).toLongLong();
        a.mode = query.value(5).toString();
        a.variant = query.value(6).toInt();
        a.right = query.value(7).toInt() != 0;
        a.seconds = query.value(8).toInt();
        a.answeredAtMs = query.value(9).toLongLong();
        a.attemptUuid = query.value(10).toString();
        a.correction = query.value(11).toInt() != 0;
        batch.answers.append(a);
    }
    query.prepare(QStringLiteral(
        "SELECT m.uuid, d.fingerprint, m.question_order, m.position, m.right_count,"
        " m.wrong_count, m.updated_at FROM marathon m JOIN databases d ON d.id = m.database"
        " WHERE m.synced = 0 AND m.uuid IS NOT NULL ORDER BY m.database"));
    if (!query.exec())
        return std::nullopt;
    while (query.next())
        batch.marathons.append({query.value(0).toString(), query.value(1).toString(),
                                query.value(2).toString(), query.value(3).toInt(),
                                query.value(4).toInt(), query.value(5).toInt(),
                                query.value(6).toLongLong()});
    query.prepare(QStringLiteral("SELECT r.uuid, d.fingerprint, r.reset_at FROM resets r JOIN "
                                 "databases d ON d.id = r.database WHERE r.synced = 0 "
                                 "ORDER BY r.reset_at"));
    if (!query.exec())
        return std::nullopt;
    while (query.next())
        batch.resets.append(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toLongLong()});
    return batch;
}

bool Outbox::markSent(QSqlDatabase &history, const OutboxBatch &batch)
{
    if (batch.isEmpty())
        return true;
    if (!history.transaction())
        return false;
    QSqlQuery query(history);
    bool ok = query.prepare(QStringLiteral("UPDATE answers SET synced = 1 WHERE id = ?"));
    for (qsizetype i = 0; ok && i < batch.answers.size(); ++i) {
        query.addBindValue(batch.answers[i].id);
        ok = query.exec();
    }
    // An attempt that ended after its start was read keeps the lower mark,
    // so its end goes with the next batch.
    ok = ok &&
         query.prepare(QStringLiteral("UPDATE attempts SET synced = max(synced, ?) WHERE id = ?"));
    for (qsizetype i = 0; ok && i < batch.attempts.size(); ++i) {
        query.addBindValue(batch.attempts[i].sentState());
        query.addBindValue(batch.attempts[i].id);
        ok = query.exec();
    }
    // By UUID: a state saved since it was read has a new one and stays unsent.
    ok = ok && query.prepare(QStringLiteral("UPDATE marathon SET synced = 1 WHERE uuid = ?"));
    for (qsizetype i = 0; ok && i < batch.marathons.size(); ++i) {
        query.addBindValue(batch.marathons[i].uuid);
        ok = query.exec();
    }
    ok = ok && query.prepare(QStringLiteral("UPDATE resets SET synced = 1 WHERE uuid = ?"));
    for (qsizetype i = 0; ok && i < batch.resets.size(); ++i) {
        query.addBindValue(batch.resets[i].uuid);
        ok = query.exec();
    }
    if (!ok || !history.commit()) {
        history.rollback();
        return false;
    }
    return true;
}

int Outbox::pendingCount(QSqlDatabase &history)
{
    QSqlQuery query(history);
    if (!query.exec(QStringLiteral(
            "SELECT (SELECT count(*) FROM answers WHERE synced = 0) + (SELECT count(*) FROM "
            "attempts WHERE synced < 2 AND (synced = 0 OR ended_at IS NOT NULL)) + (SELECT "
            "count(*) FROM marathon WHERE synced = 0) + (SELECT count(*) FROM resets WHERE "
            "synced = 0)")) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}
