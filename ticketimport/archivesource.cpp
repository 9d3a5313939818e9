#include "archivesource.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

namespace {

constexpr size_t BlockSize = 64 * 1024;

// Raw name bytes that are not UTF-8. A zip folder made by a Russian Windows
// writes its names in the DOS Cyrillic code page without zip's UTF-8 flag;
// read as UTF-8 they became replacement characters, and every ticket file
// seemed missing. Qt's converter (ICU) decodes the code page; where it has
// none, the bytes stay as UTF-8 with replacement characters, as before.
QString decodeForeignName(const QByteArray &raw)
{
    QStringDecoder dos("IBM866");
    if (dos.isValid()) {
        const QString name = dos.decode(raw);
        if (!dos.hasError())
            return name;
    }
    return QString::fromUtf8(raw);
}

// The entry's path as written in the archive: UTF-8 when the archive says
// so or when the raw bytes are UTF-8 (what zip and tar tools write on every
// current system), else the DOS code page.
QString entryPath(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    const char *raw = archive_entry_pathname(entry);
    if (!raw)
        return {};
    const QByteArray bytes(raw);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8.decode(bytes);
    return utf8.hasError() ? decodeForeignName(bytes) : name;
}

// "./a//b/" -> "a/b"; empty for a path that leaves the root: absolute, with
// a drive letter, or with a ".." step. Backslashes count as separators, as
// zip files made on Windows may use them.
QString safeRelative(const QString &path, bool *escapes)
{
    *escapes = false;
    QString unified = path;
    unified.replace(u'\\', u'/');
    if (unified.startsWith(u'/') || (unified.size() >= 2 && unified.at(1) == u':')) {
        *escapes = true;
        return {};
    }
    QStringList kept;
    for (const QString &part : unified.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            *escapes = true;
            return {};
        }
        kept << part;
    }
    return kept.join(u'/');
}

} // namespace

// One pass over the archive: libarchive's reader with every format and
// filter, over the file or the bytes in memory.
class ArchiveSource::Reader
{
public:
    explicit Reader(const ArchiveSource &source) : m_archive(archive_read_new())
    {
        archive_read_support_filter_all(m_archive);
        archive_read_support_format_all(m_archive);
        if (source.m_inMemory) {
            m_status = archive_read_open_memory(m_archive, source.m_bytes.constData(),
                                                size_t(source.m_bytes.size()));
        } else {
            m_status = archive_read_open_filename(
                m_archive, QFileInfo(source.m_path).absoluteFilePath().toLocal8Bit().constData(),
                BlockSize);
        }
    }
    ~Reader() { archive_read_free(m_archive); }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool opened() const { return m_status == ARCHIVE_OK; }
    QString error() const
    {
        const char *text = archive_error_string(m_archive);
        return text ? QString::fromUtf8(text) : QStringLiteral("unknown error");
    }
    // ARCHIVE_OK, ARCHIVE_EOF, or a failure.
    int next(archive_entry **entry)
    {
        int status = archive_read_next_header(m_archive, entry);
        // A warning (an unknown extension, a charset that does not
        // convert) still gives a usable header.
        if (status == ARCHIVE_WARN)
            status = ARCHIVE_OK;
        return status;
    }
    // Reads the current entry's data, appending at most `keepLimit` bytes to
    // `kept` (when given) and adding everything read to `total`. -1 on a
    // failure, -2 when `total` passed `totalLimit`, else the bytes read.
    qint64 readData(QByteArray *kept, qint64 keepLimit, qint64 *total, qint64 totalLimit)
    {
        qint64 read = 0;
        char block[BlockSize];
        for (;;) {
            const la_ssize_t n = archive_read_data(m_archive, block, sizeof block);
            if (n < 0)
                return -1;
            if (n == 0)
                return read;
            read += n;
            *total += n;
            if (*total > totalLimit)
                return -2;
            if (kept && kept->size() + n <= keepLimit)
                kept->append(block, n);
            else if (kept)
                kept->resize(keepLimit + 1); // marks it as too large
        }
    }

private:
    archive *m_archive;
    int m_status = ARCHIVE_FATAL;
};

ArchiveSource::ArchiveSource(const QString &path) : m_path(path) {}

ArchiveSource::ArchiveSource(const QByteArray &bytes, const QString &name)
    : m_path(name), m_bytes(bytes), m_inMemory(true)
{
}

qint64 ArchiveSource::unpackLimit() const
{
    return qMin(MaxUnpackedBytes, qMax(RatioFloor, m_archiveSize * MaxRatio));
}

