#pragma once

#include "ticketsource.h"

#include <QSet>

// An archive of a ticket folder, as people download it: a .zip (usually
// with one top-level folder such as "something-master/"), a .tar.gz, or any
// other format libarchive reads.
//
// Read with libarchive rather than QuaZip: one streaming API reads zip and
// the tar family (gzip, bzip2, xz, zstd) alike, where QuaZip covers zip
// only. Entries are streamed into memory, never unpacked to disk and never
// handed to a shell. The archive is read twice: open() passes over every
// entry — checking it and keeping the ticket files — and readFiles() takes
// only the pictures the tickets name.
//
// Refused as a whole: an entry whose path leaves the root (".." or an
// absolute path), a link of either kind, a device or pipe, more than
// MaxEntries entries, an archive that unpacks to more than MaxUnpackedBytes
// or to more than MaxRatio times its own size (past a small floor, below
// which nothing can harm), a truncated or damaged archive, and a file that
// no archive format recognises. A single folder that holds everything is
// stripped from the paths.
class ArchiveSource : public TicketSource
{
public:
    static constexpr qint64 MaxUnpackedBytes = qint64(1) << 30;
    static constexpr qint64 MaxRatio = 100;
    static constexpr qint64 RatioFloor = 16 * 1024 * 1024;
    static constexpr int MaxEntries = 100000;

    explicit ArchiveSource(const QString &path);
    // An archive held in memory (tests, fuzzing); `name` stands for it in
    // messages.
    ArchiveSource(const QByteArray &bytes, const QString &name);

    bool open(const std::atomic<bool> *cancel = nullptr) override;
    FileKind lookup(const QString &relative) const override;
    bool readFiles(const QStringList &paths, QHash<QString, QByteArray> *contents,
                   QHash<QString, QString> *errors, const std::function<void(int)> &onFile = {},
                   const std::atomic<bool> *cancel = nullptr) override;

    // The folder stripped from every path, empty when there was none.
    QString strippedFolder() const { return m_prefix; }

private:
    class Reader;
    qint64 unpackLimit() const;

    QString m_path;
    QByteArray m_bytes;
    bool m_inMemory = false;
    qint64 m_archiveSize = 0;
    QSet<QString> m_files; // relative to the root, the stripped folder removed
    QString m_prefix;      // "something-master/" or empty
};
