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
    start();
    return finish();
}

void StartupSequence::start()
{
    m_started = runUntilWrites();
}

bool StartupSequence::finish()
{
    joinSettingsWrite();
    if (!m_started)
        return false;
    const std::optional<StatisticsError> failure = m_statisticsWrite.join();
    // As loadOrCreateStatistics leaves it: a record that could not be
    // created is not taken, one that was read is, saved or not.
    if (!failure || failure->kind() == StatisticsError::NotSaved)
        globalStatRecord() = m_statistics.record;
    return !failure || reportStatistics(*failure);
}

bool StartupSequence::runUntilWrites()
{
    // Before anything is read or written: a second copy of the program ends
    // without touching the settings or the progress of the first.
    const QString progressFolder = m_paths.progressFolder();
    m_instanceLock = std::make_unique<InstanceLock>(progressFolder);
    if (!m_instanceLock->tryLock()) {
        if (m_instanceLock->heldByAnotherProgram()) {
            warn(InstanceLock::alreadyRunningMessage());
            return false;
        }
        if (!m_instanceLock->refusal().isEmpty()) {
            warn(m_instanceLock->refusal());
            return false;
        }
    }

    ProgramRandom::randomize();

    SettingsStore::Startup startup;
    try {
        startup = m_settings.openSettings(
            m_paths.programFolder, m_paths.databaseFolders,
            [this](const SettingsStore::Startup &stored) { m_host.applyStoredMarks(stored); },
            SettingsStore::LaunchCounting::ByCaller);
        m_launchCount = startup.launchCount;
    } catch (const SettingsError &e) {
        // The program still works without a writable store; the user learns
        // why nothing will be remembered.
        warn(e.message());
        m_host.applyDefaultTimeLimit();
    }
    if (startup.launchCountToWrite) {
        // The value is known; the sequence reads nothing more from the store
        // until the write is joined.
        m_settingsWrite.start([&store = m_settings, count = m_launchCount]() -> QString {
            try {
                store.setLaunchCount(count);
            } catch (const SettingsError &e) {
                return e.message();
            }
            return {};
        });
    }
    // Each is shown after the counter's write is joined. On a later run the
    // only warning is that the settings cannot be saved, said once whichever
    // write was refused first.
    for (const QString &warning : startup.warnings)
        warn(warning);
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
    return startStatisticsWrite();
}

bool StartupSequence::startStatisticsWrite()
{
    // While the counter's write is pending, the store is about to hold the
    // count being written.
    const int launch =
        m_settingsWrite.isPending() ? m_launchCount : storedLaunchCount(settings(), m_launchCount);
    try {
        m_statistics = readStatisticsAtStart(launch);
    } catch (const StatisticsError &e) {
        // A file that cannot be read cannot be worked with.
        warn(e.message());
        return false;
    }
    m_statisticsWrite.start(
        [statistics = m_statistics] { return writeStatisticsAtStart(statistics); });
    return true;
}

bool StartupSequence::reportStatistics(const StatisticsError &error)
{
    warn(error.message());
    // Progress that was read but not written back is still worked with.
    return error.kind() != StatisticsError::Unusable;
}

SettingsStore &StartupSequence::settings()
{
    joinSettingsWrite();
    return m_settings;
}

void StartupSequence::joinSettingsWrite()
{
    if (const QString refusal = m_settingsWrite.join(); !refusal.isEmpty())
        m_host.warn(refusal);
}

void StartupSequence::warn(const QString &text)
{
    joinSettingsWrite();
    m_host.warn(text);
}

void StartupSequence::inform(const QString &text)
{
    joinSettingsWrite();
    m_host.inform(text);
}

QString StartupSequence::chooseDatabaseFile(const QString &folder)
{
    joinSettingsWrite();
    return m_host.chooseDatabaseFile(folder);
}

void StartupSequence::carryOverProgress()
{
    QString reason;
    const QString original = QDir::toNativeSeparators(m_paths.programFolderProgressFile());
    switch (m_paths.carryOverProgress(&reason)) {
    case ProgramPaths::CarryOver::NotNeeded:
        break;
    case ProgramPaths::CarryOver::Copied:
        inform(QStringLiteral("В папку программы нельзя записывать, поэтому результаты "
                              "занятий скопированы из \"%1\" в папку \"%2\" и теперь "
                              "хранятся там. Прежний файл оставлен без изменений.")
                   .arg(original, QDir::toNativeSeparators(QDir::currentPath())));
        break;
    case ProgramPaths::CarryOver::Failed:
        warn(QStringLiteral("Не удалось скопировать результаты занятий из "
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
            warn(DamagedDatabase);
            try {
                settings().setDatabasePath(QString());
            } catch (const SettingsError &) {
                // The stop follows anyway; the next start asks again.
            }
            return false;
        }
    }

    warn(MissingDatabase);
    const QString chosen =
        chooseDatabaseFile(DatabaseOpening::dialogStartFolder(m_paths, m_firstRun, m_databasePath));
    if (chosen.isEmpty()) {
        warn(DatabaseFailure);
        return false;
    }
    const QFileInfo chosenFile(chosen);
    if (!chosenFile.isFile()) {
        warn(NoDataFile);
        return false;
    }
    try {
        m_host.showDatabaseTitle(DatabaseOpening::open(chosen));
    } catch (const std::exception &) {
        warn(DatabaseFailure);
        return false;
    }
    m_databasePath = QDir::toNativeSeparators(chosenFile.absoluteFilePath());
    try {
        settings().setDatabasePath(m_databasePath);
    } catch (const SettingsError &e) {
        warn(e.message());
    }
    return true;
}

void StartupSequence::takeBackLaunch()
{
    try {
        settings().decrementLaunchCount();
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
