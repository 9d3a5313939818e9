// Opening "history.sqlite" and what a failure makes of the store: the file
// checked and opened where it lies, set aside only when its content is
// damaged, opened read-only when it can be read but not written, the opening
// deferred while another program holds it; and writes that fail for the
// moment counted as delayed.
#include "answerhistory.h"

#include "historyfile.h"
#include "historyschema.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QVariant>

namespace {

const QString ContinueWithoutHistory = QStringLiteral(
    "История ответов вестись не будет; результаты, как и прежде, сохраняются в «stat.dat».");

// How long a statement waits for another program's lock before it gives up:
// long enough to ride out a checkpoint or a short transaction elsewhere,
// short enough that the window never notices. A write that still meets the
// lock is kept by the caller and tried again later.
const QString BusyTimeoutOption = QStringLiteral("QSQLITE_BUSY_TIMEOUT=50");

// A history larger than this is not copied to be read: a year of daily
// practice takes a few megabytes.
constexpr qint64 MaxReadingCopyBytes = 512LL * 1024 * 1024;

// SQLite's generic error code (sqlite3.h).
constexpr int SqliteError = 1;

QString nativeName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The driver's own words, without Qt's "Unable to execute statement".
QString reasonOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

} // namespace

void AnswerHistory::tell(const QString &message)
{
    // A damaged file put aside before a later message is worth telling too.
    m_pendingMessage = m_pendingMessage.isEmpty() ? message : m_pendingMessage + '\n' + message;
}

void AnswerHistory::fail(const QString &message)
{
    m_insertAnswer.reset();
    m_available = false;
    m_readOnly = false;
    m_openDeferred = false;
    m_errorMessage = message;
    tell(message);
}

// A write that failed. Another program's lock or a full disk pass: the write
// counts as delayed and the caller tries it again. Anything else ends
// recording for the run, but the past stays readable.
void AnswerHistory::failWrite(const QSqlError &error)
{
    const HistoryFile::Failure failure = HistoryFile::classify(error);
    if (failure == HistoryFile::Failure::Busy || failure == HistoryFile::Failure::NoSpace) {
        ++m_delayedWrites;
        if (!m_delayTold) {
            m_delayTold = true;
            tell(failure == HistoryFile::Failure::Busy
                     ? QStringLiteral("Файл истории ответов «%1» занят другой программой. Новые "
                                      "ответы программа держит в памяти и запишет, как только "
                                      "файл освободится.")
                           .arg(nativeName(m_filePath))
                     : QStringLiteral("На диске нет места для файла истории ответов «%1». Новые "
                                      "ответы программа держит в памяти и запишет, как только "
                                      "место появится.")
                           .arg(nativeName(m_filePath)));
        }
        return;
    }
    m_insertAnswer.reset();
    m_readOnly = true;
    m_errorMessage = QStringLiteral("Не удалось записать в файл истории ответов «%1»: %2.")
                         .arg(nativeName(m_filePath), reasonOf(error));
    tell(m_errorMessage + QStringLiteral("\nДо конца работы программы новые ответы в историю "
                                         "не записываются; результаты, как и прежде, "
                                         "сохраняются в «stat.dat»."));
}

// Whether a write may go ahead now. A deferred opening is tried again first;
// while it stays locked out the write counts as delayed.
bool AnswerHistory::canWrite()
{
    if (m_openDeferred && !retryOpen()) {
        ++m_delayedWrites;
        return false;
    }
    return m_available && !m_readOnly && m_insertAnswer != nullptr;
}

bool AnswerHistory::openConnection(const QString &path, const QString &options, QSqlError *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!db.isValid()) {
        fail(QStringLiteral("Не найден драйвер SQLite для Qt (пакет libqt6sql6-sqlite).\n%1")
                 .arg(ContinueWithoutHistory));
        return false;
    }
    db.setDatabaseName(path);
    db.setConnectOptions(options);
    if (!db.open()) {
        *error = db.lastError();
        return false;
    }
    return true;
}

