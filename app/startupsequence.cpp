#include "startupsequence.h"

#include "databaseopening.h"
#include "programrandom.h"
#include "statisticsfile.h"
#include "statrecord.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString DamagedDatabase =
    QStringLiteral("Файл с данными поврежден! Переустановите базу данных! ");
const QString MissingDatabase =
    QStringLiteral("Отсутствует база вопросов, укажите ее местоположение! ");
const QString DatabaseFailure = QStringLiteral("Сбой базы вопросов, переустановите базу данных! ");
const QString NoDataFile = QStringLiteral("Нет файла с данными! Переустановите базу данных! ");

} // namespace

StartupSequence::StartupSequence(const ProgramPaths &paths, SettingsStore &settings,
                                 StartupHost &host)
    : m_paths(paths), m_settings(settings), m_host(host)
{
}

bool StartupSequence::run()
{
    ProgramRandom::randomize();

    SettingsStore::Startup startup;
    try {
        startup = m_settings.openSettings(
            m_paths.programFolder, m_paths.databaseFolders,
            [this](const SettingsStore::Startup &stored) { m_host.applyStoredMarks(stored); });
        m_launchCount = startup.launchCount;
    } catch (const SettingsError &e) {
        // The program still works without a writable store; the user learns
        // why nothing will be remembered.
        m_host.warn(e.message());
        m_host.applyDefaultTimeLimit();
    }
    if (!startup.repairedValues.isEmpty()) {
        qWarning("Settings %s were missing or damaged and were reset to their first-run values",
                 qPrintable(startup.repairedValues.join(QStringLiteral(", "))));
    }
    m_firstRun = startup.firstRun;
    m_databasePath = startup.databasePath;

    if (!openDatabase()) {
        takeBackLaunch();
        return false;
    }

    // "stat.dat" lives in one place for every run (see ProgramPaths), so
    // progress does not depend on the folder the program was started from.
    QDir::setCurrent(m_paths.progressFolder());
    try {
        loadOrCreateStatistics(globalStatRecord(), storedLaunchCount(m_settings, m_launchCount));
    } catch (const StatisticsError &e) {
        m_host.warn(e.message());
        return false;
    }
    return true;
}

bool StartupSequence::openDatabase()
{
    if (!m_databasePath.isEmpty() && QFileInfo(m_databasePath).isFile()) {
        try {
            m_host.showDatabaseTitle(DatabaseOpening::open(m_databasePath));
            return true;
        } catch (const std::exception &) {
            m_host.warn(DamagedDatabase);
            try {
                m_settings.setDatabasePath(QString());
            } catch (const SettingsError &) {
                // The stop follows anyway; the next start asks again.
            }
            return false;
        }
    }

    m_host.warn(MissingDatabase);
    const QString chosen = m_host.chooseDatabaseFile(
        DatabaseOpening::dialogStartFolder(m_paths, m_firstRun, m_databasePath));
    if (chosen.isEmpty()) {
        m_host.warn(DatabaseFailure);
        return false;
    }
    const QFileInfo chosenFile(chosen);
    if (!chosenFile.isFile()) {
        m_host.warn(NoDataFile);
        return false;
    }
    try {
        m_host.showDatabaseTitle(DatabaseOpening::open(chosen));
    } catch (const std::exception &) {
        m_host.warn(DatabaseFailure);
        return false;
    }
    m_databasePath = QDir::toNativeSeparators(chosenFile.absoluteFilePath());
    try {
        m_settings.setDatabasePath(m_databasePath);
    } catch (const SettingsError &e) {
        m_host.warn(e.message());
    }
    return true;
}

void StartupSequence::takeBackLaunch()
{
    try {
        m_settings.decrementLaunchCount();
    } catch (const SettingsError &) {
        // Nothing more can be done about the counter; the program ends.
    }
}

int storedLaunchCount(SettingsStore &settings, int &lastKnown)
{
    try {
        lastKnown = settings.launchCount();
    } catch (const SettingsError &) {
        // The value could not be repaired in the store; the count of this
        // run still stands.
    }
    return lastKnown;
}
