#include "appsandbox.h"

#include "syntheticdatabase.h"

#include <QDir>
#include <QFile>
#include <QSettings>

AppSandbox::AppSandbox() : m_startFolder(QDir::currentPath())
{
    for (const char *folder : {"program", "share", "userdata", "config"})
        QDir().mkpath(path(QString::fromLatin1(folder)));
    paths.programFolder = path(QStringLiteral("program"));
    paths.databaseFolders = {path(QStringLiteral("share"))};
    paths.dataFolder = path(QStringLiteral("userdata"));
    paths.settingsLocation = path(QStringLiteral("config/Microsoft/Kiv.conf"));
}

AppSandbox::~AppSandbox()
{
    QDir::setCurrent(m_startFolder);
}

QString AppSandbox::path(const QString &relative) const
{
    return m_dir.filePath(relative);
}

QString AppSandbox::programFile(const QString &name) const
{
    return QDir(paths.programFolder).filePath(name);
}

QString AppSandbox::writeDatabase(const QString &relative, const QString &title)
{
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).path());
    if (!SyntheticDatabase::write(file, title))
        return {};
    return file;
}

void AppSandbox::writeSettings(const QString &values)
{
    QDir().mkpath(QFileInfo(paths.settingsLocation).path());
    QFile file(paths.settingsLocation);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QStringLiteral("[General]\n%1\n").arg(values).toUtf8());
}

bool AppSandbox::settingsExist() const
{
    return QFile::exists(paths.settingsLocation);
}

QString AppSandbox::stored(const QString &name) const
{
    QSettings settings(paths.settingsLocation, QSettings::IniFormat);
    const QVariant value = settings.value(name);
    return value.isValid() ? value.toString() : QStringLiteral("<missing>");
}
