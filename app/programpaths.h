#pragma once

#include <QString>
#include <QStringList>

// The folders the program works with. The program takes standard(); tests
// point everything at temporary folders.
struct ProgramPaths
{
    // Folder of the executable: searched for a standard database on a first
    // run, the start folder of the first run's database dialogue, and the
    // home of "stat.dat" when it is writable.
    QString programFolder;
    // The settings key (see SettingsStore).
    QString settingsLocation;
    // Searched after the program folder for a standard database on a first
    // run: where an installed program finds the demo database.
    QStringList databaseFolders;
    // Home of "stat.dat" for an installed program, or when the program
    // folder is not writable: the user's data folder.
    QString dataFolder;
    // The program runs from its installed place (its data folder sits beside
    // it), not from a build or unpacked folder.
    bool installed = false;

    static ProgramPaths standard();

    // The folder that holds "stat.dat": the program folder of a program that
    // is not installed, when the user may write there; else dataFolder
    // (created when missing).
    QString progressFolder() const;

    // A program folder that was writable once held "stat.dat"; when it no
    // longer is, progressFolder() moves on and the progress would seem lost.
    // carryOverProgress() copies that "stat.dat" into progressFolder() when
    // the progress folder has none yet. The original is never moved or
    // changed, and a later run finds the copy, so this happens once.
    enum class CarryOver
    {
        NotNeeded,
        Copied,
        Failed
    };
    CarryOver carryOverProgress(QString *failureReason = nullptr) const;
    // "stat.dat" in the program folder, where carryOverProgress() looks.
    QString programFolderProgressFile() const;
};
