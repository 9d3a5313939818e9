#pragma once

#include "pendingwrite.h"
#include "programpaths.h"
#include "settingsstore.h"
#include "statisticsfile.h"

#include <QString>

#include <memory>

class InstanceLock;

// What the start-up needs from the window that runs it: warnings, a choice
// of database file, and the menu marks to set from the stored settings.
class StartupHost
{
public:
    virtual ~StartupHost() = default;

    // A warning with the caption "Внимание!".
    virtual void warn(const QString &text) = 0;
    // A piece of information with the program's message caption.
    virtual void inform(const QString &text) = 0;
    // Asks for a database file, starting in `folder`; empty when cancelled.
    virtual QString chooseDatabaseFile(const QString &folder) = 0;
    // The marks stored in the settings, applied as if the user had chosen
    // them (called while the store is being opened).
    virtual void applyStoredMarks(const SettingsStore::Startup &stored) = 0;
    // The store cannot be used: this run takes the first-run time limit.
    virtual void applyDefaultTimeLimit() = 0;
    virtual void showDatabaseTitle(const QString &title) = 0;
};

// The start-up of the program, in its fixed order: the lock that keeps a
// second copy away, the settings (with the launch counter), the question
// database (asking for one when the stored path does not lead to a file),
// then "stat.dat" in the progress folder, carried over from the program
// folder when that can no longer be written. It holds no widgets; everything
// shown goes through the host.
//
// The launch counter's two writes — to the settings and to "stat.dat" — are
// synced to the disk, which takes milliseconds on a busy disk. They run on
// worker threads (PendingWrite) from where the sequence makes them, while
// the sequence and then the window it runs for go on; each is joined before
// the next message of the start-up, before anything else touches its file,
// and in finish(). A failure found at the join shows the message it always
// shows, before any message that follows it in the sequence.
class StartupSequence
{
public:
    StartupSequence(const ProgramPaths &paths, SettingsStore &settings, StartupHost &host);
    ~StartupSequence();

    // Runs the sequence and waits for its writes; false when it stopped and
    // the program must end without showing anything.
    bool run();

    // run() in two steps, so that the caller can build its window while the
    // writes run. start() runs the sequence up to its last writes; finish()
    // waits for them and shows what they have to say. Until finish(), the
    // caller leaves the settings store and the progress record alone.
    // finish() returns what run() returns.
    void start();
    bool finish();

    bool firstRun() const { return m_firstRun; }
    // The database that was opened, in native separators.
    QString databasePath() const { return m_databasePath; }
    // The launch counter of this run.
    int launchCount() const { return m_launchCount; }
    // The lock on the progress folder, to be held for the whole run.
    std::unique_ptr<InstanceLock> takeInstanceLock();

private:
    bool runUntilWrites();
    bool openDatabase();
    // The database stop: this launch is not counted.
    void takeBackLaunch();
    void carryOverProgress();
    // Reads "stat.dat" and starts writing it back with this launch counted.
    bool startStatisticsWrite();
    // Shows a failure of the progress file; false when the program must end.
    bool reportStatistics(const StatisticsError &error);

    // The store, once the launch counter's write has been joined.
    SettingsStore &settings();
    // Joins the launch counter's write and shows its refusal, if any.
    void joinSettingsWrite();
    // The host's questions and messages, each after the settings' refusal.
    void warn(const QString &text);
    void inform(const QString &text);
    QString chooseDatabaseFile(const QString &folder);

    const ProgramPaths &m_paths;
    SettingsStore &m_settings;
    StartupHost &m_host;
    bool m_firstRun = false;
    QString m_databasePath;
    int m_launchCount = 0;
    std::unique_ptr<InstanceLock> m_instanceLock;
    bool m_started = false;
    // The refusal of the launch counter's write, empty when it was written.
    PendingWrite<QString> m_settingsWrite;
    // The record read at start-up, the program's once its write is joined.
    StatisticsAtStart m_statistics;
    PendingWrite<std::optional<StatisticsError>> m_statisticsWrite;
};

// Kol as the store holds it now. When the store cannot be read, `lastKnown`
// stands; otherwise it is updated.
int storedLaunchCount(SettingsStore &settings, int &lastKnown);