void AnswerHistory::closeConnection()
{
    m_insertAnswer.reset();
    m_databaseIds.clear();
    {
        QSqlDatabase db = database();
        if (db.isValid())
            db.close();
    }
    // Only after every QSqlDatabase handle of the connection is gone.
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
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

// Opens the file where it lies for writing, checking it on the way. Every
// failure is sorted by what it says about the file: only Damaged is about
// its content.
AnswerHistory::Opening AnswerHistory::openInPlace()
{
    const auto outcome = [](const QSqlError &error) {
        switch (HistoryFile::classify(error)) {
        case HistoryFile::Failure::Damage:
            return Opening{Opening::Damaged, reasonOf(error)};
        case HistoryFile::Failure::Busy:
            return Opening{Opening::Busy, reasonOf(error)};
        case HistoryFile::Failure::NoSpace:
        case HistoryFile::Failure::Access:
            break;
        }
        return Opening{Opening::Unreadable, reasonOf(error)};
    };
    const QFileInfo info(m_filePath);
    const bool existed = info.exists() && info.size() > 0;
    if (existed && !HistoryFile::looksLikeDatabase(m_filePath))
        return {Opening::Damaged, QStringLiteral("это не файл базы данных SQLite")};
    QSqlError error;
    if (!openConnection(m_filePath, BusyTimeoutOption, &error))
        return outcome(error);

    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (existed) {
        // A plain SQL error from the check itself comes from the file's
        // header or schema ("unsupported file format"): its content.
        if (!query.exec(QStringLiteral("PRAGMA quick_check")))
            return (query.lastError().nativeErrorCode().toInt() & 0xff) == SqliteError
                       ? Opening{Opening::Damaged, reasonOf(query.lastError())}
                       : outcome(query.lastError());
        if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
            return {Opening::Damaged, QStringLiteral("проверка целостности не пройдена")};
    }
    // The version and the tables are read before anything is written: a file
    // from a newer program or from another program is left as it is.
    // Both in one statement, so from one moment: another connection may be
    // creating the tables right now, and a version read before its commit
    // with tables counted after it looked like another program's file.
    if (!query.exec(QStringLiteral("SELECT (SELECT user_version FROM pragma_user_version), "
                                   "(SELECT count(*) FROM sqlite_master)")) ||
        !query.next())
        return outcome(query.lastError());
    const int version = query.value(0).toInt();
    if (version > HistorySchema::CurrentVersion)
        return {Opening::Newer, {}};
    if (version == 0 && query.value(1).toInt() > 0)
        return {Opening::Foreign, {}};
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next())
        return outcome(query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return {Opening::Unreadable, QStringLiteral("журнал WAL недоступен")};
    if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return outcome(query.lastError());
    // Taking the write lock tells a file that cannot be written (a read-only
    // file or medium) from one another program holds, before the schema is
    // touched. A file at the current version that is only locked opens: its
    // writes are delayed until the lock goes.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        Opening locked = outcome(query.lastError());
        if (locked.result != Opening::Busy || version < HistorySchema::CurrentVersion)
            return locked;
    } else if (!query.exec(QStringLiteral("COMMIT"))) {
        return outcome(query.lastError());
    }
    query.finish();
    // Another connection migrating the file at the same time holds the lock
    // for a moment: Busy, not a file that cannot be written.
    QSqlError migrationError;
    if (const QString reason =
            HistorySchema::migrate(db, HistorySchema::CurrentVersion, &migrationError);
        !reason.isEmpty())
        return HistoryFile::classify(migrationError) == HistoryFile::Failure::Busy
                   ? Opening{Opening::Busy, reason}
                   : Opening{Opening::Unreadable, reason};
    // Prepared once: recording an answer is the hot path.
    auto insert = std::make_unique<QSqlQuery>(db);
    if (!insert->prepare(QStringLiteral(
            "INSERT INTO answers (database, question, mode, variant, right, seconds, "
            "answered_at, attempt, correction, uuid, question_key) "
            "VALUES (:db, :question, :mode, :variant, :right, :seconds, :at, :attempt, "
            ":correction, :uuid, (SELECT key FROM question_keys WHERE database = :db AND "
            "question = :question))")))
        return outcome(insert->lastError());
    m_insertAnswer = std::move(insert);
    return {};
}

