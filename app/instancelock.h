#pragma once

#include <QLockFile>
#include <QString>

// One running program per progress file. Each copy writes its whole record at
// the end of an attempt, so two copies would silently undo each other's
// progress. The lock is a file beside "stat.dat" naming the process that
// holds it. A lock is stale, and taken over, when the process it names no
// longer runs or when it names none that can be read (empty — what a power
// cut while taking the lock leaves —, garbage, or far too long to be a lock).
// Something other than a regular file in its place (a folder, a named pipe, a
// device) is never opened: the start is refused with a message.
class InstanceLock
{
public:
    static constexpr char FileName[] = "stat.dat.lock";

    explicit InstanceLock(const QString &progressFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock without waiting. False when another running program
    // holds it, when the lock's place is not a regular file (refusal() says
    // why), or when the lock file cannot be written (the save of the
    // progress would then fail as well, and says why).
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    // Whether the failure of tryLock() is a running copy of the program.
    bool heldByAnotherProgram() const;
    // Why the lock's place cannot be used; empty unless tryLock() refused it.
    QString refusal() const { return m_refusal; }

    // What a second copy tells the learner before it ends.
    static QString alreadyRunningMessage();

private:
    QString m_path;
    QLockFile m_lock;
    QString m_refusal;
};
