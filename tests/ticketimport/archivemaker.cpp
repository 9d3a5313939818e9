#include "archivemaker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <archive.h>
#include <archive_entry.h>

namespace ArchiveMaker {

QByteArray make(Format format, const QList<Entry> &entries)
{
    archive *writer = archive_write_new();
    if (format == Format::Zip || format == Format::ZipDosNames) {
        archive_write_set_format_zip(writer);
        if (format == Format::ZipDosNames)
            archive_write_set_options(writer, "hdrcharset=CP866");
    } else {
        archive_write_set_format_pax_restricted(writer);
        archive_write_add_filter_gzip(writer);
    }
    // Large enough for every archive the tests make.
    QByteArray buffer(64 * 1024 * 1024, '\0');
    size_t used = 0;
    archive_write_open_memory(writer, buffer.data(), size_t(buffer.size()), &used);
    for (const Entry &item : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, item.path.toUtf8().constData());
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_mtime(entry, 1700000000, 0);
        switch (item.type) {
        case Entry::Type::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, item.bytes.size());
            break;
        case Entry::Type::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            archive_entry_set_perm(entry, 0755);
            break;
        case Entry::Type::SymbolicLink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink_utf8(entry, item.target.toUtf8().constData());
            break;
        case Entry::Type::HardLink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink_utf8(entry, item.target.toUtf8().constData());
            archive_entry_set_size(entry, 0);
            break;
        case Entry::Type::Pipe:
            archive_entry_set_filetype(entry, AE_IFIFO);
            break;
        }
        archive_write_header(writer, entry);
        if (item.type == Entry::Type::File && !item.bytes.isEmpty())
            archive_write_data(writer, item.bytes.constData(), size_t(item.bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    buffer.truncate(qsizetype(used));
    return buffer;
}

QList<Entry> entriesOf(const QString &folder, const QString &prefix)
{
    QList<Entry> entries;
    if (!prefix.isEmpty())
        entries.append(Entry{prefix, {}, Entry::Type::Folder, {}});
    const QDir root(folder);
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort(); // the same archive on every run
    for (const QString &path : std::as_const(paths)) {
        const QFileInfo info(path);
        const QString name = prefix + root.relativeFilePath(path);
        if (info.isDir()) {
            entries.append(Entry{name + u'/', {}, Entry::Type::Folder, {}});
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            entries.append(Entry{name, file.readAll(), Entry::Type::File, {}});
        }
    }
    return entries;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace ArchiveMaker
