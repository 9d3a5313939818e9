#pragma once

#include <QSqlDatabase>
#include <QString>

// The classroom's tables on the school's PostgreSQL server, in the schema
// "zeltrak", kept like the local history's: a list of forward migration
// steps, the number applied kept in zeltrak.schema_version, each step in one
// transaction with its version bump. Steps are never edited once released.
//
// Version 1: learners (id, name); attempts, their ends and answers, each row
//            under the UUID it got on the PC that recorded it, so a row sent
//            twice is stored once; the functions through which a learner PC
//            reads (class_list, learner_attempts, learner_answers) and
//            stores a batch (store_batch).
// Version 2: marathons: every state of a learner's marathon that a PC
//            saved, under its UUID, with the time it was saved on that PC;
//            store_marathons keeps them, learner_marathons gives a learner's
//            newest per question database at sign-in.
// Version 3: resets: every reset of a database's results a learner made on
//            a PC, under its UUID, with its time on that PC; store_resets
//            keeps them, learner_resets gives a learner's latest per question
//            database, and sign-in leaves out what was recorded before it.
//
// Who may do what is set by grantRoles, for the role names the school chose:
// the learner PCs' role may insert rows and read nothing of the tables (row
// level security allows it INSERT only, no UPDATE, DELETE or SELECT). Its
// batches go through store_batch, a SECURITY DEFINER function that only
// inserts, because PostgreSQL lets INSERT … ON CONFLICT DO NOTHING (what makes
// a batch sent twice harmless) run only for a role that may read the table.
// It reads the class list and one learner's own rows at sign-in through
// SECURITY DEFINER functions too, one learner at a time, by the learner's id. The PCs share one
// role (the school's PC is the boundary), so the server cannot tell learners apart; the functions
// keep a PC from scanning the class's answers and never let it change or delete a row. The
// instructor's role reads everything and changes nothing.
namespace ServerSchema {
inline constexpr int CurrentVersion = 3;

// The version on the server: 0 when the schema is not there yet, -1 when it
// cannot be read (no connection, no right to read it).
int version(QSqlDatabase &db);

// What a learner PC tells when the server's schema is at `version` rather
// than CurrentVersion (older, newer, or not there).
QString versionMismatchMessage(int version);

// Creates the schema or brings it to CurrentVersion. Empty on success,
// otherwise the server's reason; a newer schema is left alone and reported.
QString migrate(QSqlDatabase &db);

// Whether `name` can be a role's name here: letters, digits and "_", not
// starting with a digit, at most 63 characters (kept plain so that no
// quoting is ever needed).
bool isRoleName(const QString &name);

// Gives the learner PCs' role and the instructor's role their rights and
// row-level security policies; run again after a migration. Empty on success.
QString grantRoles(QSqlDatabase &db, const QString &learnerPcRole, const QString &instructorRole);
} // namespace ServerSchema
