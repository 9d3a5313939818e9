#include "answerhistory.h"

#include "historyschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

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
    query.prepare(QStringLiteral("SELECT id FROM databases WHERE fingerprint = ?"));
    query.addBindValue(fingerprint);
    if (query.exec() && query.next())
        return m_databaseIds[fingerprint] = query.value(0).toLongLong();
    if (!create)
        return std::nullopt;
    query.prepare(QStringLiteral("INSERT INTO databases (fingerprint) VALUES (?)"));
    query.addBindValue(fingerprint);
    if (!query.exec()) {
        if (error)
            *error = query.lastError();
        return std::nullopt;
    }
    return m_databaseIds[fingerprint] = query.lastInsertId().toLongLong();
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
    query.prepare(
        QStringLiteral("INSERT INTO attempts (database, mode, started_at) VALUES (?, ?, ?)"));
    query.addBindValue(*id);
    query.addBindValue(HistoryModes::code(mode));
    query.addBindValue(startedAt.toMSecsSinceEpoch());
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
        fingerprint, QStringLiteral("SELECT id, mode, started_at, ended_at, correct, wrong, passed "
                                    "FROM attempts WHERE database = ? ORDER BY started_at, id"));
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
        attempt.startedAtMs = query.value(2).toLongLong();
        if (!query.isNull(3)) {
            attempt.endedAtMs = query.value(3).toLongLong();
            AttemptSummary r;
            r.correct = query.value(4).toInt();
            r.wrong = query.value(5).toInt();
            if (!query.isNull(6))
                r.passed = query.value(6).toInt() != 0;
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
    query.bindValue(0, *id);
    query.bindValue(1, answer.question);
    query.bindValue(2, HistoryModes::code(answer.mode));
    query.bindValue(3, answer.variant);
    query.bindValue(4, int(answer.right));
    query.bindValue(5, answer.seconds);
    query.bindValue(6, answer.answeredAtMs);
    query.bindValue(7, answer.attemptId > 0 ? QVariant(answer.attemptId)
                                            : QVariant(QMetaType::fromType<qint64>()));
    if (!query.exec()) {
        failWrite(query.lastError());
        return false;
    }
    return true;
}

QList<AnswerRecord> AnswerHistory::readAnswers(QSqlQuery &query) const
{
    // Columns: question, mode, variant, right, seconds, answered_at, attempt.
    QList<AnswerRecord> result;
    if (!query.exec())
        return result;
    while (query.next()) {
        const auto mode = HistoryModes::fromCode(query.value(1).toString());
        if (!mode)
            continue;
        AnswerRecord a;
        a.question = query.value(0).toInt();
        a.mode = *mode;
        a.variant = query.value(2).toInt();
        a.right = query.value(3).toInt() != 0;
        a.seconds = query.value(4).toInt();
        a.answeredAtMs = query.value(5).toLongLong();
        a.attemptId = query.value(6).toLongLong();
        result.append(a);
    }
    return result;
}

namespace {
const QString AnswerColumns =
    QStringLiteral("question, mode, variant, right, seconds, answered_at, attempt");
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
    query.addBindValue(*id);
    return query;
}

QList<AnswerRecord> AnswerHistory::answers(const QString &fingerprint) const
{
    auto prepared =
        queryFor(fingerprint, QStringLiteral("SELECT %1 FROM answers WHERE database = ? "
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
    auto prepared =
        queryFor(fingerprint, QStringLiteral("SELECT question, right, answered_at FROM answers "
                                             "WHERE database = ? ORDER BY answered_at, id"));
    if (!prepared)
        return result;
    QSqlQuery &query = *prepared;
    if (!query.exec())
        return result;
    while (query.next())
        result.append(AnswerOutcome{query.value(0).toInt(), query.value(1).toInt() != 0,
                                    query.value(2).toLongLong()});
    return result;
}

QList<AnswerRecord> AnswerHistory::answersBetween(const QString &fingerprint, const QDateTime &from,
                                                  const QDateTime &to) const
{
    auto prepared =
        queryFor(fingerprint,
                 QStringLiteral("SELECT %1 FROM answers WHERE database = ? AND answered_at >= ? "
                                "AND answered_at < ? ORDER BY answered_at, id")
                     .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.addBindValue(from.toMSecsSinceEpoch());
    query.addBindValue(to.toMSecsSinceEpoch());
    return readAnswers(query);
}

QList<AnswerRecord> AnswerHistory::answersOfQuestion(const QString &fingerprint, int question) const
{
    auto prepared = queryFor(
        fingerprint, QStringLiteral("SELECT %1 FROM answers WHERE database = ? AND question = ? "
                                    "ORDER BY answered_at, id")
                         .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.addBindValue(question);
    return readAnswers(query);
}

QList<AnswerRecord> AnswerHistory::latestAnswers(const QString &fingerprint, int count) const
{
    if (count <= 0)
        return {};
    auto prepared = queryFor(
        fingerprint,
        QStringLiteral("SELECT %1 FROM (SELECT *, ROW_NUMBER() OVER (PARTITION BY question "
                       "ORDER BY answered_at DESC, id DESC) AS n FROM answers WHERE database = ?) "
                       "WHERE n <= ? ORDER BY question, n")
            .arg(AnswerColumns));
    if (!prepared)
        return {};
    QSqlQuery &query = *prepared;
    query.addBindValue(count);
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
        "right_count, wrong_count) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(*id);
    query.addBindValue(numbers.join(QLatin1Char(',')));
    query.addBindValue(state.position);
    query.addBindValue(savedAt.toMSecsSinceEpoch());
    query.addBindValue(state.right);
    query.addBindValue(state.wrong);
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
    state.position = query.value(1).toInt();
    state.right = query.value(2).toInt();
    state.wrong = query.value(3).toInt();
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

bool AnswerHistory::clear(const QString &fingerprint)
{
    if (!canWrite())
        return false;
    const auto id = databaseId(fingerprint, false);
    if (!id)
        return true; // nothing recorded for it
    QSqlDatabase db = database();
    if (!db.transaction()) {
        failWrite(db.lastError());
        return false;
    }
    QSqlQuery query(db);
    for (const char *table : {"answers", "attempts", "marathon"}) {
        query.prepare(
            QStringLiteral("DELETE FROM %1 WHERE database = ?").arg(QLatin1String(table)));
        query.addBindValue(*id);
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
