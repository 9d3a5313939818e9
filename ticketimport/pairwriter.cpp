#include "pairwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <memory>
#include <vector>

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

bool writeAll(const QList<Output> &outputs, QString *error)
{
    std::vector<std::unique_ptr<QTemporaryFile>> written;
    for (const Output &output : outputs) {
        if (output.bytes.isEmpty() && !written.empty()) {
            written.emplace_back();
            continue;
        }
        written.push_back(writeTemporary(output.path, output.bytes, error));
        if (!written.back())
            return false;
    }

    // What is in place now goes aside, to come back if anything fails.
    struct Aside
    {
        QString path;
        QString aside;
    };
    QList<Aside> asides;
    QStringList placed;
    const auto restore = [&] {
        for (const QString &path : std::as_const(placed))
            QFile::remove(path);
        for (const Aside &moved : std::as_const(asides)) {
            QFile::remove(moved.path);
            QFile::rename(moved.aside, moved.path);
        }
    };
    for (const Output &output : outputs) {
        const QString &path = output.path;
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
    for (size_t i = 0; i < written.size(); ++i) {
        QTemporaryFile *file = written.at(i).get();
        if (!file)
            continue;
        const QString &path = outputs.at(qsizetype(i)).path;
        if (!file->rename(path)) {
            *error = QStringLiteral("%1: %2").arg(path, file->errorString());
            restore();
            return false;
        }
        file->setAutoRemove(false);
        placed << path;
    }
    for (const Aside &moved : std::as_const(asides))
        QFile::remove(moved.aside);
    return true;
}

bool write(const QString &databasePath, const QByteArray &database, const QString &topicsPath,
           const QByteArray &topicsJson, QString *error)
{
    return writeAll({{databasePath, database}, {topicsPath, topicsJson}}, error);
}

} // namespace PairWriter
