#pragma once

#include <QString>

// Where the school's classroom server is and who this PC is to it: the group
// "Classroom" of the settings file, beside the program's own values. Off by
// default; a PC without the group behaves exactly as one that never knew of
// the classroom.
//
// No password is kept here: the PostgreSQL client library reads it from the
// user's password file (~/.pgpass; on Windows %APPDATA%\postgresql\pgpass.conf),
// which it refuses when others can read it.
struct ClassroomSettings
{
    static constexpr int DefaultPort = 5432;

    bool learnerPc = false; // the classroom is on: learners sign in, answers go to the server
    QString host;
    int port = DefaultPort;
    QString database;
    QString role;           // the learner PCs' role (inserts only)
    QString instructorRole; // the instructor's role (reads everything)

    // The classroom needs at least a host, a database and a role.
    bool isComplete() const { return !host.isEmpty() && !database.isEmpty() && !role.isEmpty(); }
    friend bool operator==(const ClassroomSettings &, const ClassroomSettings &) = default;
};
