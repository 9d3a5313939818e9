#include "pairwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <memory>

namespace PairWriter {

namespace {

// A free name beside `path` for what is there now, while the new file
// moves in.
QString asideName(const QString &path)
{
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1.old%2").arg(path).arg(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

std::unique_ptr<QTemporaryFile> writeTemporary(const QString &finalPath, const QByteArray &bytes,
                                               QString *error)
{
    auto file = std::make_unique<QTemporaryFile>(finalPath + QStringLiteral(".XXXXXX.part"));
    if (file->open() && file->write(bytes) == bytes.size() && file->flush()) {
        file->close();
        if (file->error() == QFileDevice::NoError)
            return file;
    }
    *error = QStringLiteral("%1: %2").arg(finalPath, file->errorString());
    return nullptr; // removes the partial file
}

} // namespace

bool write(const QString &databasePath, const QByteArray &database, const QString &topicsPath,
           const QByteArray &topicsJson, QString *error)
{
    const std::unique_ptr<QTemporaryFile> newDatabase =
        writeTemporary(databasePath, database, error);
    if (!newDatabase)
        return false;
    std::unique_ptr<QTemporaryFile> newTopics;
    if (!topicsJson.isEmpty()) {
        newTopics = writeTemporary(topicsPath, topicsJson, error);
        if (!newTopics)
            return false;
    }

    // What is in place now goes aside, to come back if anything fails.
    struct Aside
    {
        QString path;
        QString aside;
    };
    QList<Aside> asides;
    const auto restore = [&] {
        for (const Aside &moved : std::as_const(asides)) {
            QFile::remove(moved.path);
            QFile::rename(moved.aside, moved.path);
        }
    };
    for (const QString &path : {databasePath, topicsPath}) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            continue;
        const QString aside = asideName(path);
        QFile current(path);
        if (!current.rename(aside)) {
            *error = QStringLiteral("%1: %2").arg(path, current.errorString());
            restore();
            return false;
        }
        asides.append(Aside{path, aside});
    }
    if (!newDatabase->rename(databasePath)) {
        *error = QStringLiteral("%1: %2").arg(databasePath, newDatabase->errorString());
        restore();
        return false;
    }
    newDatabase->setAutoRemove(false);
    if (newTopics) {
        if (!newTopics->rename(topicsPath)) {
            *error = QStringLiteral("%1: %2").arg(topicsPath, newTopics->errorString());
            QFile::remove(databasePath);
            restore();
            return false;
        }
        newTopics->setAutoRemove(false);
    }
    for (const Aside &moved : std::as_const(asides))
        QFile::remove(moved.aside);
    return true;
}

} // namespace PairWriter
