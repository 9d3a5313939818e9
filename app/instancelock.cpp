#include "instancelock.h"

#include <QDir>

InstanceLock::InstanceLock(const QString &progressFolder)
    : m_lock(QDir(progressFolder).filePath(QString::fromLatin1(FileName)))
{
    // A program runs for hours: its lock never goes stale by age, only when
    // the process that wrote it is gone.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock()
{
    return m_lock.tryLock(0);
}

bool InstanceLock::heldByAnotherProgram() const
{
    return m_lock.error() == QLockFile::LockFailedError;
}

QString InstanceLock::alreadyRunningMessage()
{
    return QStringLiteral("Программа уже запущена. Закройте её окно, прежде чем запускать "
                          "программу снова: две копии программы затёрли бы результаты друг "
                          "друга.");
}
