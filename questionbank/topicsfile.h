#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The topics of a question database: which questions deal with which
// subject (road signs, markings, first aid …). They live beside the
// database, in the same path with ".dbv" replaced by ".topics.json":
//
//   {"topics": [{"name": "Дорожные знаки", "questions": [1, 17, …]}, …]}
//
// UTF-8 JSON; question numbers are absolute (1..800); a question may belong
// to several topics; topics keep the order in which they first appear. The
// file is optional, and a database works the same without it.
struct Topic
{
    QString name;
    QList<int> questions;

    friend bool operator==(const Topic &, const Topic &) = default;
};

namespace TopicsFile {

// What a topics file may hold. A real one has a few dozen topics with names
// of a line (21 topics, 5 KB for the official tickets); far more is not a
// topics file, and reading it would keep the learner's window busy for
// seconds.
inline constexpr qint64 MaxFileSize = 1024 * 1024;
inline constexpr int MaxTopics = 200;
inline constexpr int MaxNameLength = 200; // characters
// Problems listed before the rest are only counted.
inline constexpr int MaxProblems = 50;

// Which limit a file exceeds, and by how much.
struct Excess
{
    enum class Limit
    {
        None,
        FileSize,
        Topics,
        NameLength
    };
    Limit limit = Limit::None;
    qint64 found = 0;   // bytes, topics or characters
    qint64 allowed = 0; // the limit
    int topic = 0;      // for NameLength: the topic (1-based)
};

// "dir/dataAB.dbv" -> "dir/dataAB.topics.json" (any other name gets the
// suffix appended).
QString pathFor(const QString &databasePath);

// Parses and validates the file's contents: well-formed JSON of the shape
// above within the limits, every topic named and not empty, names unique,
// numbers 1..800 and not repeated within a topic. On failure returns nullopt
// and fills `problems` with one message per fault (at most MaxProblems and a
// count of the rest); a limit exceeded stops the reading and is said in
// `excess` too.
std::optional<QList<Topic>> parse(const QByteArray &json, QStringList *problems = nullptr,
                                  Excess *excess = nullptr);

// Reads the file at `path`; nullopt with the reason in `problems` when it
// cannot be read or is not valid. A file over MaxFileSize is not read.
std::optional<QList<Topic>> read(const QString &path, QStringList *problems = nullptr,
                                 Excess *excess = nullptr);

QByteArray toJson(const QList<Topic> &topics);

// Writes atomically; false with `error` set when it could not.
bool write(const QString &path, const QList<Topic> &topics, QString *error = nullptr);

// Collects topics from per-question topic names, in the order of first
// appearance: `namesByQuestion[a - 1]` holds the topic names of question a.
QList<Topic> fromQuestionTopics(const QList<QStringList> &namesByQuestion);

// The topic names of question `absoluteNumber`, in the order of the file.
QStringList topicsOf(const QList<Topic> &topics, int absoluteNumber);

} // namespace TopicsFile
