#pragma once

#include <QSqlError>
#include <QString>

// What the history store needs to know about its file before and while
// SQLite works on it: what a failure says about the file, companions that
// must not be opened, and a private copy to read when the file cannot be
// opened where it lies.
namespace HistoryFile {

// What a failed SQLite call says. Only Damage is about the file's content;
// the rest are about reaching it.
enum class Failure
{
    Damage,  // not a database, or its pages are broken
    Busy,    // another connection holds a lock: try again later
    NoSpace, // the disk (or the file's size cap) is full: try again later
    Access,  // cannot be opened or written here: permissions, read-only
             // medium, an odd companion, an input/output error, ...
};

// SQLite reports extended result codes (the primary code in the low byte,
// the detail above it, e.g. SQLITE_IOERR_SHMOPEN = 10 | 18 << 8); the class
// is decided by the primary code.
Failure classify(int sqliteCode);
Failure classify(const QSqlError &error);

// The first of the file's "-wal" and "-shm" companions that exists and is not
// a regular file (a named pipe, a folder, a device), with the reason in
// Russian; empty when both are regular or absent. SQLite would open such a
// companion and hang on a pipe or fail on the rest.
QString oddCompanion(const QString &filePath);

// Whether the file's first bytes are SQLite's header. False when they could
// be read and are something else; true when they match or could not be read
// (that is for opening to report, not damage).
bool looksLikeDatabase(const QString &filePath);

// Copies the file and its "-wal" (when that is a regular file) into `folder`
// so the copy can be read with SQLite's own companions there. Returns the
// copy's path, or empty with `error` set. Files above `maxBytes` are not
// copied.
QString copyForReading(const QString &filePath, const QString &folder, qint64 maxBytes,
                       QString *error);

} // namespace HistoryFile
