#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Archives made in memory with libarchive's writer, for the tests and the
// benchmark: a real folder packed as a download would be, or entries
// crafted to be hostile.
namespace ArchiveMaker {

struct Entry
{
    enum class Type
    {
        File,
        Folder,
        SymbolicLink,
        HardLink,
        Pipe
    };
    QString path;
    QByteArray bytes;
    Type type = Type::File;
    QString target; // of a link
};

enum class Format
{
    Zip,
    // Names in the DOS Cyrillic code page (CP866) without zip's UTF-8 flag,
    // as the zip folders of a Russian Windows write them.
    ZipDosNames,
    TarGz
};

QByteArray make(Format format, const QList<Entry> &entries);

// Every folder and file under `folder`, their paths starting with `prefix`
// ("tickets-master/" as a downloaded zip has it, or empty).
QList<Entry> entriesOf(const QString &folder, const QString &prefix = QString());

bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace ArchiveMaker
