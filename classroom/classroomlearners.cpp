#include "classroomlearners.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>

#include <algorithm>

namespace {
const QString LearnerFile = QStringLiteral("learner.json");
constexpr qint64 LargestLearnerFile = 4096;
} // namespace

QString ClassroomLearners::rootIn(const QString &statFolder)
{
    return QDir(statFolder).filePath(QStringLiteral("classroom"));
}

QString ClassroomLearners::folderOf(const QString &root, const QString &learnerId)
{
    return QDir(root).filePath(learnerId);
}

QString ClassroomLearners::historyPathOf(const QString &root, const QString &learnerId)
{
    return QDir(folderOf(root, learnerId)).filePath(QStringLiteral("history.sqlite"));
}

QList<ClassroomLearner> ClassroomLearners::known(const QString &root)
{
    QList<ClassroomLearner> learners;
    const QStringList folders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders) {
        if (QUuid::fromString(folder).isNull())
            continue;
        QFile file(QDir(folderOf(root, folder)).filePath(LearnerFile));
        if (file.size() > LargestLearnerFile || !file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        const QString id = json.value(QStringLiteral("id")).toString();
        const QString name = normalizedName(json.value(QStringLiteral("name")).toString());
        if (id != folder || name.isEmpty())
            continue;
        learners.append({id, name});
    }
    std::sort(learners.begin(), learners.end(),
              [](const auto &a, const auto &b) { return a.name.localeAwareCompare(b.name) < 0; });
    return learners;
}

bool ClassroomLearners::remember(const QString &root, const ClassroomLearner &learner)
{
    if (QUuid::fromString(learner.id).isNull() || normalizedName(learner.name).isEmpty())
        return false;
    const QString folder = folderOf(root, learner.id);
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(QDir(folder).filePath(LearnerFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("id"), learner.id},
                                         {QStringLiteral("name"), normalizedName(learner.name)}})
                   .toJson());
    return file.commit();
}

QString ClassroomLearners::normalizedName(const QString &name)
{
    return name.simplified().left(100);
}

QString ClassroomLearners::newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
