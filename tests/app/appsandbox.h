#pragma once

#include "programpaths.h"

#include <QString>
#include <QTemporaryDir>

// A throw-away world for one program run: a program folder, an installed
// data folder, a user data folder and the settings file, all in a temporary
// folder. Restores the process's current folder when it goes.
class AppSandbox
{
public:
    AppSandbox();
    ~AppSandbox();

    bool isValid() const { return m_dir.isValid(); }
    ProgramPaths paths;

    // A path inside the sandbox.
    QString path(const QString &relative) const;
    QString programFile(const QString &name) const;

    // Writes a synthetic database; returns its full path.
    QString writeDatabase(const QString &relative, const QString &title);
    // Replaces the settings file by this INI body (without the section line).
    void writeSettings(const QString &values);
    bool settingsExist() const;
    // A stored value as text, "<missing>" when absent.
    QString stored(const QString &name) const;
    // "stat.dat" of the program folder.
    QString statisticsFile() const { return programFile(QStringLiteral("stat.dat")); }

private:
    QTemporaryDir m_dir;
    QString m_startFolder;
};
