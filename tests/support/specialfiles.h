#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// Things that stand where a data file is expected: a named pipe (opening it
// for reading waits for a writer), or a folder.
namespace SpecialFiles {

// Makes `kind` ("fifo" or "folder") at `path`; false where it cannot be made.
inline bool make(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    return false;
#endif
}

// Runs `work` on a thread of its own and says whether it finished within
// `ms`. A call stuck opening the pipe at `path` is then released by opening
// the other end, so that a failing test ends instead of hanging.
inline bool finishesWithoutWaiting(const QString &path, const std::function<void()> &work,
                                   int ms = 5000)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->start();
    if (thread->wait(ms))
        return true;
    QFile writer(path);
    if (writer.open(QIODevice::WriteOnly))
        writer.close();
    thread->wait();
    return false;
}

} // namespace SpecialFiles
