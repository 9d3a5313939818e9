#include "topicsource.h"

#include <QFileInfo>

namespace {

// What a file beyond the limits holds, and how much is allowed.
QString excessMessage(const QString &name, const TopicsFile::Excess &excess)
{
    switch (excess.limit) {
    case TopicsFile::Excess::Limit::FileSize:
        return QStringLiteral("Файл тем «%1» слишком велик (%2 КБ; допускается не больше %3 КБ), "
                              "поэтому темы не показаны.")
            .arg(name)
            .arg((excess.found + 1023) / 1024)
            .arg(excess.allowed / 1024);
    case TopicsFile::Excess::Limit::Topics:
        return QStringLiteral("В файле тем «%1» слишком много тем (%2; допускается не больше %3), "
                              "поэтому темы не показаны.")
            .arg(name)
            .arg(excess.found)
            .arg(excess.allowed);
    case TopicsFile::Excess::Limit::NameLength:
        return QStringLiteral("В файле тем «%1» слишком длинное название темы № %2 (длина %3; "
                              "допускается не больше %4 знаков), поэтому темы не показаны.")
            .arg(name)
            .arg(excess.topic)
            .arg(excess.found)
            .arg(excess.allowed);
    case TopicsFile::Excess::Limit::None:
        break;
    }
    return {};
}

} // namespace

LoadedTopics loadTopicsFor(const QString &databasePath)
{
    LoadedTopics loaded;
    loaded.path = TopicsFile::pathFor(databasePath);
    const QFileInfo info(loaded.path);
    if (!info.exists())
        return loaded;

    const QString name = info.fileName();
    TopicsFile::Excess excess;
    loaded.topics = TopicsFile::read(loaded.path, &loaded.details, &excess);
    if (excess.limit != TopicsFile::Excess::Limit::None) {
        loaded.problem = excessMessage(name, excess);
    } else if (!loaded.topics) {
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
