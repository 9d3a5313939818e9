#pragma once

#include "topicsfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The topics file that travels with a database (see TopicsFile), for the
// commands that make, check or take apart databases.
namespace TopicsBeside {

// The topics of the database at `databasePath`: an empty list when it has no
// topics file; nullopt, with the file's faults in `problems`, when the file
// is there but broken.
std::optional<QList<Topic>> load(const QString &databasePath, QStringList *problems);

// Writes `topics` beside the database at `databasePath`; with no topics,
// removes the file an earlier build left there, as it would describe other
// questions. False with `error` set when that fails.
bool store(const QString &databasePath, const QList<Topic> &topics, QString *error);

} // namespace TopicsBeside
