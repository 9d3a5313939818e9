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

// A question number as the file gives it, or 0 when it is not one. The
// double is range-checked before it is converted: converting one beyond
// int's range (1e300) is undefined.
int questionNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (!(number >= 1 && number <= QuestionBankLayout::QuestionCount))
        return 0;
    const int a = int(number);
    return a == number ? a : 0;
}

void setExcess(Excess *excess, Excess::Limit limit, qint64 found, qint64 allowed, int topic = 0)
{
    if (excess)
        *excess = Excess{limit, found, allowed, topic};
}

} // namespace

QString pathFor(const QString &databasePath)
{
    QString path = databasePath;
    if (path.endsWith(QStringLiteral(".dbv"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".topics.json");
}

std::optional<QList<Topic>> parse(const QByteArray &json, QStringList *problems, Excess *excess)
{
    setExcess(excess, Excess::Limit::None, 0, 0);
    QStringList found;
    qsizetype unlisted = 0; // problems beyond MaxProblems
    const auto report = [&found, &unlisted](const QString &problem) {
        if (found.size() < MaxProblems)
            found << problem;
        else
            ++unlisted;
    };
    const auto finish = [&]() -> std::optional<QList<Topic>> {
        if (unlisted > 0)
            found << QStringLiteral("and %1 more problems").arg(unlisted);
        if (problems)
            *problems = found;
        return std::nullopt;
    };
    if (json.size() > MaxFileSize) {
        setExcess(excess, Excess::Limit::FileSize, json.size(), MaxFileSize);
        report(QStringLiteral("%1 bytes, more than a topics file may have (%2)")
                   .arg(json.size())
                   .arg(MaxFileSize));
        return finish();
    }
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
    if (!found.isEmpty())
        return finish();
    const QJsonArray array = document.object().value(u"topics").toArray();
    if (array.size() > MaxTopics) {
        setExcess(excess, Excess::Limit::Topics, array.size(), MaxTopics);
        report(QStringLiteral("%1 topics, more than a topics file may have (%2)")
                   .arg(array.size())
                   .arg(MaxTopics));
        return finish();
    }
    QSet<QString> names;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString where = QStringLiteral("topic %1").arg(i + 1);
        const QJsonObject object = array.at(i).toObject();
        Topic topic;
        topic.name = object.value(u"name").toString().trimmed();
        if (topic.name.size() > MaxNameLength) {
            setExcess(excess, Excess::Limit::NameLength, topic.name.size(), MaxNameLength,
                      int(i + 1));
            report(where + QStringLiteral(": a name of %1 characters, more than a topic's "
                                          "name may have (%2)")
                               .arg(topic.name.size())
                               .arg(MaxNameLength));
            return finish();
        }
        if (topic.name.isEmpty()) {
            report(where + QStringLiteral(": no name"));
        } else if (names.contains(topic.name)) {
            report(where + QStringLiteral(": \"%1\" appears twice").arg(topic.name));
        }
        names.insert(topic.name);
        const QJsonArray questions = object.value(u"questions").toArray();
        if (questions.isEmpty())
            report(where + QStringLiteral(" (\"%1\"): no questions").arg(topic.name));
        QSet<int> seen;
        for (const QJsonValue &value : questions) {
            const int a = questionNumber(value);
            if (a == 0) {
                report(where + QStringLiteral(" (\"%1\"): %2 is not a question number 1..800")
                                   .arg(topic.name, value.toVariant().toString()));
            } else if (seen.contains(a)) {
                report(
                    where +
                    QStringLiteral(" (\"%1\"): question %2 listed twice").arg(topic.name).arg(a));
            } else {
                seen.insert(a);
                topic.questions << a;
            }
        }
        topics << topic;
    }
    if (!found.isEmpty())
        return finish();
    if (problems)
        problems->clear();
    return topics;
}

std::optional<QList<Topic>> read(const QString &path, QStringList *problems, Excess *excess)
{
    setExcess(excess, Excess::Limit::None, 0, 0);
    const QFileInfo info(path);
    // A pipe or a device would block or never end: only regular files.
    if (!info.isFile()) {
        if (problems)
            *problems = {QStringLiteral("%1 is not a regular file").arg(path)};
        return std::nullopt;
    }
    if (info.size() > MaxFileSize) {
        setExcess(excess, Excess::Limit::FileSize, info.size(), MaxFileSize);
        if (problems)
            *problems = {QStringLiteral("%1 is too large for a topics file (%2 bytes, at most %3)")
                             .arg(path)
                             .arg(info.size())
                             .arg(MaxFileSize)};
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problems)
            *problems = {QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
        return std::nullopt;
    }
    // At most one byte more than allowed: a file that grew since is still
    // caught by parse() without reading all of it.
    return parse(file.read(MaxFileSize + 1), problems, excess);
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
