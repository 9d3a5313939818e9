// The answer history's content keys: storing a database's question keys,
// keying its older answers, and what is carried over the first time a
// database gets its keys.
#include "answerhistory.h"

#include "marathoncarryover.h"
#include "storedvalues.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

namespace {

// Question number -> key, from `SELECT question, key` rows; empty unless all
// 800 questions are there.
QList<qint64> readKeys(QSqlQuery &query)
{
    QList<qint64> keys(800, 0);
    int found = 0;
    while (query.next()) {
        const int question = StoredValues::integer(query.value(0), 0, 801);
        if (question < 1 || question > 800 || query.value(1).typeId() != QMetaType::LongLong)
            continue;
        keys[question - 1] = query.value(1).toLongLong();
        ++found;
    }
    return found == 800 ? keys : QList<qint64>();
}

} // namespace

std::optional<AnswerHistory::StoredKeys>
AnswerHistory::questionKeys(const QString &fingerprint) const
{
    if (!m_available)
        return std::nullopt;
    const auto id = databaseId(fingerprint, false);
    if (!id)
        return std::nullopt;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT keys_file_size, keys_modified_at FROM databases "
                                 "WHERE id = ?"));
    query.addBindValue(*id);
    if (!query.exec() || !query.next() || query.isNull(0))
        return std::nullopt;
    StoredKeys stored;
    stored.fileSize = StoredValues::integer(query.value(0), qint64(-1), StoredValues::Int64Max);
    stored.modifiedMs = StoredValues::time(query.value(1));
    query.prepare(QStringLiteral("SELECT question, key FROM question_keys WHERE database = ?"));
    query.addBindValue(*id);
    if (!query.exec())
        return std::nullopt;
    stored.keys = readKeys(query);
    if (stored.keys.isEmpty())
        return std::nullopt;
    return stored;
}

std::optional<int> AnswerHistory::registerQuestionKeys(const QString &fingerprint,
                                                       const StoredKeys &keys)
{
    // A history opened read-only keeps the keys it has: its answers are
    // read by their stored keys, or by their place.
    if (!m_available || m_readOnly || keys.keys.size() != 800)
        return std::nullopt;
    QSqlError error;
    const auto id = databaseId(fingerprint, true, &error);
    if (!id) {
        failWrite(error);
        return std::nullopt;
    }
    QSqlDatabase db = database();
    if (!db.transaction()) {
        failWrite(db.lastError());
        return std::nullopt;
    }
    QSqlQuery query(db);
    const auto failed = [&] {
        const QSqlError why = query.lastError();
        db.rollback();
        failWrite(why);
        return std::nullopt;
    };
    query.prepare(QStringLiteral("SELECT count(*) FROM question_keys WHERE database = ?"));
    query.addBindValue(*id);
    if (!query.exec() || !query.next())
        return failed();
    const bool firstTime = query.value(0).toInt() == 0;

    query.prepare(QStringLiteral("DELETE FROM question_keys WHERE database = ?"));
    query.addBindValue(*id);
    if (!query.exec())
        return failed();
    query.prepare(
        QStringLiteral("INSERT INTO question_keys (database, question, key) VALUES (?, ?, ?)"));
    for (int q = 1; q <= 800; ++q) {
        query.bindValue(0, *id);
        query.bindValue(1, q);
        query.bindValue(2, keys.keys[q - 1]);
        if (!query.exec())
            return failed();
    }
    query.prepare(QStringLiteral(
        "UPDATE databases SET keys_file_size = ?, keys_modified_at = ? WHERE id = ?"));
    query.addBindValue(keys.fileSize);
    query.addBindValue(keys.modifiedMs);
    query.addBindValue(*id);
    if (!query.exec())
        return failed();
    // Answers recorded before the database had keys (by an earlier version
    // of the program, or while its file could not be read) take them now.
    query.prepare(
        QStringLiteral("UPDATE answers SET question_key = (SELECT key FROM question_keys k WHERE "
                       "k.database = answers.database AND k.question = answers.question) "
                       "WHERE database = ? AND question_key IS NULL"));
    query.addBindValue(*id);
    if (!query.exec())
        return failed();

    int carried = 0;
    if (firstTime) {
        query.prepare(QStringLiteral(
            "SELECT count(*) FROM question_keys k WHERE k.database = :db AND EXISTS "
            "(SELECT 1 FROM answers a WHERE a.question_key = k.key AND a.database <> :db)"));
        query.bindValue(QStringLiteral(":db"), *id);
        if (!query.exec() || !query.next())
            return failed();
        carried = query.value(0).toInt();
        query.prepare(QStringLiteral("UPDATE databases SET carried_over = ? WHERE id = ?"));
        query.addBindValue(carried > 0 ? QVariant(carried) : QVariant(QMetaType::fromType<int>()));
        query.addBindValue(*id);
        if (!query.exec())
            return failed();
        query.finish();
        if (!carryMarathonTo(*id, fingerprint, keys.keys)) {
            db.rollback();
            return std::nullopt;
        }
    }
    if (!db.commit()) {
        const QSqlError why = db.lastError();
        db.rollback();
        failWrite(why);
        return std::nullopt;
    }
    return carried;
}

