#include "learnerpull.h"

#include "answerhistory.h"
#include "localhistoryconnection.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

struct PulledAttempt
{
    QString uuid, database, mode;
    qint64 startedAt = 0;
    QVariant endedAt, correct, wrong, passed;
};

struct PulledAnswer
{
    QString uuid, database, mode, attempt;
    int question = 0, variant = 0, seconds = 0;
    QVariant key;
    bool right = false, correction = false;
    qint64 answeredAt = 0;
};

struct PulledReset
{
    QString uuid, database;
    qint64 resetAt = 0;
};

struct PulledMarathon
{
    QString uuid, database, order;
    int position = 0, right = 0, wrong = 0;
    qint64 updatedAt = 0;
};

QVariant nullInt()
{
    return QVariant(QMetaType::fromType<qint64>());
}

} // namespace

LearnerPull::Result LearnerPull::pull(QSqlDatabase &server, const QString &learnerId,
                                      const QString &historyPath)
{
    Result result;
    QList<PulledAttempt> attempts;
    QList<PulledAnswer> answers;
    QList<PulledMarathon> marathons;
    QList<PulledReset> resets;
    {
        QSqlQuery query(server);
        query.setForwardOnly(true);
        // Calls one of the server's functions for the learner and hands
        // each row to `take`; false, with the server's reason, on failure.
        const auto select = [&](const char *sql, const auto &take) {
            query.prepare(QString::fromLatin1(sql));
            query.addBindValue(learnerId);
            if (!query.exec()) {
                result.error = query.lastError().text();
                return false;
            }
            while (query.next())
                take();
            return true;
        };
        const bool ok =
            select("SELECT uuid, database, mode, started_at, ended_at, correct, wrong, passed "
                   "FROM zeltrak.learner_attempts(CAST(? AS uuid))",
                   [&] {
                       attempts.append({query.value(0).toString(), query.value(1).toString(),
                                        query.value(2).toString(), query.value(3).toLongLong(),
                                        query.value(4), query.value(5), query.value(6),
                                        query.value(7)});
                   }) &&
            select("SELECT uuid, database, question, question_key, mode, variant, is_right, "
                   "seconds, answered_at, attempt, correction "
                   "FROM zeltrak.learner_answers(CAST(? AS uuid))",
                   [&] {
                       PulledAnswer a;
                       a.uuid = query.value(0).toString();
                       a.database = query.value(1).toString();
                       a.question = query.value(2).toInt();
                       a.key = query.isNull(3) ? nullInt() : QVariant(query.value(3).toLongLong());
                       a.mode = query.value(4).toString();
                       a.variant = query.value(5).toInt();
                       a.right = query.value(6).toBool();
                       a.seconds = query.value(7).toInt();
                       a.answeredAt = query.value(8).toLongLong();
                       a.attempt = query.value(9).toString();
                       a.correction = query.value(10).toBool();
                       answers.append(a);
                   }) &&
            select("SELECT uuid, database, question_order, question_position, right_count, "
                   "wrong_count, updated_at FROM zeltrak.learner_marathons(CAST(? AS uuid))",
                   [&] {
                       marathons.append({query.value(0).toString(), query.value(1).toString(),
                                         query.value(2).toString(), query.value(3).toInt(),
                                         query.value(4).toInt(), query.value(5).toInt(),
                                         query.value(6).toLongLong()});
                   }) &&
            select("SELECT uuid, database, reset_at FROM zeltrak.learner_resets(CAST(? AS uuid))",
                   [&] {
                       resets.append({query.value(0).toString(), query.value(1).toString(),
                                      query.value(2).toLongLong()});
                   });
        if (!ok)
            return result;
    }

    LocalHistoryConnection local(historyPath);
    if (!local.open()) {
        result.error = local.errorMessage();
        return result;
    }
    QSqlDatabase db = local.database();
    if (!db.transaction()) {
        result.error = db.lastError().text();
        return result;
    }
    QSqlQuery query(db);
    bool ok =
        query.prepare(QStringLiteral("INSERT OR IGNORE INTO databases (fingerprint) VALUES (?)"));
    QSet<QString> fingerprints;
    for (const auto &a : attempts)
        fingerprints.insert(a.database);
    for (const auto &a : answers)
        fingerprints.insert(a.database);
    for (const auto &m : marathons)
        fingerprints.insert(m.database);
    for (const auto &r : resets)
        fingerprints.insert(r.database);
    for (auto it = fingerprints.cbegin(); ok && it != fingerprints.cend(); ++it) {
        query.addBindValue(*it);
        ok = query.exec();
    }
    // The resets first: a database shows nothing recorded before its latest
    // one, made here or at another PC, so such rows are not brought in, and
    // those this file still holds from before it go.
    ok = ok && query.prepare(QStringLiteral(
                   "INSERT OR IGNORE INTO resets (uuid, database, reset_at, synced) VALUES (?, "
                   "(SELECT id FROM databases WHERE fingerprint = ?), ?, 1)"));
    for (qsizetype i = 0; ok && i < resets.size(); ++i) {
        query.addBindValue(resets[i].uuid);
        query.addBindValue(resets[i].database);
        query.addBindValue(resets[i].resetAt);
        ok = query.exec();
    }
    QHash<QString, qint64> resetAt; // the latest reset of each database, by fingerprint
    QHash<QString, qint64> databaseIds;
    ok = ok && query.exec(QStringLiteral(
                   "SELECT d.fingerprint, max(r.reset_at), d.id FROM resets r JOIN databases d "
                   "ON d.id = r.database GROUP BY d.id"));
    while (ok && query.next()) {
        resetAt.insert(query.value(0).toString(), query.value(1).toLongLong());
        databaseIds.insert(query.value(0).toString(), query.value(2).toLongLong());
    }
    const auto before = [&resetAt](const QString &database, qint64 atMs) {
        const auto reset = resetAt.constFind(database);
        return reset != resetAt.cend() && atMs < *reset;
    };
    for (auto it = resetAt.cbegin(); ok && it != resetAt.cend(); ++it) {
        for (const QString &statement :
             {QStringLiteral("DELETE FROM answers WHERE database = :db AND (answered_at < :at OR "
                             "attempt IN (SELECT id FROM attempts WHERE database = :db AND "
                             "started_at < :at))"),
              QStringLiteral("DELETE FROM attempts WHERE database = :db AND started_at < :at"),
              QStringLiteral("DELETE FROM marathon WHERE database = :db AND updated_at < :at")}) {
            ok = ok && query.prepare(statement);
            query.bindValue(QStringLiteral(":db"), databaseIds.value(it.key()));
            query.bindValue(QStringLiteral(":at"), *it);
            ok = ok && query.exec();
        }
    }
    ok = ok && query.prepare(QStringLiteral(
                   "INSERT OR IGNORE INTO attempts (database, mode, started_at, ended_at, correct, "
                   "wrong, passed, uuid, synced) VALUES ((SELECT id FROM databases WHERE "
                   "fingerprint = ?), ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; ok && i < attempts.size(); ++i) {
        const PulledAttempt &a = attempts[i];
        if (before(a.database, a.startedAt))
            continue;
        const bool ended = !a.endedAt.isNull();
        query.addBindValue(a.database);
        query.addBindValue(a.mode);
        query.addBindValue(a.startedAt);
        query.addBindValue(ended ? QVariant(a.endedAt.toLongLong()) : nullInt());
        query.addBindValue(ended ? QVariant(a.correct.toInt()) : nullInt());
        query.addBindValue(ended ? QVariant(a.wrong.toInt()) : nullInt());
        query.addBindValue(ended && !a.passed.isNull() ? QVariant(int(a.passed.toBool()))
                                                       : nullInt());
        query.addBindValue(a.uuid);
        query.addBindValue(ended ? 2 : 1);
        ok = query.exec();
        result.attempts += ok ? query.numRowsAffected() : 0;
    }
    ok = ok && query.prepare(QStringLiteral(
                   "INSERT OR IGNORE INTO answers (database, question, mode, variant, right, "
                   "seconds, answered_at, attempt, correction, uuid, question_key, synced) "
                   "VALUES ((SELECT id FROM databases WHERE fingerprint = ?), ?, ?, ?, ?, ?, ?, "
                   "(SELECT id FROM attempts WHERE uuid = ?), ?, ?, ?, 1)"));
    for (qsizetype i = 0; ok && i < answers.size(); ++i) {
        const PulledAnswer &a = answers[i];
        if (before(a.database, a.answeredAt))
            continue;
        query.addBindValue(a.database);
        query.addBindValue(a.question);
        query.addBindValue(a.mode);
        query.addBindValue(a.variant);
        query.addBindValue(int(a.right));
        query.addBindValue(a.seconds);
        query.addBindValue(a.answeredAt);
        query.addBindValue(a.attempt);
        query.addBindValue(int(a.correction));
        query.addBindValue(a.uuid);
        query.addBindValue(a.key);
        ok = query.exec();
        result.answers += ok ? query.numRowsAffected() : 0;
    }
    // Kept as the server has it (AnswerHistory::marathon checks an order
    // when it reads one). A state saved here in the same millisecond stays.
    ok = ok && query.prepare(QStringLiteral(
                   "INSERT OR REPLACE INTO marathon (database, question_order, position, "
                   "updated_at, right_count, wrong_count, uuid, synced) SELECT d.id, ?, ?, ?, ?, "
                   "?, ?, 1 FROM databases d WHERE d.fingerprint = ? AND NOT EXISTS (SELECT 1 "
                   "FROM marathon m WHERE m.database = d.id AND m.updated_at >= ?)"));
    for (qsizetype i = 0; ok && i < marathons.size(); ++i) {
        const PulledMarathon &m = marathons[i];
        if (before(m.database, m.updatedAt))
            continue;
        query.addBindValue(m.order);
        query.addBindValue(m.position);
        query.addBindValue(m.updatedAt);
        query.addBindValue(m.right);
        query.addBindValue(m.wrong);
        query.addBindValue(m.uuid);
        query.addBindValue(m.database);
        query.addBindValue(m.updatedAt);
        ok = query.exec();
        result.marathons += ok ? query.numRowsAffected() : 0;
    }
    if (!ok) {
        result.error = query.lastError().text();
        db.rollback();
        result.attempts = result.answers = result.marathons = 0;
        return result;
    }
    if (!db.commit()) {
        result.error = db.lastError().text();
        db.rollback();
        result.attempts = result.answers = result.marathons = 0;
        return result;
    }
    result.ok = true;
    return result;
}
