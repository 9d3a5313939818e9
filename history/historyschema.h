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
// Version 4: content keys: each database's question keys (with the size and
//            time of the file they were computed from, and how many
//            questions it took over from other databases, until the learner
//            has been told); answers carry the key of their question, filled
//            in for older answers when their database is next opened.
// Version 5: answers marked as corrections (not the first answer to their
//            question in their attempt); existing ones are marked.
// Version 6: every answer and attempt carries a UUID of its own, given when
//            it is written (existing rows get one in the step), and whether
//            it has reached the classroom's server: answers 0 or 1; attempts
//            0 nothing, 1 the start, 2 the start and the end. Rows stay
//            unsent where the classroom is off; nothing reads the flags then.
// Version 7: the marathon's state carries a UUID, new each time it is saved,
//            and whether that state has reached the classroom's server (0 or
//            1), so a learner's marathon follows them to another PC. Existing
//            states get a UUID in the step and count as unsent.
// Version 8: the learner's resets of a database's results ("resets": when,
//            under a UUID, and whether the classroom's server has it). What
//            a database shows begins at its last reset, so answers recorded
//            earlier elsewhere (another PC, another release of the database)
//            never come back.
namespace HistorySchema {
inline constexpr int CurrentVersion = 8;

// The version stored in the file, or -1 when it cannot be read.
int version(QSqlDatabase &db);

// Brings the file from its version up to `target` (CurrentVersion unless a
// test makes a file of an earlier version). Returns an empty string on
// success, otherwise the driver's reason (the file stays at the last whole
// version). A file newer than CurrentVersion is left alone and reported.
// Connections may migrate one file at once (the program and the classroom's
// sync open a new learner's file together): each step takes the write lock
// and reads the version again under it, so a step another connection has
// made is not made twice. `error`, when given, gets the driver's error of a
// failed step (a lock held too long is Busy, not damage).
QString migrate(QSqlDatabase &db, int target = CurrentVersion, QSqlError *error = nullptr);
} // namespace HistorySchema
