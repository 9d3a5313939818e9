#include "statisticsfile.h"

#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>

namespace {

// The tail after the record is copied in pieces of this size, so that a
// file of any length is saved with a fixed amount of memory.
constexpr qint64 ChunkSize = 1024 * 1024;
// Zeros are looked for in blocks of the usual file-system block size.
constexpr qsizetype HoleBlockSize = 4096;

QString resolve(const QString &path)
{
    return path.isEmpty() ? StatisticsFile::currentPath() : path;
}

// Why the file `target` could not be replaced, in words for the learner.
QString saveFailureReason(const QString &target, const QFileDevice &file, qint64 needed)
{
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    const QStorageInfo storage(folder);
    if (file.error() == QFileDevice::ResourceError ||
        (storage.isValid() && storage.bytesAvailable() < needed))
        return QStringLiteral("на диске не осталось свободного места");
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("диск доступен только для чтения");
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("папка \"%1\" доступна только для чтения")
            .arg(QDir::toNativeSeparators(folder));
    if (info.exists() && !info.isWritable())
        return QStringLiteral("файл доступен только для чтения");
    return file.errorString();
}

StatisticsError saveFailure(const QString &target, const QString &reason)
{
    return StatisticsError(QStringLiteral("Не удалось сохранить результаты в файл \"%1\": %2. "
                                          "Прежнее содержимое файла не изменено, "
                                          "можно продолжать занятия.")
                               .arg(QDir::toNativeSeparators(target), reason),
                           StatisticsError::NotSaved);
}

bool isAllZero(QByteArrayView bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c == 0; });
}

} // namespace

QString StatisticsFile::currentPath()
{
    return QDir::current().absoluteFilePath(QString::fromLatin1(FileName));
}

bool StatisticsFile::writeRecordAndTail(QIODevice &out, const QByteArray &record, QIODevice *tail)
{
    if (out.write(record) != record.size())
        return false;
    if (!tail)
        return true;
    // A block of zeros is skipped with a seek instead of written, so that a
    // sparse tail stays sparse where the device allows it (files do).
    const bool holes = !out.isSequential();
    qint64 end = out.pos();
    while (!tail->atEnd()) {
        // A device that knows its size is read no further than its end:
        // QIODevice::read(n) reserves n bytes before reading, and every save
        // of a short tail paid for a buffer of a megabyte.
        const qint64 left = tail->isSequential() ? ChunkSize : tail->size() - tail->pos();
        const QByteArray chunk = tail->read(qBound<qint64>(1, left, ChunkSize));
        if (chunk.isEmpty())
            return false; // a read error before the end
        for (qsizetype at = 0; at < chunk.size(); at += HoleBlockSize) {
            const QByteArrayView block =
                QByteArrayView(chunk).sliced(at, qMin(HoleBlockSize, chunk.size() - at));
            end += block.size();
            if (holes && isAllZero(block)) {
                if (!out.seek(end))
                    return false;
            } else if (out.write(block.data(), block.size()) != block.size()) {
                return false;
            }
        }
    }
    // Zeros skipped at the very end still belong to the file's length.
    if (auto *file = qobject_cast<QFileDevice *>(&out); file && file->size() < end)
        return file->resize(end);
    return true;
}

namespace {

// Replaces `target` by `record` and the bytes after the old record; returns
// why it failed, in words for the learner, or an empty string.
QString replaceStatistics(const StatRecord &record, const QString &target)
{
    if (const QString refusal = RegularFile::refusalReason(target); !refusal.isEmpty())
        return refusal;

    QFile old(target);
    const bool hasTail = old.size() > StatRecord::Size;
    if (hasTail && (!old.open(QIODevice::ReadOnly) || !old.seek(StatRecord::Size)))
        return old.errorString();
    const qint64 needed = hasTail ? old.size() : StatRecord::Size;

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return saveFailureReason(target, file, needed);
    // Without these checks QSaveFile may rename a short or empty temporary
    // file over the good one: a failed write is only remembered, and a full
    // disk may show itself only when the buffer is flushed.
    if (!StatisticsFile::writeRecordAndTail(file, record.toBytes(), hasTail ? &old : nullptr) ||
        !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = saveFailureReason(target, file, needed);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return saveFailureReason(target, file, needed);
    return {};
}

} // namespace

void saveStatistics(const StatRecord &record, const QString &path)
{
    const QString target = resolve(path);
    if (const QString reason = replaceStatistics(record, target); !reason.isEmpty())
        throw saveFailure(target, reason);
}

namespace {

// The fixed message, with what really happened under it: a full disk or a
// read-only folder is no damage, and the learner can act on it.
StatisticsError unusable(const QString &reason)
{
    return StatisticsError(QString::fromUtf8(StatisticsFile::DamagedMessage) +
                           QStringLiteral("\n\n") + reason);
}

} // namespace

StatisticsAtStart readStatisticsAtStart(qint32 launchCount, const QString &path)
{
    StatisticsAtStart read;
    read.path = resolve(path);
    const QString shownPath = QDir::toNativeSeparators(read.path);
    // Checked before anything opens it: opening a named pipe would wait for
    // a writer forever.
    if (const QString refusal = RegularFile::refusalReason(read.path); !refusal.isEmpty())
        throw unusable(QStringLiteral("Файл результатов: %1.").arg(refusal));

    QFile file(read.path);
    read.existed = file.exists();
    if (read.existed) {
        if (!file.open(QIODevice::ReadOnly))
            throw unusable(QStringLiteral("Не удалось прочитать файл \"%1\": %2.")
                               .arg(shownPath, file.errorString()));
        const QByteArray bytes = file.read(StatRecord::Size);
        if (bytes.size() != StatRecord::Size)
            throw unusable(QStringLiteral("Файл \"%1\" короче одной записи результатов: %2 "
                                          "байт вместо %3.")
                               .arg(shownPath)
                               .arg(bytes.size())
                               .arg(StatRecord::Size));
        read.record = StatRecord::fromBytes(bytes);
    }
    read.record.setLaunchCount(launchCount);
    return read;
}

std::optional<StatisticsError> writeStatisticsAtStart(const StatisticsAtStart &read)
{
    const QString reason = replaceStatistics(read.record, read.path);
    if (reason.isEmpty())
        return std::nullopt;
    if (!read.existed)
        return unusable(QStringLiteral("Не удалось создать файл \"%1\": %2.")
                            .arg(QDir::toNativeSeparators(read.path), reason));
    // The progress was read; only the launch count did not reach the file.
    // The learner keeps working with it.
    return saveFailure(read.path, reason);
}

void loadOrCreateStatistics(StatRecord &record, qint32 launchCount, const QString &path)
{
    const StatisticsAtStart read = readStatisticsAtStart(launchCount, path);
    const std::optional<StatisticsError> failure = writeStatisticsAtStart(read);
    if (failure && failure->kind() == StatisticsError::Unusable)
        throw *failure;
    record = read.record;
    if (failure)
        throw *failure;
}

void resetStatistics(StatRecord &record, const QString &path)
{
    StatRecord cleared = record;
    cleared.reset();
    saveStatistics(cleared, path);
    record = cleared;
}
