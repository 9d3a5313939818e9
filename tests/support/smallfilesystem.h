#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real, tiny file system (tmpfs) for tests of what happens when the disk is
// full. Mounting needs root on Linux; where it cannot be done, skipReason()
// says why and the test skips.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const QString &size = QStringLiteral("64k"))
    {
#ifdef Q_OS_LINUX
        if (!m_dir.isValid()) {
            m_skipReason = QStringLiteral("no temporary folder");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=") + size, QStringLiteral("tmpfs"), m_dir.path()});
        if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0) {
            m_skipReason = QStringLiteral("cannot mount a tmpfs (needs root): %1")
                               .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed());
            return;
        }
        m_mounted = true;
#else
        Q_UNUSED(size);
        m_skipReason = QStringLiteral("a small tmpfs is only mounted on Linux");
#endif
    }
    ~SmallFileSystem()
    {
        // Lazily: a test may still hold files open there (a lock, the
        // current folder) until its fixture is torn down.
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool isMounted() const
    {
        return m_mounted;
    }
    QString skipReason() const
    {
        return m_skipReason;
    }
    QString filePath(const QString &name) const
    {
        return m_dir.filePath(name);
    }

    // Remounts the file system read-only: even root cannot write there then.
    bool makeReadOnly() const
    {
        return m_mounted && QProcess::execute(QStringLiteral("mount"),
                                              {QStringLiteral("-o"), QStringLiteral("remount,ro"),
                                               m_dir.path()}) == 0;
    }

    // Fills the remaining space with a file of ones until a write fails.
    void fill() const
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::Append))
            return;
        const QByteArray block(512, char(1));
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        // Whatever the buffer could not write is dropped with the file.
        filler.close();
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_skipReason;
};
