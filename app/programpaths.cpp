#include "programpaths.h"

#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramPaths ProgramPaths::standard()
{
    ProgramPaths paths;
    paths.programFolder = QCoreApplication::applicationDirPath();
    paths.settingsLocation = SettingsStore::defaultLocation();
    // ZELTRAK_DATA_FROM_BIN: the installed data folder relative to the
    // installed program, e.g. "../share/zeltrak".
    const QString installedData =
        QDir::cleanPath(QDir(paths.programFolder).filePath(QStringLiteral(ZELTRAK_DATA_FROM_BIN)));
    paths.databaseFolders = {installedData};
    paths.installed = QFileInfo(installedData).isDir();
    paths.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return paths;
}

QString ProgramPaths::progressFolder() const
{
    const QFileInfo program(programFolder);
    if (!installed && program.isDir() && program.isWritable())
        return program.absoluteFilePath();
    QDir().mkpath(dataFolder);
    return dataFolder;
}
