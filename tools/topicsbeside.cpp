#include "topicsbeside.h"

#include <QFile>
#include <QFileInfo>

namespace TopicsBeside {

std::optional<QList<Topic>> load(const QString &databasePath, QStringList *problems)
{
    const QString path = TopicsFile::pathFor(databasePath);
    if (!QFileInfo::exists(path))
        return QList<Topic>();
    return TopicsFile::read(path, problems);
}

bool store(const QString &databasePath, const QList<Topic> &topics, QString *error)
{
    const QString path = TopicsFile::pathFor(databasePath);
    if (!topics.isEmpty())
        return TopicsFile::write(path, topics, error);
    QFile stale(path);
    if (stale.exists() && !stale.remove()) {
        if (error)
            *error = stale.errorString();
        return false;
    }
    return true;
}

} // namespace TopicsBeside
