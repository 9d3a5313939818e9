#pragma once

#include <QList>
#include <QString>

#include <optional>

// The learners who have signed in on this PC, each with a folder of their
// own under "classroom" beside "stat.dat": the folder is named by the
// learner's id (a UUID, the same on the server and on every PC) and holds
// "learner.json" (id and name) and the learner's own "history.sqlite" and
// "memory-weights.json". "stat.dat" stays the PC's, as always.
//
// One history file per learner rather than a learner column: every reader
// of the history (learner window, mistakes, review, readiness, marathon,
// exam results, the memory weights' fit) already works on one file and needs
// no change to be per learner, the robustness of the file (damage, locks,
// the pending writes) stays per learner, and the PC's own "history.sqlite"
// is left exactly as it is when the classroom is off.
struct ClassroomLearner
{
    QString id; // UUID without braces
    QString name;
    friend bool operator==(const ClassroomLearner &, const ClassroomLearner &) = default;
};

namespace ClassroomLearners {
// `statFolder`/classroom.
QString rootIn(const QString &statFolder);
// The learner's folder under `root`.
QString folderOf(const QString &root, const QString &learnerId);
// The learner's history file.
QString historyPathOf(const QString &root, const QString &learnerId);
// The learners with a folder under `root`, by name; folders that do not hold
// a readable "learner.json" whose id is their name are passed over.
QList<ClassroomLearner> known(const QString &root);
// Creates (or renames) the learner's folder and its "learner.json"; false
// when the folder cannot be written.
bool remember(const QString &root, const ClassroomLearner &learner);
// A name as the classroom keeps it: white space evened out, at most 100
// characters; empty when nothing is left.
QString normalizedName(const QString &name);
// A new learner's id.
QString newId();
} // namespace ClassroomLearners
