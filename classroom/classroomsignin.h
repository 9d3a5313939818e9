#pragma once

#include "classroomlearners.h"
#include "serverconnection.h"

#include <QList>
#include <QString>

// Who is learning at a shared PC: the class list to choose from, and the
// sign-in that brings the learner's history from the server. Both work
// without the server too: the learners who signed in here before are
// always offered, and a learner signed in offline goes on with what this PC
// holds (the rest arrives at the next sign-in).
namespace ClassroomSignIn {

struct ClassList
{
    QList<ClassroomLearner> learners; // the server's and this PC's, by name, each once
    QString error;                    // why the server's list is missing; empty when it is there
};

// The class list from the server joined with the learners known at `root`.
ClassList fetchClassList(const ServerAddress &address, const QString &root);

// The learner a typed name means: one of `learners` with that name (case and
// white space aside), or a new learner with a new id. Empty id for a name
// that is empty once evened out.
ClassroomLearner learnerNamed(const QString &typed, const QList<ClassroomLearner> &learners);

struct Result
{
    bool ok = false;     // the learner's folder is ready (with or without the server)
    QString historyPath; // the learner's "history.sqlite"
    int pulledAnswers = 0;
    QString note; // what to tell the learner: the server was not reached, …
};

// Remembers the learner at `root` and pulls their history from the server
// into their local file.
Result signIn(const ServerAddress &address, const QString &root, const ClassroomLearner &learner);
} // namespace ClassroomSignIn