// Opens the file for reading only, after `why` kept it from being written:
// where it lies when SQLite can read it there at the current version,
// otherwise as a private copy in a temporary folder (brought up to the current
// version there).
bool AnswerHistory::openReadOnly(const QString &why)
{
    closeConnection();
    const auto opened = [this, &why] {
        m_readOnly = true;
        m_available = true;
        tell(QStringLiteral("Файл истории ответов «%1» открыт только для чтения (%2). Прошлые "
                            "ответы видны, новые до конца работы программы не записываются; "
                            "результаты, как и прежде, сохраняются в «stat.dat».")
                 .arg(nativeName(m_filePath), why));
        return true;
    };
    QSqlError error;
    if (HistoryFile::oddCompanion(m_filePath).isEmpty() &&
        openConnection(m_filePath, BusyTimeoutOption + QStringLiteral(";QSQLITE_OPEN_READONLY"),
                       &error)) {
        QSqlDatabase db = database();
        if (HistorySchema::version(db) == HistorySchema::CurrentVersion)
            return opened();
    }
    closeConnection();

    m_readingCopy = std::make_unique<QTemporaryDir>();
    QString copyError;
    const QString copy = m_readingCopy->isValid()
                             ? HistoryFile::copyForReading(m_filePath, m_readingCopy->path(),
                                                           MaxReadingCopyBytes, &copyError)
                             : QString();
    if (!copy.isEmpty() && openConnection(copy, BusyTimeoutOption, &error)) {
        QSqlDatabase db = database();
        QSqlQuery check(db);
        if (check.exec(QStringLiteral("PRAGMA quick_check")) && check.next() &&
            check.value(0).toString() != QLatin1String("ok")) {
            // Damaged, but it cannot be set aside while it cannot be written.
            fail(QStringLiteral("Файл истории ответов «%1» повреждён, и записать в него нельзя "
                                "(%2).\n%3")
                     .arg(nativeName(m_filePath), why, ContinueWithoutHistory));
            return false;
        }
        check.finish();
        const int version = HistorySchema::version(db);
        if (version >= 0 && version <= HistorySchema::CurrentVersion &&
            HistorySchema::migrate(db).isEmpty())
            return opened();
    }
    closeConnection();
    m_readingCopy.reset();
    fail(QStringLiteral("Не удалось открыть файл истории ответов «%1»: %2.\n%3")
             .arg(nativeName(m_filePath), why, ContinueWithoutHistory));
    return false;
}

bool AnswerHistory::open()
{
    m_available = false;
    m_openDeferred = false;
    if (const QString refusal = RegularFile::refusalReason(m_filePath); !refusal.isEmpty()) {
        fail(QStringLiteral("Не удалось открыть файл истории ответов: %1.\n%2")
                 .arg(refusal, ContinueWithoutHistory));
        return false;
    }
    if (const QString odd = HistoryFile::oddCompanion(m_filePath); !odd.isEmpty())
        return openReadOnly(odd);

    Opening opening = openInPlace();
    if (opening.result == Opening::Damaged) {
        closeConnection();
        if (!putDamagedFileAside()) {
            fail(QStringLiteral("Файл истории ответов «%1» повреждён (%2), и его не удалось "
                                "переименовать.\n%3")
                     .arg(nativeName(m_filePath), opening.reason, ContinueWithoutHistory));
            return false;
        }
        tell(QStringLiteral("Файл истории ответов «%1» повреждён (%2). Он сохранён "
                            "под именем «%3», история ответов начата заново.")
                 .arg(nativeName(m_filePath), opening.reason, nativeName(m_damagedFileKeptAs)));
        opening = openInPlace();
    }
    switch (opening.result) {
    case Opening::Ready:
        m_available = true;
        return true;
    case Opening::Busy:
        // Another program holds the file. Waiting for it would freeze the
        // window; the opening is tried again at the next write or retry.
        closeConnection();
        m_openDeferred = true;
        if (!m_delayTold) {
            m_delayTold = true;
            tell(QStringLiteral("Файл истории ответов «%1» занят другой программой. Прошлые "
                                "ответы появятся, а новые будут записаны, как только файл "
                                "освободится.")
                     .arg(nativeName(m_filePath)));
        }
        return false;
    case Opening::Newer:
        closeConnection();
        fail(QStringLiteral("Файл истории ответов «%1» записан более новой версией программы.\n%2")
                 .arg(nativeName(m_filePath), ContinueWithoutHistory));
        return false;
    case Opening::Foreign:
        closeConnection();
        fail(QStringLiteral("Файл «%1» — база данных другой программы, а не история ответов; "
                            "он оставлен как есть.\n%2")
                 .arg(nativeName(m_filePath), ContinueWithoutHistory));
        return false;
    case Opening::Damaged:
    case Opening::Unreadable:
        break;
    }
    // Nothing to show of a file that does not exist and cannot be created.
    if (!QFileInfo(m_filePath).isFile() || QFileInfo(m_filePath).size() == 0) {
        closeConnection();
        fail(QStringLiteral("Не удалось открыть файл истории ответов «%1»: %2.\n%3")
                 .arg(nativeName(m_filePath), opening.reason, ContinueWithoutHistory));
        return false;
    }
    return openReadOnly(opening.reason);
}

bool AnswerHistory::retryOpen()
{
    if (!m_openDeferred)
        return m_available;
    closeConnection();
    return open();
}

bool AnswerHistory::isReadBlocked() const
{
    if (m_openDeferred)
        return true;
    if (!m_available)
        return false;
    QSqlQuery probe(database());
    return !probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) &&
           HistoryFile::classify(probe.lastError()) == HistoryFile::Failure::Busy;
}

void AnswerHistory::setMaximumPageCount(qint64 pages)
{
    if (!m_available)
        return;
    QSqlQuery query(database());
    query.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
}
