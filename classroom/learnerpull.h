#pragma once

#include <QSqlDatabase>
#include <QString>

// Brings a learner's history from the classroom's server into a local
// history file at sign-in, so that a learner at another PC goes on with
// their mistakes, review, readiness and marathon. Rows already there
// (recorded here, or pulled before) are recognised by their UUID and left
// alone; pulled rows count as sent. The server's newest marathon state of a
// question database (by its fingerprint) replaces the local one only when it
// was saved later: a state this PC saved since, and has perhaps not sent
// yet, is never overwritten by an older one. The learner's latest reset of a
// database's results (here or at another PC) comes too: nothing recorded
// before it is brought in, and what this file still holds from before it
// goes, so reset results never come back.
namespace LearnerPull {

struct Result
{
    bool ok = false;
    int attempts = 0; // rows new to the local file
    int answers = 0;
    int marathons = 0; // local marathon states replaced by newer ones
    QString error;     // the server's or the file's reason when !ok
};

// `historyPath`: the learner's "history.sqlite", created (at the current
// schema) when it does not exist yet.
Result pull(QSqlDatabase &server, const QString &learnerId, const QString &historyPath);
} // namespace LearnerPull
