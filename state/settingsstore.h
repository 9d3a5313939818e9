#pragma once

#include "classroomsettings.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <stdexcept>

class QSettings;

// Raised when the settings cannot be written; message() is the Russian text
// to show.
class SettingsError : public std::runtime_error
{
public:
    explicit SettingsError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The program's settings: five values under one key.
//
//   Kol  integer  launch counter (every launch, less those stopped at the database)
//   Rnd  integer  1: shuffle the answer variants
//   Sta  integer  1: show the statistics pie in learning and preparation
//   Tim  integer  exam time limit choice 1..6
//   Bas  string   full path of the question database, empty for none
//   Mas  integer  interface scale: 0 automatic, or 100, 125, 150, 175, 200 (%)
//   Ned  strings  the databases opened before, most recent first, at most
//                 five full paths (the settings menu's «Недавние базы»)
//
// On Windows the key is HKEY_LOCAL_MACHINE\Software\Microsoft\Kiv in the
// registry. Elsewhere it is the INI file "Microsoft/Kiv.conf" in the user's
// configuration folder ($XDG_CONFIG_HOME, ~/.config by default), and the key
// exists exactly when that file exists.
//
// Nothing is cached: every read looks at the store and every write reaches it
// at once. A write the store refuses throws SettingsError, once per run: the
// learner has then been told that changes will not be kept, and later
// refused writes pass silently.
class SettingsStore
{
public:
    static constexpr int FirstRunLaunchCount = 1;
    static constexpr int FirstRunShuffle = 1;
    static constexpr int FirstRunShowStatistics = 1;
    static constexpr int FirstRunTimeCode = 4;
    static constexpr int TimeCodeCount = 6;

    // The standard database names, searched in this order on a first run.
    static const QStringList &standardDatabaseNames();

    // Where the key lives on this platform (see above).
    static QString defaultLocation();

    // What openSettings found; the caller sets its menu marks from it.
    struct Startup
    {
        bool firstRun = false;
        int launchCount = 0; // Kol after counting this launch
        int shuffle = FirstRunShuffle;
        int showStatistics = FirstRunShowStatistics;
        int timeCode = FirstRunTimeCode; // may be outside 1..6: no time item then
        QString databasePath;            // Bas, possibly empty
        // Values that were missing or not of their type and were written back
        // with their first-run value.
        QStringList repairedValues;
        // Texts to show once, in this order: the damaged file kept aside, and
        // that the settings cannot be saved. Empty when all went well.
        QStringList warnings;
        // The caller writes launchCount with setLaunchCount() (see
        // LaunchCounting::ByCaller).
        bool launchCountToWrite = false;
    };

    // Who writes the launch counter of a later run: openSettings itself, or
    // the caller after it (the start-up does that on a worker thread while
    // the program goes on). A first run writes all its values at once.
    enum class LaunchCounting
    {
        Here,
        ByCaller,
    };

    // `location`: the INI file (or, on Windows, the registry key path).
    explicit SettingsStore(const QString &location = defaultLocation());
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString location() const { return m_location; }
    // Whether the key exists now.
    bool keyExists() const;

    // Sets the menu marks from the options and the time code just read (or the
    // first-run values). Choosing the time item writes Tim, so this runs
    // where that write belongs: after the options are known and before the
    // database is searched for or Bas is read.
    using MarksHandler = std::function<void(const Startup &)>;

    // Opens the key (creating it), counts the launch and reads the options,
    // then calls `setMarks`. A first run writes the first-run values and runs
    // locateStandardDatabase(programFolder, extraFolders). A later run that
    // finds a value missing or not an integer (Bas: not a string) takes that
    // value's first-run value (for Bas the empty string), writes it back and
    // lists it in repairedValues.
    //
    // Never throws: a store that refuses writes is still read in full (Bas
    // included) and the refusal becomes one entry of `warnings`. A settings
    // file that is damaged — it cannot be parsed, it is no UTF-8 text, it
    // holds NUL bytes or serialized objects, it is far too large, or it
    // holds none of the program's values — is renamed aside (never deleted)
    // and the run becomes a first run. A file that cannot be read at all counts as a
    // first run too, so the standard database is still found.
    //
    // With LaunchCounting::ByCaller a later run reads every value (repairing
    // as above) and leaves the counter of this launch to the caller
    // (launchCountToWrite): a refusal of that write is then the caller's to
    // show, once, where the start-up shows the settings' warnings.
    Startup openSettings(const QString &programFolder, const QStringList &extraFolders = {},
                         const MarksHandler &setMarks = {},
                         LaunchCounting counting = LaunchCounting::Here);

    // First run: makes `programFolder` the current folder (a failure is
    // ignored) and writes Bas := the first standard database found there, or
    // else in `extraFolders` in their order, or the empty string.
    void locateStandardDatabase(const QString &programFolder, const QStringList &extraFolders = {});

    // Takes a launch back: Kol - 1, unless Kol is 0.
    void decrementLaunchCount();

    // Single reads and writes. A read of a missing or mistyped integer
    // repairs it as openSettings does.
    int launchCount();
    // Writes Kol; throws SettingsError when the store refuses it and no
    // refusal was reported before.
    void setLaunchCount(int count);
    QString databasePath();
    void setDatabasePath(const QString &path);
    void setTimeCode(int code);
    void setShowStatistics(bool checked);
    void setShuffle(bool checked);
    // The stored interface scale (see InterfaceScale); Automatic when the
    // key or the value is missing or not a choice. Only reads: it is asked
    // before start-up, which must still see a first run as one.
    int interfaceScale();
    void setInterfaceScale(int percent);

    static constexpr int MaxRecentDatabases = 5;
    // The databases opened before, most recent first; a value that is not a
    // list of paths reads as none.
    QStringList recentDatabases();
    // Puts `path` first in the recent databases (once), keeping at most
    // MaxRecentDatabases.
    void addRecentDatabase(const QString &path);

    // The group "Classroom" (see ClassroomSettings); the defaults, with the
    // classroom off, when the group is missing or the file is damaged. A
    // port that is not 1..65535 reads as the default.
    ClassroomSettings classroom();
    void setClassroom(const ClassroomSettings &values);

    bool isOpen() const { return m_settings != nullptr; }
    // Releases the access; later reads and writes open it again.
    void release();

private:
    QSettings &settings();
    int readInteger(const QString &name, int fallback, QStringList *repaired = nullptr);
    QString readString(const QString &name, QStringList *repaired = nullptr);
    void writeValue(const QString &name, const QVariant &value);
    QString writeFailureMessage() const;
    // Renames an unparsable settings file to a free name beside it; returns
    // the new path, or an empty string when the rename failed.
    QString setDamagedFileAside();
    // Whether the file's bytes cannot be a settings file of the program:
    // too large, not UTF-8 text, NUL bytes, or a value QSettings would
    // decode as a serialized object (see the definition for why that is
    // refused). Looked at before QSettings reads the file.
    bool bytesLookDamaged() const;
    // Whether QSettings finds at least one of the program's values in it.
    bool holdsOwnValue();

    QString m_location;
    std::unique_ptr<QSettings> m_settings;
    // Where the settings live for this run when the file itself must not be
    // read and could not be set aside; empty otherwise.
    std::unique_ptr<QTemporaryDir> m_scratch;
    // A refused write has been reported; later ones are not.
    bool m_writeFailureReported = false;
    // While openSettings runs, a refused write lands here instead of throwing.
    QStringList *m_startupWarnings = nullptr;
};
