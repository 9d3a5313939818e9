#include "statisticsfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString resolve(const QString &path)
{
    return path.isEmpty() ? StatisticsFile::currentPath() : path;
}

// The bytes after the first record of an existing file (empty if none).
QByteArray readTail(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.size() <= StatRecord::Size)
        return {};
    if (!file.open(QIODevice::ReadOnly) || !file.seek(StatRecord::Size))
        throw StatisticsError(
            QStringLiteral("Не удалось прочитать файл \"%1\": %2").arg(path, file.errorString()));
    return file.readAll();
}

} // namespace

QString StatisticsFile::currentPath()
{
    return QDir::current().absoluteFilePath(QString::fromLatin1(FileName));
}

void saveStatistics(const StatRecord &record, const QString &path)
{
    const QString target = resolve(path);
    const QByteArray tail = readTail(target);

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        throw StatisticsError(
            QStringLiteral("Не удалось записать файл \"%1\": %2").arg(target, file.errorString()));
    }
    file.write(record.toBytes());
    file.write(tail);
    if (!file.commit()) {
        throw StatisticsError(
            QStringLiteral("Не удалось записать файл \"%1\": %2").arg(target, file.errorString()));
    }
}

void loadOrCreateStatistics(StatRecord &record, qint32 launchCount, const QString &path)
{
    const QString target = resolve(path);
    const auto damaged = [] {
        return StatisticsError(QString::fromUtf8(StatisticsFile::DamagedMessage));
    };

    StatRecord loaded;
    QFile file(target);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            throw damaged();
        const QByteArray bytes = file.read(StatRecord::Size);
        if (bytes.size() != StatRecord::Size)
            throw damaged();
        loaded = StatRecord::fromBytes(bytes);
        file.close();
    }
    loaded.setLaunchCount(launchCount);
    try {
        saveStatistics(loaded, target);
    } catch (const StatisticsError &) {
        throw damaged();
    }
    record = loaded;
}

void resetStatistics(StatRecord &record, const QString &path)
{
    StatRecord cleared = record;
    cleared.reset();
    saveStatistics(cleared, path);
    record = cleared;
}
