#include "instancelock.h"

#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A lock file holds a process number, a program name and a host name, a
// few dozen bytes. Anything longer is not one of ours, and is not read
// (QLockFile would read a line of any length into memory).
constexpr qint64 LargestLock = 4096;

// Whether the file names an owner QLockFile can check: its first line is a
// positive process number. Only regular files come here.
bool namesAnOwner(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestLock)
        return false;
    const QByteArray firstLine = file.read(LargestLock).split('\n').constFirst().trimmed();
    bool ok = false;
    const qint64 pid = firstLine.toLongLong(&ok);
    return ok && pid > 0;
}

} // namespace

InstanceLock::InstanceLock(const QString &progressFolder)
    : m_path(QDir(progressFolder).filePath(QString::fromLatin1(FileName))), m_lock(m_path)
{
    // A program runs for hours: its lock never goes stale by age, only when
    // the process that wrote it is gone.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock()
{
    m_refusal.clear();
    const QFileInfo info(m_path);
    if (info.exists() || info.isSymLink()) {
        // Checked by type before anything opens it: opening a named pipe
        // waits for a writer forever.
        if (const QString reason = RegularFile::refusalReason(m_path); !reason.isEmpty()) {
            m_refusal = QStringLiteral("Программа не может проверить, не запущена ли уже другая её "
                                       "копия: на месте файла блокировки %1. Удалите его и "
                                       "запустите программу снова.")
                            .arg(reason);
            return false;
        }
        // QLockFile itself takes over a lock whose process no longer runs,
        // but keeps one it cannot read for ever. Removing goes through
        // QLockFile, which does not remove a lock its owner still holds
        // open (one that is being written right now).
        if (!namesAnOwner(m_path) && !m_lock.removeStaleLockFile() && info.isSymLink() &&
            !info.exists())
            QFile::remove(m_path); // a link that leads nowhere
    }
    return m_lock.tryLock(0);
}

bool InstanceLock::heldByAnotherProgram() const
{
    return m_refusal.isEmpty() && m_lock.error() == QLockFile::LockFailedError;
}

QString InstanceLock::alreadyRunningMessage()
{
    return QStringLiteral("Программа уже запущена. Закройте её окно, прежде чем запускать "
                          "программу снова: две копии программы затёрли бы результаты друг "
                          "друга.");
}
