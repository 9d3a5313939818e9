#include "answerhistory.h"

#include "historyschema.h"
#include "storedvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

namespace {

using StoredValues::Int64Max;
using StoredValues::IntMax;

// The answers a database shows, as a common table `mine` over the
// database's row id (the placeholder :db): every answer whose content key is one
// of the database's question keys, from whichever database it was recorded
// in, under the number the question has here; and the database's own
// answers that have no key yet. `question` is the number in this database.
// Nothing given before the database's last reset counts.
const QString AnswersOfDatabase = QStringLiteral(
    "WITH since AS (SELECT max(reset_at) AS at FROM resets WHERE database = :db),"
    " mine AS ("
    "SELECT k.question AS question, a.mode AS mode, a.variant AS variant, a.right AS right,"
    " a.seconds AS seconds, a.answered_at AS answered_at, a.attempt AS attempt,"
    " a.correction AS correction, a.id AS id"
    " FROM question_keys k JOIN answers a ON a.question_key = k.key WHERE k.database = :db"
    " AND ((SELECT at FROM since) IS NULL OR a.answered_at >= (SELECT at FROM since))"
    " UNION ALL"
    " SELECT question, mode, variant, right, seconds, answered_at, attempt, correction, id"
    " FROM answers WHERE database = :db AND question_key IS NULL"
    " AND ((SELECT at FROM since) IS NULL OR answered_at >= (SELECT at FROM since))) ");

} // namespace

QString AnswerHistory::filePathIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

AnswerHistory::AnswerHistory(const QString &filePath)
    : m_filePath(filePath), m_connectionName(QStringLiteral("zeltrak-history-") +
                                             QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    open();
}

AnswerHistory::~AnswerHistory()
{
    closeConnection();
}

QString AnswerHistory::takePendingMessage()
{
    return std::exchange(m_pendingMessage, QString());
}

QSqlDatabase AnswerHistory::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

