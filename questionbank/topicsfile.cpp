#include "topicsfile.h"

#include "questionindexentry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace TopicsFile {

namespace {

// A topics file holds at most a few hundred topics over 800 questions; a
// file far larger than that is not one and is not read into memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

} // namespace

QString pathFor(const QString &databasePath)
{
    QString path = databasePath;
    if (path.endsWith(QStringLiteral(".dbv"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".topics.json");
}

std::optional<QList<Topic>> parse(const QByteArray &json, QStringList *problems)
{
    QStringList found;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        found << QStringLiteral("not valid JSON at byte %1: %2")
                     .arg(error.offset)
                     .arg(error.errorString());
    } else if (!document.isObject() || !document.object().value(u"topics").isArray()) {
        found << QStringLiteral("expected an object with a \"topics\" array");
    }

    QList<Topic> topics;
    if (found.isEmpty()) {
        const QJsonArray array = document.object().value(u"topics").toArray();
        QSet<QString> names;
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString where = QStringLiteral("topic %1").arg(i + 1);
            const QJsonObject object = array.at(i).toObject();
            Topic topic;
            topic.name = object.value(u"name").toString().trimmed();
            if (topic.name.isEmpty()) {
                found << where + QStringLiteral(": no name");
            } else if (names.contains(topic.name)) {
                found << where + QStringLiteral(": \"%1\" appears twice").arg(topic.name);
            }
            names.insert(topic.name);
            const QJsonArray questions = object.value(u"questions").toArray();
            if (questions.isEmpty())
                found << where + QStringLiteral(" (\"%1\"): no questions").arg(topic.name);
            QSet<int> seen;
            for (const QJsonValue &value : questions) {
                const double number = value.toDouble(-1);
                const int a = int(number);
                if (!value.isDouble() || a != number || a < 1 ||
                    a > QuestionBankLayout::QuestionCount) {
                    found << where + QStringLiteral(" (\"%1\"): %2 is not a question number 1..800")
                                         .arg(topic.name, value.toVariant().toString());
                } else if (seen.contains(a)) {
                    found << where + QStringLiteral(" (\"%1\"): question %2 listed twice")
                                         .arg(topic.name)
                                         .arg(a);
                } else {
                    seen.insert(a);
                    topic.questions << a;
                }
            }
            topics << topic;
        }
    }
    if (problems)
        *problems = found;
    if (!found.isEmpty())
        return std::nullopt;
    return topics;
}

std::optional<QList<Topic>> read(const QString &path, QStringList *problems)
{
    const QFileInfo info(path);
    // A pipe or a device would block or never end: only regular files.
    if (!info.isFile()) {
        if (problems)
            *problems = {QStringLiteral("%1 is not a regular file").arg(path)};
        return std::nullopt;
    }
    if (info.size() > MaxFileSize) {
        if (problems)
            *problems = {QStringLiteral("%1 is too large for a topics file").arg(path)};
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problems)
            *problems = {QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
        return std::nullopt;
    }
    return parse(file.readAll(), problems);
}

QByteArray toJson(const QList<Topic> &topics)
{
    // One topic a line: readable, and a change shows as one line in a diff.
    QByteArray out = "{\n    \"topics\": [";
    for (qsizetype i = 0; i < topics.size(); ++i) {
        QJsonArray questions;
        for (const int a : topics.at(i).questions)
            questions.append(a);
        const QJsonObject topic{{QStringLiteral("name"), topics.at(i).name},
                                {QStringLiteral("questions"), questions}};
        out += (i == 0 ? "\n        " : ",\n        ") +
               QJsonDocument(topic).toJson(QJsonDocument::Compact);
    }
    out += topics.isEmpty() ? "]\n}\n" : "\n    ]\n}\n";
    return out;
}

bool write(const QString &path, const QList<Topic> &topics, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = toJson(topics);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit()) {
        return true;
    }
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

QList<Topic> fromQuestionTopics(const QList<QStringList> &namesByQuestion)
{
    QList<Topic> topics;
    QHash<QString, qsizetype> indexOf;
    for (qsizetype i = 0; i < namesByQuestion.size(); ++i) {
        for (const QString &raw : namesByQuestion.at(i)) {
            const QString name = raw.trimmed();
            if (name.isEmpty())
                continue;
            auto found = indexOf.find(name);
            if (found == indexOf.end()) {
                found = indexOf.insert(name, topics.size());
                topics.append(Topic{name, {}});
            }
            QList<int> &questions = topics[*found].questions;
            if (!questions.contains(int(i + 1)))
                questions.append(int(i + 1));
        }
    }
    return topics;
}

QStringList topicsOf(const QList<Topic> &topics, int absoluteNumber)
{
    QStringList names;
    for (const Topic &topic : topics) {
        if (topic.questions.contains(absoluteNumber))
            names << topic.name;
    }
    return names;
}

} // namespace TopicsFile
