#pragma once

#include "programpaths.h"
#include "settingsstore.h"

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
class StartupSequence
{
public:
    StartupSequence(const ProgramPaths &paths, SettingsStore &settings, StartupHost &host);
    ~StartupSequence();

    // Runs the sequence; false when it stopped and the program must end
    // without showing anything.
    bool run();

    bool firstRun() const { return m_firstRun; }
    // The database that was opened, in native separators.
    QString databasePath() const { return m_databasePath; }
    // The launch counter of this run.
    int launchCount() const { return m_launchCount; }
    // The lock on the progress folder, to be held for the whole run.
    std::unique_ptr<InstanceLock> takeInstanceLock();

private:
    bool openDatabase();
    // The database stop: this launch is not counted.
    void takeBackLaunch();
    void carryOverProgress();

    const ProgramPaths &m_paths;
    SettingsStore &m_settings;
    StartupHost &m_host;
    bool m_firstRun = false;
    QString m_databasePath;
    int m_launchCount = 0;
    std::unique_ptr<InstanceLock> m_instanceLock;
};

// Kol as the store holds it now. When the store cannot be read, `lastKnown`
// stands; otherwise it is updated.
int storedLaunchCount(SettingsStore &settings, int &lastKnown);
