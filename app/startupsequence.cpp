#include "startupsequence.h"

#include "databaseopening.h"
#include "instancelock.h"
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

StartupSequence::~StartupSequence() = default;

std::unique_ptr<InstanceLock> StartupSequence::takeInstanceLock()
{
    return std::move(m_instanceLock);
}

bool StartupSequence::run()
{
    // Before anything is read or written: a second copy of the program ends
    // without touching the settings or the progress of the first.
    const QString progressFolder = m_paths.progressFolder();
    m_instanceLock = std::make_unique<InstanceLock>(progressFolder);
    if (!m_instanceLock->tryLock()) {
        if (m_instanceLock->heldByAnotherProgram()) {
            m_host.warn(InstanceLock::alreadyRunningMessage());
            return false;
        }
        if (!m_instanceLock->refusal().isEmpty()) {
            m_host.warn(m_instanceLock->refusal());
            return false;
        }
    }

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
    for (const QString &warning : startup.warnings)
        m_host.warn(warning);
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
    QDir::setCurrent(progressFolder);
    carryOverProgress();
    try {
        loadOrCreateStatistics(globalStatRecord(), storedLaunchCount(m_settings, m_launchCount));
    } catch (const StatisticsError &e) {
        m_host.warn(e.message());
        // Progress that was read but not written back is still worked with.
        if (e.kind() == StatisticsError::Unusable)
            return false;
    }
    return true;
}

void StartupSequence::carryOverProgress()
{
    QString reason;
    const QString original = QDir::toNativeSeparators(m_paths.programFolderProgressFile());
    switch (m_paths.carryOverProgress(&reason)) {
    case ProgramPaths::CarryOver::NotNeeded:
        break;
    case ProgramPaths::CarryOver::Copied:
        m_host.inform(QStringLiteral("В папку программы нельзя записывать, поэтому результаты "
                                     "занятий скопированы из \"%1\" в папку \"%2\" и теперь "
                                     "хранятся там. Прежний файл оставлен без изменений.")
                          .arg(original, QDir::toNativeSeparators(QDir::currentPath())));
        break;
    case ProgramPaths::CarryOver::Failed:
        m_host.warn(QStringLiteral("Не удалось скопировать результаты занятий из "
                                   "\"%1\": %2. Прежний файл оставлен без изменений.")
                        .arg(original, reason));
        break;
    }
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