bool ArchiveSource::open(const std::atomic<bool> *cancel)
{
    const QFileInfo info(m_path);
    if (!m_inMemory) {
        if (!info.exists()) {
            setFault(Fault::Kind::Missing, m_path);
            return false;
        }
        if (!info.isFile()) {
            setFault(Fault::Kind::NotArchive, m_path, QStringLiteral("not a regular file"));
            return false;
        }
    }
    m_archiveSize = m_inMemory ? m_bytes.size() : info.size();
    if (!m_inMemory) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            setFault(Fault::Kind::Unreadable, m_path, file.errorString());
            return false;
        }
    }
    // libarchive looks for a format as it opens: a readable file it cannot
    // open is not an archive.
    Reader reader(*this);
    if (!reader.opened()) {
        setFault(Fault::Kind::NotArchive, m_path, reader.error());
        return false;
    }

    struct Kept
    {
        QString path;
        QByteArray bytes;
    };
    QList<Kept> tickets;
    QStringList files;
    QSet<QString> topFolders;
    bool fileAtTop = false;
    qint64 total = 0;
    int entries = 0;
    archive_entry *entry = nullptr;
    for (;;) {
        if (cancel && cancel->load()) {
            setFault(Fault::Kind::Cancelled);
            return false;
        }
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK) {
            // Nothing recognised at all: not an archive; a failure after
            // some entries: cut short or damaged.
            setFault(entries == 0 ? Fault::Kind::NotArchive : Fault::Kind::Damaged, m_path,
                     reader.error());
            return false;
        }
        if (++entries > MaxEntries) {
            setFault(Fault::Kind::TooManyEntries, m_path, QString::number(MaxEntries));
            return false;
        }
        const QString raw = entryPath(entry);
        bool escapes = false;
        const QString path = safeRelative(raw, &escapes);
        if (escapes) {
            setFault(Fault::Kind::PathEscapes, raw);
            return false;
        }
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr) {
            setFault(Fault::Kind::Link, raw);
            return false;
        }
        if (type != AE_IFREG && type != AE_IFDIR) {
            setFault(Fault::Kind::SpecialEntry, raw);
            return false;
        }
        // A declared size past the limit is refused before its data is
        // read; the data read is counted as well, as a size can lie.
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > unpackLimit() - total) {
            setFault(Fault::Kind::TooLarge, m_path, QString::number(unpackLimit()));
            return false;
        }
        if (path.isEmpty())
            continue;
        const qsizetype slash = path.indexOf(u'/');
        topFolders.insert(slash < 0 ? path : path.left(slash));
        if (type == AE_IFREG && slash < 0)
            fileAtTop = true;

        const bool maybeTicket = type == AE_IFREG && path.endsWith(QStringLiteral(".json")) &&
                                 path.contains(QStringLiteral("/tickets/"));
        QByteArray bytes;
        const qint64 read = reader.readData(maybeTicket ? &bytes : nullptr, MaxTicketFileSize,
                                            &total, unpackLimit());
        if (read == -2) {
            setFault(Fault::Kind::TooLarge, m_path, QString::number(unpackLimit()));
            return false;
        }
        if (read < 0) {
            setFault(Fault::Kind::Damaged, m_path, reader.error());
            return false;
        }
        if (type != AE_IFREG)
            continue;
        files << path;
        if (maybeTicket)
            tickets.append(Kept{path, bytes});
    }

    if (entries == 0) {
        setFault(Fault::Kind::NotArchive, m_path, QStringLiteral("no entries"));
        return false;
    }
    // One folder holding everything ("something-master/") is the root,
    // unless the tickets are already found without stripping it (an
    // archive of the layout's own folders, where "questions/" may be
    // alone at the top).
    const bool layoutAtTop = std::any_of(tickets.cbegin(), tickets.cend(),
                                         [](const Kept &kept) { return isTicketPath(kept.path); });
    if (topFolders.size() == 1 && !fileAtTop && !layoutAtTop)
        m_prefix = *topFolders.cbegin() + u'/';
    for (const QString &path : std::as_const(files))
        m_files.insert(path.mid(m_prefix.size()));
    for (const Kept &kept : std::as_const(tickets)) {
        QString category, name;
        if (!isTicketPath(kept.path.mid(m_prefix.size()), &category, &name))
            continue;
        if (kept.bytes.size() > MaxTicketFileSize) {
            addTicketError(category, name,
                           QStringLiteral("more than %1 bytes, too large for a ticket")
                               .arg(MaxTicketFileSize));
        } else {
            addTicketFile(category, name, kept.bytes);
        }
    }
    return true;
}

TicketSource::FileKind ArchiveSource::lookup(const QString &relative) const
{
    // Links were refused when the archive was opened.
    return m_files.contains(relative) ? FileKind::File : FileKind::Missing;
}

bool ArchiveSource::readFiles(const QStringList &paths, QHash<QString, QByteArray> *contents,
                              QHash<QString, QString> *errors,
                              const std::function<void(int)> &onFile,
                              const std::atomic<bool> *cancel)
{
    QSet<QString> wanted(paths.cbegin(), paths.cend());
    Reader reader(*this);
    if (!reader.opened()) {
        setFault(Fault::Kind::Unreadable, m_path, reader.error());
        return false;
    }
    qint64 total = 0;
    int done = 0;
    archive_entry *entry = nullptr;
    while (!wanted.isEmpty()) {
        if (cancel && cancel->load()) {
            setFault(Fault::Kind::Cancelled);
            return false;
        }
        const int status = reader.next(&entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK) {
            setFault(Fault::Kind::Damaged, m_path, reader.error());
            return false;
        }
        bool escapes = false;
        const QString path = safeRelative(entryPath(entry), &escapes);
        const QString relative = path.startsWith(m_prefix) ? path.mid(m_prefix.size()) : QString();
        const bool want = archive_entry_filetype(entry) == AE_IFREG && wanted.contains(relative);
        QByteArray bytes;
        const qint64 read =
            reader.readData(want ? &bytes : nullptr, MaxPictureFileSize, &total, unpackLimit());
        if (read == -2) {
            setFault(Fault::Kind::TooLarge, m_path, QString::number(unpackLimit()));
            return false;
        }
        if (read < 0) {
            setFault(Fault::Kind::Damaged, m_path, reader.error());
            return false;
        }
        if (!want)
            continue;
        wanted.remove(relative);
        if (bytes.size() > MaxPictureFileSize) {
            errors->insert(relative, QStringLiteral("more than %1 bytes, too large for a picture")
                                         .arg(MaxPictureFileSize));
        } else {
            contents->insert(relative, bytes);
        }
        if (onFile)
            onFile(++done);
    }
    for (const QString &missing : std::as_const(wanted))
        errors->insert(missing, QStringLiteral("not in the archive"));
    return true;
}
