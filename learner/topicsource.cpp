#include "topicsource.h"

#include <QFileInfo>

LoadedTopics loadTopicsFor(const QString &databasePath)
{
    LoadedTopics loaded;
    loaded.path = TopicsFile::pathFor(databasePath);
    const QFileInfo info(loaded.path);
    if (!info.exists())
        return loaded;

    const QString name = info.fileName();
    loaded.topics = TopicsFile::read(loaded.path, &loaded.details);
    if (!loaded.topics) {
        // A folder, a device or a file without read permission is not
        // damaged, and the learner fixes it differently.
        loaded.problem =
            info.isFile() && info.isReadable()
                ? QStringLiteral("Файл тем «%1» повреждён, поэтому темы не показаны.").arg(name)
                : QStringLiteral("Файл тем «%1» не удалось прочитать.").arg(name);
    } else if (loaded.topics->isEmpty()) {
        loaded.topics.reset();
        loaded.problem = QStringLiteral("В файле тем «%1» нет ни одной темы.").arg(name);
    }
    return loaded;
}
