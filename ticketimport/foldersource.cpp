#include "foldersource.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

// A ticket folder holds 40 files per category; a folder with far more
// entries is not one, and listing it whole would only waste time.
constexpr int MaxTicketFolderEntries = 10000;

} // namespace

FolderSource::FolderSource(const QString &root) : m_root(root) {}

TicketSource::FileKind FolderSource::lookup(const QString &relative) const
{
    // Every step from the root is checked, so a linked folder on the way is
    // found as well as a linked file.
    QString path = m_root.absolutePath();
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        path += u'/' + part;
        const QFileInfo info(path);
        if (info.isSymLink() || info.isShortcut())
            return FileKind::Link;
        if (!info.exists())
            return FileKind::Missing;
    }
    return QFileInfo(path).isFile() ? FileKind::File : FileKind::Missing;
}

QByteArray FolderSource::readFile(const QString &relative, qint64 limit, QString *error) const
{
    switch (lookup(relative)) {
    case FileKind::Missing:
        *error = QStringLiteral("not a regular file");
        return {};
    case FileKind::Link:
        *error = QStringLiteral("a link; links are not followed");
        return {};
    case FileKind::File:
        break;
    }
    QFile file(m_root.filePath(relative));
    // The size is checked before anything is read: a huge file must not be
    // taken into memory to find out that it is too large.
    if (file.size() > limit) {
        *error = QStringLiteral("%1 bytes, more than the %2 a file of this kind may have")
                     .arg(file.size())
                     .arg(limit);
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read: %1").arg(file.errorString());
        return {};
    }
    // Read at most the limit, should the file have grown since.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        *error = QStringLiteral("more than %1 bytes").arg(limit);
        return {};
    }
    if (bytes.isEmpty())
        bytes = QByteArray(""); // an empty file is read, not failed
    return bytes;
}

bool FolderSource::open(const std::atomic<bool> *cancel)
{
    if (!m_root.exists()) {
        setFault(Fault::Kind::Missing, m_root.path());
        return false;
    }
    for (const QString &category : {QStringLiteral("A_B"), QStringLiteral("C_D")}) {
        const QString folder = QStringLiteral("questions/%1/tickets").arg(category);
        const FileKind kind = lookup(folder);
        if (kind == FileKind::Link) {
            setFault(Fault::Kind::Link, folder);
            return false;
        }
        if (!QFileInfo(m_root.filePath(folder)).isDir())
            continue;
        QDirIterator it(m_root.filePath(folder), QDir::Files | QDir::System | QDir::Hidden);
        int entries = 0;
        while (it.hasNext()) {
            it.next();
            if (cancel && cancel->load()) {
                setFault(Fault::Kind::Cancelled);
                return false;
            }
            if (++entries > MaxTicketFolderEntries) {
                setFault(Fault::Kind::TooManyEntries, folder,
                         QString::number(MaxTicketFolderEntries));
                return false;
            }
            const QString relative = folder + u'/' + it.fileName();
            QString name;
            if (!isTicketPath(relative, nullptr, &name))
                continue;
            QString error;
            const QByteArray bytes = readFile(relative, MaxTicketFileSize, &error);
            if (!error.isEmpty())
                addTicketError(category, name, error);
            else
                addTicketFile(category, name, bytes);
        }
    }
    return true;
}

bool FolderSource::readFiles(const QStringList &paths, QHash<QString, QByteArray> *contents,
                             QHash<QString, QString> *errors,
                             const std::function<void(int)> &onFile,
                             const std::atomic<bool> *cancel)
{
    int done = 0;
    for (const QString &relative : paths) {
        if (cancel && cancel->load()) {
            setFault(Fault::Kind::Cancelled);
            return false;
        }
        QString error;
        const QByteArray bytes = readFile(relative, MaxPictureFileSize, &error);
        if (!error.isEmpty())
            errors->insert(relative, error);
        else
            contents->insert(relative, bytes);
        if (onFile)
            onFile(++done);
    }
    return true;
}
