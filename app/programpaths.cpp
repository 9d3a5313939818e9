#include "programpaths.h"

#include "settingsstore.h"
#include "statisticsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

QString ProgramPaths::programFolderProgressFile() const
{
    return QDir(programFolder).filePath(QString::fromLatin1(StatisticsFile::FileName));
}

ProgramPaths::CarryOver ProgramPaths::carryOverProgress(QString *failureReason) const
{
    const QString folder = progressFolder();
    const QString original = programFolderProgressFile();
    const QString copy = QDir(folder).filePath(QString::fromLatin1(StatisticsFile::FileName));
    const QFileInfo originalInfo(original);
    if (QFileInfo(folder) == QFileInfo(programFolder) || !originalInfo.isFile() ||
        QFileInfo::exists(copy))
        return CarryOver::NotNeeded;
    QFile source(original);
    if (!source.copy(copy)) {
        if (failureReason)
            *failureReason = source.errorString();
        return CarryOver::Failed;
    }
    // The copy takes the original's permissions; it must be writable here.
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
    return CarryOver::Copied;
}
