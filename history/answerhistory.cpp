#include "answerhistory.h"

#include "historyschema.h"
#include "storedvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>
#include <QVariant>

namespace {

// SQLite's primary result codes that mean the file is out of reach (no
// permission, locked, read-only, disk full, input/output error) rather than
// its content broken. Any other failure of the integrity check ("file is not
// a database", "database disk image is malformed", "unsupported file
// format") means damage.
bool isAccessFailure(int sqliteCode)
{
    switch (sqliteCode) {
    case 3:  // SQLITE_PERM
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
    case 7:  // SQLITE_NOMEM
    case 8:  // SQLITE_READONLY
    case 10: // SQLITE_IOERR
    case 13: // SQLITE_FULL
    case 14: // SQLITE_CANTOPEN
    case 23: // SQLITE_AUTH
        return true;
    default:
        return false;
    }
}

const QByteArray SqliteMagic("SQLite format 3\0", 16);

const QString ContinueWithoutHistory = QStringLiteral(
    "История ответов вестись не будет; результаты, как и прежде, сохраняются в «stat.dat».");

QString nativeName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

using StoredValues::Int64Max;
using StoredValues::IntMax;

// The answers a database shows, as a common table `mine` over the
// database's row id (the placeholder :db): every answer whose content key is one
// of the database's question keys, from whichever database it was recorded
// in, under the number the question has here; and the database's own
// answers that have no key yet. `question` is the number in this database.
const QString AnswersOfDatabase = QStringLiteral(
    "WITH mine AS ("
    "SELECT k.question AS question, a.mode AS mode, a.variant AS variant, a.right AS right,"
    " a.seconds AS seconds, a.answered_at AS answered_at, a.attempt AS attempt,"
    " a.correction AS correction, a.id AS id"
    " FROM question_keys k JOIN answers a ON a.question_key = k.key WHERE k.database = :db"
    " UNION ALL"
    " SELECT question, mode, variant, right, seconds, answered_at, attempt, correction, id"
    " FROM answers WHERE database = :db AND question_key IS NULL) ");

// The driver's own words, without Qt's "Unable to execute statement".
QString reasonOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

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
                                                QString *error) const
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
            *error = reasonOf(query.lastError());
        return std::nullopt;
    }
    return m_databaseIds[fingerprint] = query.lastInsertId().toLongLong();
}

void AnswerHistory::fail(const QString &message)
{
    m_insertAnswer.reset();
    m_available = false;
    m_errorMessage = message;
    // A damaged file put aside before the failure is worth telling too.
    m_pendingMessage = m_pendingMessage.isEmpty() ? message : m_pendingMessage + '\n' + message;
}

void AnswerHistory::failWrite(const QString &reason)
{
    fail(QStringLiteral("Не удалось записать в файл истории ответов «%1»: %2.\n%3")
             .arg(nativeName(m_filePath), reason, ContinueWithoutHistory));
}

bool AnswerHistory::openConnection()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!db.isValid()) {
        fail(QStringLiteral("Не найден драйвер SQLite для Qt (пакет libqt6sql6-sqlite).\n%1")
                 .arg(ContinueWithoutHistory));
        return false;
    }
    db.setDatabaseName(m_filePath);
    if (!db.open()) {
        fail(QStringLiteral("Не удалось открыть файл истории ответов «%1»: %2.\n%3")
                 .arg(nativeName(m_filePath), reasonOf(db.lastError()), ContinueWithoutHistory));
        return false;
    }
    return true;
}

void AnswerHistory::closeConnection()
{
    m_insertAnswer.reset();
    {
        QSqlDatabase db = database();
        if (db.isValid())
            db.close();
    }
    // Only after every QSqlDatabase handle of the connection is gone.
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

// True when the file exists and is not a healthy SQLite database. A file
// that cannot be read at all is not called damaged: opening reports it.
bool AnswerHistory::isDamaged(QString &reason)
{
    QFile file(m_filePath);
    if (!file.exists() || file.size() == 0)
        return false;
    if (file.open(QIODevice::ReadOnly) && file.read(SqliteMagic.size()) != SqliteMagic) {
        reason = QStringLiteral("это не файл базы данных SQLite");
        return true;
    }
    file.close();
    if (!openConnection())
        return false;
    bool damaged = false;
    {
        QSqlQuery check(database());
        if (!check.exec(QStringLiteral("PRAGMA quick_check"))) {
            damaged = !isAccessFailure(check.lastError().nativeErrorCode().toInt());
            reason = reasonOf(check.lastError());
        } else if (!check.next() || check.value(0).toString() != QLatin1String("ok")) {
            damaged = true;
            reason = QStringLiteral("проверка целостности не пройдена");
        }
    }
    closeConnection();
    return damaged;
}

// Renames the file (and its WAL and shared-memory companions, which belong to
// it) to "<name>.damaged-YYYYMMDD-HHMMSS", with a counter if that is taken.
bool AnswerHistory::putDamagedFileAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_filePath + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_filePath + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_filePath, aside))
        return false;
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = m_filePath + QLatin1String(suffix);
        if (QFileInfo::exists(companion))
            QFile::rename(companion, aside + QLatin1String(suffix));
    }
    m_damagedFileKeptAs = aside;
    return true;
}