// Within registerQuestionKeys' transaction: when the database has no
// marathon, the one most recently advanced in another database with keys
// goes on here, by content. False only when a write failed.
bool AnswerHistory::carryMarathonTo(qint64 databaseId, const QString &fingerprint,
                                    const QList<qint64> &keys)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT count(*) FROM marathon WHERE database = ?"));
    query.addBindValue(databaseId);
    if (!query.exec() || !query.next() || query.value(0).toInt() > 0)
        return true;
    query.prepare(QStringLiteral(
        "SELECT m.database, d.fingerprint FROM marathon m JOIN databases d ON d.id = m.database "
        "WHERE m.database <> ? AND EXISTS (SELECT 1 FROM question_keys k "
        "WHERE k.database = m.database) ORDER BY m.updated_at DESC LIMIT 1"));
    query.addBindValue(databaseId);
    if (!query.exec() || !query.next())
        return true;
    const qint64 oldId = query.value(0).toLongLong();
    const QString oldFingerprint = query.value(1).toString();
    query.finish();
    const auto old = marathon(oldFingerprint);
    if (!old)
        return true;
    query.prepare(QStringLiteral("SELECT question, key FROM question_keys WHERE database = ?"));
    query.addBindValue(oldId);
    if (!query.exec())
        return true;
    const QList<qint64> oldKeys = readKeys(query);
    if (oldKeys.isEmpty())
        return true;

    QSqlQuery last(database());
    last.setForwardOnly(true);
    last.prepare(
        QStringLiteral("SELECT right FROM answers WHERE database = ? AND question = ? AND mode = ? "
                       "ORDER BY answered_at DESC, id DESC LIMIT 1"));
    const auto marathonAnswer = [&](int question) -> std::optional<bool> {
        last.bindValue(0, oldId);
        last.bindValue(1, question);
        last.bindValue(2, HistoryModes::code(HistoryMode::Marathon));
        if (!last.exec() || !last.next())
            return std::nullopt;
        return StoredValues::flag(last.value(0));
    };
    const MarathonState carried = MarathonCarryOver::carry(*old, oldKeys, keys, marathonAnswer);
    return saveMarathon(fingerprint, carried, QDateTime::currentDateTimeUtc());
}

int AnswerHistory::carriedOverNotice(const QString &fingerprint) const
{
    const auto id = m_available ? databaseId(fingerprint, false) : std::nullopt;
    if (!id)
        return 0;
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT carried_over FROM databases WHERE id = ?"));
    query.addBindValue(*id);
    if (!query.exec() || !query.next())
        return 0;
    return StoredValues::integer(query.value(0), 0, 800);
}

bool AnswerHistory::clearCarriedOverNotice(const QString &fingerprint)
{
    const auto id = m_available && !m_readOnly ? databaseId(fingerprint, false) : std::nullopt;
    if (!id)
        return false;
    QSqlQuery query(database());
    query.prepare(QStringLiteral("UPDATE databases SET carried_over = NULL WHERE id = ?"));
    query.addBindValue(*id);
    if (!query.exec()) {
        failWrite(query.lastError());
        return false;
    }
    return true;
}
