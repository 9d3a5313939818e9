#include "historyfile.h"

#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// SQLite's primary result codes (sqlite3.h; part of its stable interface).
enum : int
{
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteNotADatabase = 26,
};

const QByteArray SqliteMagic("SQLite format 3\0", 16);

} // namespace

HistoryFile::Failure HistoryFile::classify(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return Failure::Damage;
    case SqliteBusy:
    case SqliteLocked:
        return Failure::Busy;
    case SqliteFull:
        return Failure::NoSpace;
    default:
        // Anything else is not evidence of damage: a file is set aside only
        // for what is in it.
        return Failure::Access;
    }
}

HistoryFile::Failure HistoryFile::classify(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? classify(code) : Failure::Access;
}

QString HistoryFile::oddCompanion(const QString &filePath)
{
    for (const char *suffix : {"-wal", "-shm"}) {
        if (QString reason = RegularFile::refusalReason(filePath + QLatin1String(suffix));
            !reason.isEmpty())
            return reason;
    }
    return {};
}

bool HistoryFile::looksLikeDatabase(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return file.read(SqliteMagic.size()) == SqliteMagic;
}

QString HistoryFile::copyForReading(const QString &filePath, const QString &folder, qint64 maxBytes,
                                    QString *error)
{
    const QString copy = QDir(folder).filePath(QFileInfo(filePath).fileName());
    const QString wal = filePath + QStringLiteral("-wal");
    const bool withWal = QFileInfo(wal).isFile() && RegularFile::refusalReason(wal).isEmpty();
    const qint64 size = QFileInfo(filePath).size() + (withWal ? QFileInfo(wal).size() : 0);
    if (size > maxBytes) {
        *error = QStringLiteral("файл слишком велик для чтения копии");
        return {};
    }
    QFile source(filePath);
    if (!source.copy(copy)) {
        *error = source.errorString();
        return {};
    }
    // A copy of a read-only file is read-only too; the copy is ours to
    // bring up to the current schema.
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    // The WAL holds the latest answers until they are checkpointed; SQLite
    // reads it beside the copy and builds its own index of it there.
    if (withWal) {
        QFile walFile(wal);
        if (!walFile.copy(copy + QStringLiteral("-wal"))) {
            *error = walFile.errorString();
            return {};
        }
    }
    return copy;
}
