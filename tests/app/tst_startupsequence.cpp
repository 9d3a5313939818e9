// The start-up sequence without any window: a host that records what would
// be shown, a sandboxed program folder and settings file.
#include "appsandbox.h"
#include "questiondatabase.h"
#include "startupsequence.h"
#include "statisticsfile.h"
#include "statrecord.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

class RecordingHost : public StartupHost
{
public:
    QStringList events;
    QString nextFile;

    void warn(const QString &text) override { events << QStringLiteral("warn ") + text; }
    void inform(const QString &text) override { events << QStringLiteral("inform ") + text; }
    QString chooseDatabaseFile(const QString &folder) override
    {
        events << QStringLiteral("choose in ") + folder;
        return nextFile;
    }
    void applyStoredMarks(const SettingsStore::Startup &stored) override
    {
        events << QStringLiteral("marks %1 %2 %3")
                      .arg(stored.shuffle)
                      .arg(stored.showStatistics)
                      .arg(stored.timeCode);
    }
    void applyDefaultTimeLimit() override { events << QStringLiteral("default time"); }
    void showDatabaseTitle(const QString &title) override
    {
        events << QStringLiteral("title ") + title;
    }
};

const QString Missing = QStringLiteral("Отсутствует база вопросов, укажите ее местоположение! ");
const QString Failure = QStringLiteral("Сбой базы вопросов, переустановите базу данных! ");

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        globalQuestionDatabase().closeDatabase();
        globalStatRecord() = StatRecord();
    }

    void run_laterRun_appliesMarksOpensDatabaseAndLoadsProgress();
    void run_noDatabaseChosen_stopsAndTakesBackTheLaunch();
    void run_damagedProgress_stopsAndKeepsTheLaunch();
};

void TestStartupSequence::run_laterRun_appliesMarksOpensDatabaseAndLoadsProgress()
{
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=4\nRnd=2\nSta=1\nTim=6\nBas=") + db);
    SettingsStore settings(sandbox.paths.settingsLocation);
    RecordingHost host;

    StartupSequence startup(sandbox.paths, settings, host);
    QVERIFY(startup.run());
    QCOMPARE(host.events, (QStringList{"marks 2 1 6", "title База"}));
    QVERIFY(!startup.firstRun());
    QCOMPARE(startup.launchCount(), 5);
    QCOMPARE(startup.databasePath(), db);
    QVERIFY(globalQuestionDatabase().isOpen());
    QCOMPARE(globalStatRecord().launchCount(), 5);
    QCOMPARE(QDir::current().absolutePath(), QDir(sandbox.paths.programFolder).absolutePath());
    QVERIFY(QFile::exists(sandbox.statisticsFile()));
    settings.release();
}

void TestStartupSequence::run_noDatabaseChosen_stopsAndTakesBackTheLaunch()
{
    AppSandbox sandbox;
    sandbox.writeSettings(QStringLiteral("Kol=4\nRnd=1\nSta=1\nTim=4\nBas="));
    SettingsStore settings(sandbox.paths.settingsLocation);
    RecordingHost host;

    StartupSequence startup(sandbox.paths, settings, host);
    QVERIFY(!startup.run());
    QCOMPARE(host.events, (QStringList{"marks 1 1 4", "warn " + Missing,
                                       "choose in " + QDir::homePath(), "warn " + Failure}));
    settings.release();
    QCOMPARE(sandbox.stored(QStringLiteral("Kol")), QStringLiteral("4"));
    QVERIFY(!QFile::exists(sandbox.statisticsFile()));
}

void TestStartupSequence::run_damagedProgress_stopsAndKeepsTheLaunch()
{
    AppSandbox sandbox;
    const QString db = sandbox.writeDatabase(QStringLiteral("program/dataAB.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=2\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    QFile stat(sandbox.statisticsFile());
    QVERIFY(stat.open(QIODevice::WriteOnly));
    stat.write(QByteArray(100, '\0')); // shorter than one record
    stat.close();
    SettingsStore settings(sandbox.paths.settingsLocation);
    RecordingHost host;

    StartupSequence startup(sandbox.paths, settings, host);
    QVERIFY(!startup.run());
    QVERIFY2(host.events.last().startsWith(QStringLiteral("warn ") +
                                           QString::fromUtf8(StatisticsFile::DamagedMessage)),
             qPrintable(host.events.last()));
    settings.release();
    QCOMPARE(sandbox.stored(QStringLiteral("Kol")), QStringLiteral("3"));
}

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
