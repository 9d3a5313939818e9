#pragma once

#include "serverconnection.h"
#include "syncround.h"

#include <QObject>
#include <QThread>

#include <memory>

class SyncWorker;

// The background sync of a learner PC: a thread of its own with its own
// connections (the local history files and the server), which runs a
// SyncRound every interval and whenever asked. Nothing of it ever runs on
// the window's thread: answering never waits for the network.
class SyncEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 10'000;

    SyncEngine(const ServerAddress &address, const QString &classroomRoot,
               QObject *parent = nullptr);
    // Lets a round under way finish (a server that does not answer holds it
    // for at most the connection timeout), then ends the thread.
    ~SyncEngine() override;

    // Ends `engine` without waiting for it, for a window that turns the
    // classroom off or moves to another server: the round under way finishes
    // in the background, no further round starts, no report comes any more,
    // and the engine then deletes itself. The application waits for it at
    // its end at the latest.
    static void retire(std::unique_ptr<SyncEngine> engine);

    void start(int intervalMs = DefaultIntervalMs);
    // Runs a round soon, without waiting for the interval.
    void syncNow();
    // Whether its thread still runs (a retired engine, until its round ends).
    bool isRunning() const { return m_thread.isRunning(); }

signals:
    // After each round, on the thread that owns the engine.
    void roundFinished(const SyncReport &report);

private:
    QThread m_thread;
    SyncWorker *m_worker = nullptr;
    bool m_retired = false;
};
