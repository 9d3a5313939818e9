#pragma once

#include <QLockFile>
#include <QString>

// One running program per progress file. Each copy writes its whole record at
// the end of an attempt, so two copies would silently undo each other's
// progress. The lock is a file beside "stat.dat" naming the process that
// holds it; a lock left behind by a process that no longer runs is taken
// over.
class InstanceLock
{
public:
    static constexpr char FileName[] = "stat.dat.lock";

    explicit InstanceLock(const QString &progressFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock without waiting. False when another running program
    // holds it, or when the lock file cannot be written (the save of the
    // progress would then fail as well, and says why).
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    // Whether the failure of tryLock() is a running copy of the program.
    bool heldByAnotherProgram() const;

    // What a second copy tells the learner before it ends.
    static QString alreadyRunningMessage();

private:
    QLockFile m_lock;
};