bool AnswerHistory::open()
{
    QString damage;
    if (isDamaged(damage)) {
        if (!putDamagedFileAside()) {
            fail(QStringLiteral("Файл истории ответов «%1» повреждён (%2), и его не удалось "
                                "переименовать.\n%3")
                     .arg(nativeName(m_filePath), damage, ContinueWithoutHistory));
            return false;
        }
        m_pendingMessage =
            QStringLiteral("Файл истории ответов «%1» повреждён (%2). Он сохранён "
                           "под именем «%3», история ответов начата заново.")
                .arg(nativeName(m_filePath), damage, nativeName(m_damagedFileKeptAs));
    }
    // Checking for damage may already have found the file out of reach.
    if (!m_errorMessage.isEmpty() || !openConnection())
        return false;

    QSqlDatabase db = database();
    QSqlQuery query(db);
    const auto openFailure = [this](const QString &reason) {
        fail(QStringLiteral("Не удалось открыть файл истории ответов «%1»: %2.\n%3")
                 .arg(nativeName(m_filePath), reason, ContinueWithoutHistory));
        return false;
    };
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next())
        return openFailure(reasonOf(query.lastError()));
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return openFailure(QStringLiteral("журнал WAL недоступен"));
    if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return openFailure(reasonOf(query.lastError()));

    const int version = HistorySchema::version(db);
    if (version > HistorySchema::CurrentVersion) {
        fail(QStringLiteral("Файл истории ответов «%1» записан более новой версией программы.\n%2")
                 .arg(nativeName(m_filePath), ContinueWithoutHistory));
        return false;
    }
    if (const QString reason = HistorySchema::migrate(db); !reason.isEmpty())
        return openFailure(reason);
    // A file that opened but cannot take a write (a read-only file or medium)
    // is found now rather than at the first answer.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")) || !query.exec(QStringLiteral("COMMIT")))
        return openFailure(reasonOf(query.lastError()));
    query.finish();

    m_insertAnswer = std::make_unique<QSqlQuery>(db);
    if (!m_insertAnswer->prepare(QStringLiteral(
            "INSERT INTO answers (database, question, mode, variant, right, seconds, "
            "answered_at, attempt, correction, question_key) "
            "VALUES (:db, :question, :mode, :variant, :right, :seconds, :at, :attempt, "
            ":correction, (SELECT key FROM question_keys WHERE database = :db AND "
            "question = :question))")))
        return openFailure(reasonOf(m_insertAnswer->lastError()));
    m_available = true;
    return true;
}

qint64 AnswerHistory::beginAttempt(const QString &fingerprint, HistoryMode mode,
                                   const QDateTime &startedAt)
{
    if (!m_available)
        return 0;
    QString reason;
    const auto id = databaseId(fingerprint, true, &reason);
    if (!id) {
        failWrite(reason);
        return 0;
    }
    QSqlQuery query(database());
    query.prepare(
        QStringLiteral("INSERT INTO attempts (database, mode, started_at) VALUES (?, ?, ?)"));
    query.addBindValue(*id);
    query.addBindValue(HistoryModes::code(mode));
    query.addBindValue(startedAt.toMSecsSinceEpoch());
    if (!query.exec()) {
        failWrite(reasonOf(query.lastError()));
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool AnswerHistory::endAttempt(qint64 attemptId, const QDateTime &endedAt,
                               const AttemptSummary &result)
{
    if (!m_available || attemptId <= 0)
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
        failWrite(reasonOf(query.lastError()));
        return false;
    }
    return query.numRowsAffected() == 1;
}

QList<AttemptRecord> AnswerHistory::attempts(const QString &fingerprint) const
{
    QList<AttemptRecord> result;
    auto prepared = queryFor(
        fingerprint, QStringLiteral("SELECT id, mode, started_at, ended_at, correct, wrong, passed "
                                    "FROM attempts WHERE database = :db ORDER BY started_at, id"));
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
    if (!m_available)
        return false;
    if (answer.question < 1 || answer.question > 800)
        return false;
    QString reason;
    const auto id = databaseId(fingerprint, true, &reason);
    if (!id) {
        failWrite(reason);
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
    if (!query.exec()) {
        failWrite(reasonOf(query.lastError()));
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
    if (!m_available)
        return false;
    QString reason;
    const auto id = databaseId(fingerprint, true, &reason);
    if (!id) {
        failWrite(reason);
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
        failWrite(reasonOf(query.lastError()));
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
    for (const QString &part : query.value(0).toString().split(QLatin1Char(','))) {
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

bool AnswerHistory::clear(const QString &fingerprint)
{
    if (!m_available)
        return false;
    const auto id = databaseId(fingerprint, false);
    if (!id)
        return true; // nothing recorded for it
    QSqlDatabase db = database();
    if (!db.transaction()) {
        failWrite(reasonOf(db.lastError()));
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
          QStringLiteral("DELETE FROM marathon WHERE database = :db")}) {
        query.prepare(statement);
        query.bindValue(QStringLiteral(":db"), *id);
        if (!query.exec()) {
            const QString reason = reasonOf(query.lastError());
            db.rollback();
            failWrite(reason);
            return false;
        }
    }
    if (!db.commit()) {
        failWrite(reasonOf(db.lastError()));
        return false;
    }
    return true;
}
