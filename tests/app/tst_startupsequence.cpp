// The start-up sequence without any window: a host that records what would
// be shown, a sandboxed program folder and settings file.
#include "appsandbox.h"
#include "questiondatabase.h"
#include "smallfilesystem.h"
#include "startupsequence.h"
#include "statisticsfile.h"
#include "statrecord.h"
#include "ticketstatus.h"

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

// Kol as the file holds it: QSettings in this process would also show a
// value it failed to write.
QString launchCountOnDisk(const QString &settingsFile)
{
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Kol="))
            return QString::fromLatin1(line.mid(4).trimmed());
    }
    return QStringLiteral("<missing>");
}

// What the learner is asked and told, in order, each by its kind.
QStringList messageKinds(const QStringList &events)
{
    QStringList kinds;
    for (const QString &event : events) {
        if (event.startsWith(QStringLiteral("choose in ")))
            kinds << QStringLiteral("choose");
        else if (event.contains(QStringLiteral("Не удалось сохранить настройки")))
            kinds << QStringLiteral("settings not saved");
        else if (event == QStringLiteral("warn ") + Missing)
            kinds << QStringLiteral("database missing");
        else if (event.contains(QStringLiteral("Не удалось сохранить результаты")))
            kinds << QStringLiteral("progress not saved");
        else if (event.startsWith(QStringLiteral("warn ") +
                                  QString::fromUtf8(StatisticsFile::DamagedMessage)))
            kinds << QStringLiteral("progress unusable");
        else if (event.startsWith(QStringLiteral("warn ")) ||
                 event.startsWith(QStringLiteral("inform ")))
            kinds << event;
    }
    return kinds;
}

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
    // The launch counter is written on worker threads; what they find is
    // told where the sequence always told it.
    void run_writeRefused_toldInItsPlace_data();
    void run_writeRefused_toldInItsPlace();
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

void TestStartupSequence::run_writeRefused_toldInItsPlace_data()
{
    QTest::addColumn<bool>("settingsReadOnly");
    QTest::addColumn<bool>("progressDiskFull");
    QTest::addColumn<bool>("progressExists");
    QTest::addColumn<bool>("databaseStored"); // false: the stored one is gone, one is chosen
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("kol");

    QTest::newRow("settings read-only")
        << true << false << true << true << QStringList{"settings not saved"} << true << "4";
    QTest::newRow("settings read-only, then the database is asked for")
        << true << false << true << false
        << QStringList{"settings not saved", "database missing", "choose"} << true << "4";
    QTest::newRow("settings read-only and progress disk full: settings first")
        << true << true << true << true << QStringList{"settings not saved", "progress not saved"}
        << true << "4";
    QTest::newRow("progress disk full: progress kept, the learner goes on")
        << false << true << true << true << QStringList{"progress not saved"} << true << "5";
    QTest::newRow("progress cannot be created: stop, the launch still counted")
        << false << true << false << true << QStringList{"progress unusable"} << false << "5";
    QTest::newRow("settings read-only and progress cannot be created")
        << true << true << false << true << QStringList{"settings not saved", "progress unusable"}
        << false << "4";
}

void TestStartupSequence::run_writeRefused_toldInItsPlace()
{
    QFETCH(bool, settingsReadOnly);
    QFETCH(bool, progressDiskFull);
    QFETCH(bool, progressExists);
    QFETCH(bool, databaseStored);
    QFETCH(QStringList, messages);
    QFETCH(bool, goesOn);
    QFETCH(QString, kol);

    // Root writes through file permissions; a read-only or full tmpfs stops anyone.
    SmallFileSystem settingsDisk;
    SmallFileSystem progressDisk;
    if (!settingsDisk.isMounted() || !progressDisk.isMounted())
        QSKIP(qPrintable(settingsDisk.skipReason()));
    AppSandbox sandbox;
    sandbox.paths.settingsLocation = settingsDisk.filePath(QStringLiteral("Kiv.conf"));
    sandbox.paths.programFolder = progressDisk.filePath(QString());
    const QString db = sandbox.writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=4\nRnd=1\nSta=1\nTim=4\nBas=") +
                          (databaseStored ? db : sandbox.path(QStringLiteral("gone/old.dbv"))));
    if (settingsReadOnly)
        QVERIFY(settingsDisk.makeReadOnly());
    StatRecord stored;
    stored.setTicketStatus(7, TicketStatus::TrainingPassed);
    if (progressExists) {
        QFile stat(sandbox.statisticsFile());
        QVERIFY(stat.open(QIODevice::WriteOnly));
        stat.write(stored.toBytes());
    }
    if (progressDiskFull)
        progressDisk.fill();

    SettingsStore settings(sandbox.paths.settingsLocation);
    RecordingHost host;
    host.nextFile = db;
    StartupSequence startup(sandbox.paths, settings, host);
    QCOMPARE(startup.run(), goesOn);

    QCOMPARE(messageKinds(host.events), messages);
    settings.release();
    QCOMPARE(launchCountOnDisk(sandbox.paths.settingsLocation), kol);
    if (goesOn) {
        // The record read is worked with whether or not it reached the file.
        QCOMPARE(globalStatRecord().launchCount(), 5);
        QCOMPARE(globalStatRecord().ticketStatus(7), int(TicketStatus::TrainingPassed));
    } else {
        QCOMPARE(globalStatRecord().launchCount(), 0); // left as it was
    }
    if (progressExists && progressDiskFull) {
        QFile stat(sandbox.statisticsFile());
        QVERIFY(stat.open(QIODevice::ReadOnly));
        QCOMPARE(stat.readAll(), stored.toBytes());
    }
}

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
