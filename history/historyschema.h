#pragma once

#include <QSqlDatabase>
#include <QString>

// The history file's schema, kept as a list of forward migration steps. The
// file's `PRAGMA user_version` is the number of steps applied; each step runs
// in its own transaction together with the version bump, so a file is always
// at one whole version.
//
// Version 1 (the first release): answers and attempts, per question database
//            (a row of `databases` holds each fingerprint once).
// Version 2: answers name their attempt; an index by time for the per-day
//            series; the marathon position per database.
// Version 3: the marathon's right and wrong answers since it began.
namespace HistorySchema {
inline constexpr int CurrentVersion = 3;

// The version stored in the file, or -1 when it cannot be read.
int version(QSqlDatabase &db);

// Brings the file from its version up to CurrentVersion. Returns an empty
// string on success, otherwise the driver's reason (the file stays at the last
// whole version). A file newer than CurrentVersion is left alone and reported.
QString migrate(QSqlDatabase &db);
} // namespace HistorySchema
