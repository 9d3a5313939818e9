#pragma once

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

// A write to disk that runs on a worker thread of Qt's global pool while its
// owner goes on; join() waits for it and gives its result. A synced write
// waits for the disk for milliseconds, time the owner spends on work that
// does not depend on the write.
//
// The write must touch nothing its owner touches before the join: its own
// file objects, a copy of the value it writes, or an object the owner leaves
// alone until then. It reports failure through its result, never by throwing.
// A write is never abandoned: the destructor waits for one still running.
template <typename Result> class PendingWrite
{
public:
    PendingWrite() = default;
    ~PendingWrite() { join(); }
    PendingWrite(const PendingWrite &) = delete;
    PendingWrite &operator=(const PendingWrite &) = delete;

    // Starts `write` (a callable returning Result) after joining any write
    // still pending.
    template <typename Write> void start(Write write)
    {
        join();
        m_future = QtConcurrent::run(std::move(write));
        m_pending = true;
    }

    bool isPending() const { return m_pending; }

    // Waits for the write and returns its result, once; a default Result
    // when nothing is pending.
    Result join()
    {
        if (!m_pending)
            return Result{};
        m_pending = false;
        return m_future.result();
    }

private:
    QFuture<Result> m_future;
    bool m_pending = false;
};