std::optional<qint64> AnswerHistory::databaseId(const QString &fingerprint, bool create,
                                                QSqlError *error) const
{
    if (const auto known = m_databaseIds.constFind(fingerprint); known != m_databaseIds.cend())
        return *known;
    QSqlQuery query(database());
    // OR IGNORE: another connection to the file (the classroom's sync, a
    // second window) may have added the same database since this one looked.
    if (create) {
        query.prepare(QStringLiteral("INSERT OR IGNORE INTO databases (fingerprint) VALUES (?)"));
        query.addBindValue(fingerprint);
        if (!query.exec()) {
            if (error)
                *error = query.lastError();
            return std::nullopt;
        }
    }
    query.prepare(QStringLiteral("SELECT id FROM databases WHERE fingerprint = ?"));
    query.addBindValue(fingerprint);
    if (!query.exec()) {
        if (error)
            *error = query.lastError();
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return m_databaseIds[fingerprint] = query.value(0).toLongLong();
}

qint64 AnswerHistory::beginAttempt(const QString &fingerprint, HistoryMode mode,
                                   const QDateTime &startedAt)
{
    if (!canWrite())
        return 0;
    QSqlError error;
    const auto id = databaseId(fingerprint, true, &error);
    if (!id) {
        failWrite(error);
        return 0;
    }
    QSqlQuery query(database());
    query.prepare(QStringLiteral(
        "INSERT INTO attempts (database, mode, started_at, uuid) VALUES (?, ?, ?, ?)"));
    query.addBindValue(*id);
    query.addBindValue(HistoryModes::code(mode));
    query.addBindValue(startedAt.toMSecsSinceEpoch());
    query.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!query.exec()) {
        failWrite(query.lastError());
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool AnswerHistory::endAttempt(qint64 attemptId, const QDateTime &endedAt,
                               const AttemptSummary &result)
{
    if (attemptId <= 0 || !canWrite())
        return false;
    QSqlQuery query(database());
    query.prepare(QStringLiteral(
        "UPDATE attempts SET ended_at = ?, correct = ?, wrong = ?, passed = ? WHERE id = ?"));
    query.addBindValue(endedAt.toMSecsSinceEpoch());
    query.addBindValue(result.correct);
    query.addBindValue(result.wrong);
    query.addBindValue(result.passed ? QVariant(int(*result.passed))
                                     : QVariant(QMetaType::fromType<int>()));
    query.addBindValue(attemptId);
    if (!query.exec()) {
        failWrite(query.lastError());
        return false;
    }
    return query.numRowsAffected() == 1;
}

QList<AttemptRecord> AnswerHistory::attempts(const QString &fingerprint) const
{
    QList<AttemptRecord> result;
    auto prepared = queryFor(
        fingerprint,
        QStringLiteral("SELECT id, mode, started_at, ended_at, correct, wrong, passed "
                       "FROM attempts WHERE database = :db AND NOT EXISTS (SELECT 1 FROM resets "
                       "WHERE database = :db AND reset_at > started_at) ORDER BY started_at, id"));
    if (!prepared)
        return result;
    QSqlQuery &query = *prepared;
    if (!query.exec())
        return result;
    while (query.next()) {
        const auto mode = HistoryModes::fromCode(query.value(1).toString());
        if (!mode)
            continue;
        AttemptRecord attempt;
        attempt.id = query.value(0).toLongLong();
        attempt.mode = *mode;
        attempt.startedAtMs = StoredValues::time(query.value(2));
        if (!query.isNull(3)) {
            attempt.endedAtMs = StoredValues::time(query.value(3));
            AttemptSummary r;
            r.correct = StoredValues::integer(query.value(4), 0, IntMax);
            r.wrong = StoredValues::integer(query.value(5), 0, IntMax);
            if (!query.isNull(6))
                r.passed = StoredValues::flag(query.value(6));
            attempt.result = r;
        }
        result.append(attempt);
    }
    return result;
}

bool AnswerHistory::recordAnswer(const QString &fingerprint, const AnswerRecord &answer)
{
    if (answer.question < 1 || answer.question > 800 || !canWrite())
        return false;
    QSqlError error;
    const auto id = databaseId(fingerprint, true, &error);
    if (!id) {
        failWrite(error);
        return false;
    }
    // One INSERT in autocommit mode is one short transaction of its own.
    QSqlQuery &query = *m_insertAnswer;
    query.bindValue(QStringLiteral(":db"), *id);
    query.bindValue(QStringLiteral(":question"), answer.question);
    query.bindValue(QStringLiteral(":mode"), HistoryModes::code(answer.mode));
    query.bindValue(QStringLiteral(":variant"), answer.variant);
    query.bindValue(QStringLiteral(":right"), int(answer.right));
    query.bindValue(QStringLiteral(":seconds"), answer.seconds);
    query.bindValue(QStringLiteral(":at"), answer.answeredAtMs);
    query.bindValue(QStringLiteral(":attempt"), answer.attemptId > 0
                                                    ? QVariant(answer.attemptId)
                                                    : QVariant(QMetaType::fromType<qint64>()));
    query.bindValue(QStringLiteral(":correction"), int(answer.correction));
    query.bindValue(QStringLiteral(":uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!query.exec()) {
        failWrite(query.lastError());
        return false;
    }
    return true;
}

QList<AnswerRecord> AnswerHistory::readAnswers(QSqlQuery &query) const
{
    // Columns: question, mode, variant, right, seconds, answered_at, attempt,
    // correction.
    QList<AnswerRecord> result;
    if (!query.exec())
        return result;
    while (query.next()) {
        const auto mode = HistoryModes::fromCode(query.value(1).toString());
        if (!mode)
            continue;
        AnswerRecord a;
        a.question = StoredValues::integer(query.value(0), 0, 800);
        a.mode = *mode;
        a.variant = StoredValues::integer(query.value(2), 0, IntMax);
        a.right = StoredValues::flag(query.value(3));
        a.seconds = StoredValues::integer(query.value(4), 0, IntMax);
        a.answeredAtMs = StoredValues::time(query.value(5));
        a.attemptId = StoredValues::integer(query.value(6), qint64(0), Int64Max);
        a.correction = StoredValues::flag(query.value(7));
        result.append(a);
    }
    return result;
}

namespace {
const QString AnswerColumns =
    QStringLiteral("question, mode, variant, right, seconds, answered_at, attempt, correction");
}

std::optional<QSqlQuery> AnswerHistory::queryFor(const QString &fingerprint,
                                                 const QString &sql) const
{
    if (!m_available)
        return std::nullopt;
    const auto id = databaseId(fingerprint, false);
    if (!id)
        return std::nullopt;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(sql);
    query.bindValue(QStringLiteral(":db"), *id);
    return query;
}

QList<AnswerRecord> AnswerHistory::answers(const QString &fingerprint) const
{
    auto prepared =
        queryFor(fingerprint, AnswersOfDatabase + QStringLiteral("SELECT %1 FROM mine "
                                                                 "ORDER BY answered_at, id")
                                                      .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    return readAnswers(query);
}

QList<AnswerOutcome> AnswerHistory::outcomes(const QString &fingerprint) const
{
    QList<AnswerOutcome> result;
    auto prepared = queryFor(fingerprint, AnswersOfDatabase +
                                              QStringLiteral("SELECT question, right, answered_at, "
                                                             "correction FROM mine "
                                                             "ORDER BY answered_at, id"));
    if (!prepared)
        return result;
    QSqlQuery &query = *prepared;
    if (!query.exec())
        return result;
    while (query.next())
        result.append(AnswerOutcome{
            StoredValues::integer(query.value(0), 0, 800), StoredValues::flag(query.value(1)),
            StoredValues::time(query.value(2)), StoredValues::flag(query.value(3))});
    return result;
}

QList<AnswerRecord> AnswerHistory::answersBetween(const QString &fingerprint, const QDateTime &from,
                                                  const QDateTime &to) const
{
    auto prepared =
        queryFor(fingerprint, AnswersOfDatabase +
                                  QStringLiteral("SELECT %1 FROM mine WHERE answered_at >= :from "
                                                 "AND answered_at < :to ORDER BY answered_at, id")
                                      .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.bindValue(QStringLiteral(":from"), from.toMSecsSinceEpoch());
    query.bindValue(QStringLiteral(":to"), to.toMSecsSinceEpoch());
    return readAnswers(query);
}

QList<AnswerRecord> AnswerHistory::answersOfQuestion(const QString &fingerprint, int question) const
{
    auto prepared =
        queryFor(fingerprint, AnswersOfDatabase +
                                  QStringLiteral("SELECT %1 FROM mine WHERE question = :question "
                                                 "ORDER BY answered_at, id")
                                      .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.bindValue(QStringLiteral(":question"), question);
    return readAnswers(query);
}

QList<AnswerRecord> AnswerHistory::latestAnswers(const QString &fingerprint, int count) const
{
    if (count <= 0)
        return {};
    auto prepared = queryFor(
        fingerprint,
        AnswersOfDatabase +
            QStringLiteral("SELECT %1 FROM (SELECT *, ROW_NUMBER() OVER (PARTITION BY question "
                           "ORDER BY answered_at DESC, id DESC) AS n FROM mine) "
                           "WHERE n <= :count ORDER BY question, n")
                .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.bindValue(QStringLiteral(":count"), count);
    return readAnswers(query);
}

bool AnswerHistory::saveMarathon(const QString &fingerprint, const MarathonState &state,
                                 const QDateTime &savedAt)
{
    if (!canWrite())
        return false;
    QSqlError error;
    const auto id = databaseId(fingerprint, true, &error);
    if (!id) {
        failWrite(error);
        return false;
    }
    QStringList numbers;
    numbers.reserve(state.order.size());
    for (int q : state.order)
        numbers.append(QString::number(q));
    QSqlQuery query(database());
    query.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO marathon (database, question_order, position, updated_at, "
        "right_count, wrong_count, uuid, synced) VALUES (?, ?, ?, ?, ?, ?, ?, 0)"));
    query.addBindValue(*id);
    query.addBindValue(numbers.join(QLatin1Char(',')));
    query.addBindValue(state.position);
    query.addBindValue(savedAt.toMSecsSinceEpoch());
    query.addBindValue(state.right);
    query.addBindValue(state.wrong);
    // Each state saved is a new one for the classroom's server: it keeps
    // every state once under its UUID and gives back the newest.
    query.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!query.exec()) {
        failWrite(query.lastError());
        return false;
    }
    return true;
}

std::optional<MarathonState> AnswerHistory::marathon(const QString &fingerprint) const
{
    if (!m_available)
        return std::nullopt;
    const auto id = databaseId(fingerprint, false);
    if (!id)
        return std::nullopt;
    QSqlQuery query(database());
    query.prepare(
        QStringLiteral("SELECT question_order, position, right_count, wrong_count FROM marathon "
                       "WHERE database = ?"));
    query.addBindValue(*id);
    if (!query.exec() || !query.next())
        return std::nullopt;
    MarathonState state;
    QList<bool> seen(800, false);
    // 800 numbers of at most three digits and their commas. A longer text is
    // no order of ours, and splitting a tampered one of megabytes would take
    // gigabytes.
    const QString order = query.value(0).toString();
    if (order.size() > 800 * 4)
        return std::nullopt;
    for (const QString &part : order.split(QLatin1Char(','))) {
        bool ok = false;
        const int q = part.toInt(&ok);
        if (!ok || q < 1 || q > 800 || seen[q - 1])
            return std::nullopt;
        seen[q - 1] = true;
        state.order.append(q);
    }
    state.position = StoredValues::integer(query.value(1), -1, 801);
    state.right = StoredValues::integer(query.value(2), -1, 801);
    state.wrong = StoredValues::integer(query.value(3), -1, 801);
    if (state.order.size() != 800 || state.position < 0 || state.position > 800)
        return std::nullopt;
    // Counts that cannot be (more answers than the position) are dropped. A
    // question the marathon passed over unread counts in neither.
    if (state.right < 0 || state.wrong < 0 || state.right + state.wrong > state.position) {
        state.right = 0;
        state.wrong = 0;
    }
    return state;
}

bool AnswerHistory::clear(const QString &fingerprint, const QDateTime &resetAt)
{
    if (!canWrite())
        return false;
    // The database gets its row even when nothing was recorded for it yet:
    // the reset is noted all the same, for what the server may still hold.
    QSqlError error;
    const auto id = databaseId(fingerprint, true, &error);
    if (!id) {
        failWrite(error);
        return false;
    }
    QSqlDatabase db = database();
    if (!db.transaction()) {
        failWrite(db.lastError());
        return false;
    }
    QSqlQuery query(db);
    // The answers it shows go, its own and those to the same questions from
    // other databases (see AnswersOfDatabase); its keys stay, they describe
    // the file.
    for (const QString &statement :
         {QStringLiteral("DELETE FROM answers WHERE database = :db OR question_key IN "
                         "(SELECT key FROM question_keys WHERE database = :db)"),
          QStringLiteral("DELETE FROM attempts WHERE database = :db"),
          QStringLiteral("DELETE FROM marathon WHERE database = :db"),
          QStringLiteral(
              "INSERT INTO resets (uuid, database, reset_at) VALUES (:uuid, :db, :at)")}) {
        query.prepare(statement);
        query.bindValue(QStringLiteral(":db"), *id);
        if (statement.contains(QLatin1String(":uuid"))) {
            query.bindValue(QStringLiteral(":uuid"),
                            QUuid::createUuid().toString(QUuid::WithoutBraces));
            query.bindValue(QStringLiteral(":at"), resetAt.toMSecsSinceEpoch());
        }
        if (!query.exec()) {
            const QSqlError error = query.lastError();
            db.rollback();
            failWrite(error);
            return false;
        }
    }
    if (!db.commit()) {
        failWrite(db.lastError());
        return false;
    }
    return true;
}
