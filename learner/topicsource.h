#pragma once

#include "topicsfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The topics of a question database as the learner's window needs them.
struct LoadedTopics
{
    QString path;                       // the topics file looked for
    std::optional<QList<Topic>> topics; // empty: no topics to show
    // Why a file that is there gives no topics, in words for the learner;
    // empty when there is simply no file.
    QString problem;
    QStringList details; // the reader's own messages about the file, for a log
};

// Reads the topics file beside the database at `databasePath`
// (TopicsFile::pathFor). A database without one has no topics and no
// problem; a file that cannot be read, is damaged or lists no topic gives no
// topics and says why.
LoadedTopics loadTopicsFor(const QString &databasePath);
