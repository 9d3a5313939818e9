#include "settingsstore.h"
#include "smallfilesystem.h"
#include "specialfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The settings store against INI files in a temporary folder.
class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstRun_writesDefaultsAndLocatesDatabase_data();
    void firstRun_writesDefaultsAndLocatesDatabase();
    void laterRun_countsLaunchAndReadsValuesWithoutSearching();
    void laterRun_repairsMissingOrMistypedValues_data();
    void laterRun_repairsMissingOrMistypedValues();
    void decrementLaunchCount_data();
    void decrementLaunchCount();
    void writes_reachTheFileAtOnce();
    void write_sameValue_leavesTheFileAlone_data();
    void write_sameValue_leavesTheFileAlone();
    void write_refused_throwsSettingsError();
    void recentDatabases_mostRecentFirstAtMostFive_data();
    void recentDatabases_mostRecentFirstAtMostFive();
    void defaultLocation_followsXdgConfigHome();

    // A store that cannot be written or parsed does not lose what it holds.
    void openSettings_readOnlyStore_readsEverythingAndWarnsOnce();
    void openSettings_unwritableFirstRun_stillFindsStandardDatabase();
    void openSettings_garbageFile_keptAsideAndStartsAsFirstRun();
    void openSettings_serializedObject_keptAsideWithoutDecodingIt();
    void openSettings_serializedObjectInReadOnlyFolder_neverDecoded();
    void openSettings_unreadableFile_findsStandardDatabase();
    void openSettings_damagedContent_keptAsideAndStartsAsFirstRun_data();
    void openSettings_damagedContent_keptAsideAndStartsAsFirstRun();
    void openSettings_notAFile_leftAloneAndStartsAsFirstRun_data();
    void openSettings_notAFile_leftAloneAndStartsAsFirstRun();

private:
    QString settingsPath() const
    {
        return m_dir->filePath(QStringLiteral("config/Microsoft/Kiv.conf"));
    }
    QString programFolder() const { return m_dir->filePath(QStringLiteral("program")); }
    QString extraFolder() const { return m_dir->filePath(QStringLiteral("share")); }
    void writeIni(const QString &body);
    QString stored(const QString &name);
    void touch(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startFolder;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir().mkpath(programFolder());
    QDir().mkpath(extraFolder());
    m_startFolder = QDir::currentPath();
}

void TestSettingsStore::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_dir.reset();
}

void TestSettingsStore::writeIni(const QString &body)
{
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(body.toUtf8());
}

QString TestSettingsStore::stored(const QString &name)
{
    // The raw text in the file, as another program would see it.
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file>");
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(name.toUtf8() + '='))
            return QString::fromUtf8(line.mid(name.size() + 1)).trimmed();
    }
    return QStringLiteral("<missing>");
}

void TestSettingsStore::touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestSettingsStore::firstRun_writesDefaultsAndLocatesDatabase_data()
{
    QTest::addColumn<QStringList>("inProgramFolder");
    QTest::addColumn<QStringList>("inExtraFolder");
    QTest::addColumn<QString>("expectedBas"); // relative to the temporary folder

    QTest::newRow("none anywhere") << QStringList() << QStringList() << QString();
    QTest::newRow("CD before ABL")
        << QStringList{"dataABL.dbv", "dataCD.dbv"} << QStringList() << "program/dataCD.dbv";
    QTest::newRow("all four: AB") << QStringList{"dataCDL.dbv", "dataABL.dbv", "dataCD.dbv",
                                                 "dataAB.dbv"}
                                  << QStringList() << "program/dataAB.dbv";
    QTest::newRow("other names ignored")
        << QStringList{"dataab.dbv.bak", "dataEF.dbv"} << QStringList() << QString();
    QTest::newRow("installed data folder")
        << QStringList() << QStringList{"dataCDL.dbv"} << "share/dataCDL.dbv";
    QTest::newRow("program folder wins")
        << QStringList{"dataCDL.dbv"} << QStringList{"dataAB.dbv"} << "program/dataCDL.dbv";
}

void TestSettingsStore::firstRun_writesDefaultsAndLocatesDatabase()
{
    QFETCH(QStringList, inProgramFolder);
    QFETCH(QStringList, inExtraFolder);
    QFETCH(QString, expectedBas);
    for (const QString &name : inProgramFolder)
        touch(QDir(programFolder()).filePath(name));
    for (const QString &name : inExtraFolder)
        touch(QDir(extraFolder()).filePath(name));
    // A folder with a standard name is not a database.
    QDir(programFolder()).mkdir(QStringLiteral("dataAB.dbv.d"));

    SettingsStore store(settingsPath());
    QVERIFY(!store.keyExists());
    // The marks are set (and the time item writes Tim) before the search.
    int marksCalls = 0;
    const SettingsStore::Startup startup = store.openSettings(
        programFolder(), {extraFolder()}, [&](const SettingsStore::Startup &marks) {
            ++marksCalls;
            QCOMPARE(marks.timeCode, 4);
            QCOMPARE(stored("Tim"), QStringLiteral("4"));
            QCOMPARE(stored("Bas"), QStringLiteral("<missing>"));
        });
    QCOMPARE(marksCalls, 1);

    QVERIFY(startup.firstRun);
    QVERIFY(store.keyExists());
    QCOMPARE(startup.launchCount, 1);
    QCOMPARE(startup.shuffle, 1);
    QCOMPARE(startup.showStatistics, 1);
    QCOMPARE(startup.timeCode, 4);
    const QString bas =
        expectedBas.isEmpty() ? QString() : QDir::toNativeSeparators(m_dir->filePath(expectedBas));
    QCOMPARE(startup.databasePath, bas);
    QCOMPARE(stored("Kol"), QStringLiteral("1"));
    QCOMPARE(stored("Rnd"), QStringLiteral("1"));
    QCOMPARE(stored("Sta"), QStringLiteral("1"));
    QCOMPARE(stored("Tim"), QStringLiteral("4"));
    QCOMPARE(store.databasePath(), bas);
    // The first run works in the program folder.
    QCOMPARE(QDir::current().canonicalPath(), QDir(programFolder()).canonicalPath());
}

void TestSettingsStore::laterRun_countsLaunchAndReadsValuesWithoutSearching()
{
    writeIni(QStringLiteral("[General]\nKol=41\nRnd=0\nSta=1\nTim=6\nBas=\n"));
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));

    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder(), {extraFolder()});

    QVERIFY(!startup.firstRun);
    QCOMPARE(startup.launchCount, 42);
    QCOMPARE(stored("Kol"), QStringLiteral("42"));
    QCOMPARE(startup.shuffle, 0);
    QCOMPARE(startup.showStatistics, 1);
    QCOMPARE(startup.timeCode, 6);
    QCOMPARE(startup.databasePath, QString()); // no search on a later run
    QVERIFY(startup.repairedValues.isEmpty());
    QCOMPARE(QDir::currentPath(), m_startFolder); // and no change of folder
    QCOMPARE(store.launchCount(), 42);

    // Released and opened again, the store still reads the same file.
    store.release();
    QCOMPARE(store.launchCount(), 42);
}

void TestSettingsStore::laterRun_repairsMissingOrMistypedValues_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<int>("launch");
    QTest::addColumn<int>("shuffle");
    QTest::addColumn<int>("showStatistics");
    QTest::addColumn<int>("timeCode");
    QTest::addColumn<QString>("bas");
    QTest::addColumn<QStringList>("repaired");

    QTest::newRow("all present") << "Kol=3\nRnd=1\nSta=0\nTim=2\nBas=/x/dataAB.dbv" << 4 << 1 << 0
                                 << 2 << "/x/dataAB.dbv" << QStringList();
    QTest::newRow("only Bas") << "Bas=/x/dataAB.dbv" << 1 << 1 << 1 << 4 << "/x/dataAB.dbv"
                              << QStringList{"Kol", "Rnd", "Sta", "Tim"};
    QTest::newRow("Kol text") << "Kol=abc\nRnd=1\nSta=1\nTim=4" << 1 << 1 << 1 << 4 << ""
                              << QStringList{"Kol"};
    QTest::newRow("Kol beyond 32 bits")
        << "Kol=99999999999\nRnd=1\nSta=1\nTim=4" << 1 << 1 << 1 << 4 << "" << QStringList{"Kol"};
    QTest::newRow("Kol 0 after a failed first run")
        << "Kol=0\nRnd=1\nSta=1\nTim=4" << 1 << 1 << 1 << 4 << "" << QStringList();
    QTest::newRow("Rnd 2 is kept, not 1")
        << "Kol=1\nRnd=2\nSta=1\nTim=4" << 2 << 2 << 1 << 4 << "" << QStringList();
    QTest::newRow("Sta and Tim text") << "Kol=1\nRnd=1\nSta=yes\nTim=10:00" << 2 << 1 << 1 << 4
                                      << "" << QStringList{"Sta", "Tim"};
    QTest::newRow("Tim out of range is kept")
        << "Kol=1\nRnd=1\nSta=1\nTim=7" << 2 << 1 << 1 << 7 << "" << QStringList();
    QTest::newRow("Bas not a string")
        << "Kol=1\nRnd=1\nSta=1\nTim=4\nBas=a, b" << 2 << 1 << 1 << 4 << "" << QStringList{"Bas"};
}

void TestSettingsStore::laterRun_repairsMissingOrMistypedValues()
{
    QFETCH(QString, ini);
    QFETCH(int, launch);
    QFETCH(int, shuffle);
    QFETCH(int, showStatistics);
    QFETCH(int, timeCode);
    QFETCH(QString, bas);
    QFETCH(QStringList, repaired);
    writeIni(QStringLiteral("[General]\n") + ini + QLatin1Char('\n'));

    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder());

    QVERIFY(!startup.firstRun);
    QCOMPARE(startup.launchCount, launch);
    QCOMPARE(startup.shuffle, shuffle);
    QCOMPARE(startup.showStatistics, showStatistics);
    QCOMPARE(startup.timeCode, timeCode);
    QCOMPARE(startup.databasePath, bas);
    QCOMPARE(startup.repairedValues, repaired);
    // Every repaired value is in the file now, as a proper value.
    QCOMPARE(stored("Kol"), QString::number(launch));
    QCOMPARE(stored("Rnd"), QString::number(shuffle));
    QCOMPARE(stored("Sta"), QString::number(showStatistics));
    QCOMPARE(stored("Tim"), QString::number(timeCode));
    if (repaired.contains(QStringLiteral("Bas")))
        QCOMPARE(store.databasePath(), QString());
}

void TestSettingsStore::decrementLaunchCount_data()
{
    QTest::addColumn<QString>("kol");
    QTest::addColumn<QString>("expected");
    QTest::newRow("5") << "5"
                       << "4";
    QTest::newRow("1") << "1"
                       << "0";
    QTest::newRow("0 stays") << "0"
                             << "0";
    QTest::newRow("missing") << QString() << "0";
}

void TestSettingsStore::decrementLaunchCount()
{
    QFETCH(QString, kol);
    QFETCH(QString, expected);
    writeIni(kol.isNull() ? QStringLiteral("[General]\nRnd=1\n")
                          : QStringLiteral("[General]\nKol=%1\n").arg(kol));
    SettingsStore store(settingsPath());
    store.decrementLaunchCount();
    QCOMPARE(stored("Kol"), expected);
}

void TestSettingsStore::writes_reachTheFileAtOnce()
{
    SettingsStore store(settingsPath());
    store.openSettings(programFolder());

    store.setTimeCode(6);
    QCOMPARE(stored("Tim"), QStringLiteral("6"));
    store.setShowStatistics(false);
    QCOMPARE(stored("Sta"), QStringLiteral("0"));
    store.setShuffle(true);
    QCOMPARE(stored("Rnd"), QStringLiteral("1"));
    const QString path = QStringLiteral("/home/ученик/Билеты, АВ/dataAB.dbv");
    store.setDatabasePath(path);
    // Another reader of the store sees the same path, commas and all.
    QSettings other(settingsPath(), QSettings::IniFormat);
    QCOMPARE(other.value(QStringLiteral("Bas")).toString(), path);
    QCOMPARE(store.databasePath(), path);

    // A change made outside the program is seen by the next read.
    other.setValue(QStringLiteral("Kol"), 17);
    other.sync();
    QCOMPARE(store.launchCount(), 17);
}

void TestSettingsStore::write_sameValue_leavesTheFileAlone_data()
{
    QTest::addColumn<QString>("storedLine"); // besides Kol
    QTest::addColumn<std::function<void(SettingsStore &)>>("write");
    QTest::addColumn<bool>("rewritten");
    using Write = std::function<void(SettingsStore &)>;
    const QString comma = QStringLiteral("/home/ученик/Билеты, АВ/a.dbv");
    QTest::newRow("same time limit")
        << QStringLiteral("Tim=4") << Write([](SettingsStore &s) { s.setTimeCode(4); }) << false;
    QTest::newRow("other time limit")
        << QStringLiteral("Tim=4") << Write([](SettingsStore &s) { s.setTimeCode(5); }) << true;
    QTest::newRow("time limit not stored yet")
        << QString() << Write([](SettingsStore &s) { s.setTimeCode(4); }) << true;
    QTest::newRow("time limit stored as text that is no number")
        << QStringLiteral("Tim=vier") << Write([](SettingsStore &s) { s.setTimeCode(4); }) << true;
    QTest::newRow("same flag") << QStringLiteral("Rnd=1")
                               << Write([](SettingsStore &s) { s.setShuffle(true); }) << false;
    QTest::newRow("flag switched")
        << QStringLiteral("Rnd=1") << Write([](SettingsStore &s) { s.setShuffle(false); }) << true;
    QTest::newRow("same database, comma in its path")
        << QStringLiteral("Bas=\"%1\"").arg(comma)
        << Write([comma](SettingsStore &s) { s.setDatabasePath(comma); }) << false;
    QTest::newRow("database path emptied")
        << QStringLiteral("Bas=/a.dbv")
        << Write([](SettingsStore &s) { s.setDatabasePath(QString()); }) << true;
    QTest::newRow("the one recent database opened again")
        << QStringLiteral("Ned=/a.dbv")
        << Write([](SettingsStore &s) { s.addRecentDatabase(QStringLiteral("/a.dbv")); }) << false;
    QTest::newRow("the most recent of two opened again")
        << QStringLiteral("Ned=/a.dbv, /b.dbv")
        << Write([](SettingsStore &s) { s.addRecentDatabase(QStringLiteral("/a.dbv")); }) << false;
    QTest::newRow("the older of two opened again moves first")
        << QStringLiteral("Ned=/a.dbv, /b.dbv")
        << Write([](SettingsStore &s) { s.addRecentDatabase(QStringLiteral("/b.dbv")); }) << true;
}

void TestSettingsStore::write_sameValue_leavesTheFileAlone()
{
    QFETCH(QString, storedLine);
    QFETCH(std::function<void(SettingsStore &)>, write);
    QFETCH(bool, rewritten);
    writeIni(QStringLiteral("[General]\nKol=3\n") + storedLine + "\n");
    SettingsStore store(settingsPath());
    // A rewrite replaces the file: a new one, with a new modification time.
    const QDateTime old = QDateTime::currentDateTimeUtc().addYears(-1);
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    write(store);
    QCOMPARE(QFileInfo(settingsPath()).lastModified() != old, rewritten);
    QCOMPARE(stored("Kol"), QStringLiteral("3"));
}

void TestSettingsStore::recentDatabases_mostRecentFirstAtMostFive_data()
{
    QTest::addColumn<QString>("storedNed"); // empty: no value
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expected");
    const QString comma = QStringLiteral("/home/ученик/Билеты, АВ/a.dbv");
    QTest::newRow("none yet") << QString() << QStringList() << QStringList();
    QTest::newRow("one, with a comma in its path")
        << QString() << QStringList{comma} << QStringList{comma};
    QTest::newRow("reopened moves first, once")
        << QString() << QStringList{"/a.dbv", "/b.dbv", "/a.dbv"}
        << QStringList{"/a.dbv", "/b.dbv"};
    QTest::newRow("the sixth pushes out the oldest")
        << QString() << QStringList{"/1", "/2", "/3", "/4", "/5", "/6"}
        << QStringList{"/6", "/5", "/4", "/3", "/2"};
    QTest::newRow("a value that is not paths reads as none")
        << QStringLiteral("Ned=7") << QStringList() << QStringList();
    QTest::newRow("a stored list is kept behind the new one")
        << QStringLiteral("Ned=/x.dbv, /y.dbv") << QStringList{"/z.dbv"}
        << QStringList{"/z.dbv", "/x.dbv", "/y.dbv"};
}

void TestSettingsStore::recentDatabases_mostRecentFirstAtMostFive()
{
    QFETCH(QString, storedNed);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, expected);
    writeIni(QStringLiteral("[General]\nKol=3\nRnd=1\nSta=1\nTim=4\nBas=\n") + storedNed + "\n");
    SettingsStore store(settingsPath());
    store.openSettings(programFolder());
    for (const QString &path : opened)
        store.addRecentDatabase(path);
    QCOMPARE(store.recentDatabases(), expected);
    // The specified keys keep their values.
    QCOMPARE(stored("Tim"), QStringLiteral("4"));
    QCOMPARE(SettingsStore(settingsPath()).recentDatabases(), expected);
}

void TestSettingsStore::write_refused_throwsSettingsError()
{
    // The key's folder cannot be created: a file stands in its way.
    touch(m_dir->filePath(QStringLiteral("blocked")));
    SettingsStore store(m_dir->filePath(QStringLiteral("blocked/Microsoft/Kiv.conf")));
    QVERIFY_THROWS_EXCEPTION(SettingsError, store.setTimeCode(3));
    QVERIFY(!store.keyExists());
}

void TestSettingsStore::defaultLocation_followsXdgConfigHome()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("xdg"))));
    const QString location = SettingsStore::defaultLocation();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(location, m_dir->filePath(QStringLiteral("xdg/Microsoft/Kiv.conf")));
}

void TestSettingsStore::openSettings_readOnlyStore_readsEverythingAndWarnsOnce()
{
    // Root writes through file permissions; a read-only mount stops anyone.
    SmallFileSystem disk;
    QString location = disk.filePath(QStringLiteral("Kiv.conf"));
    if (!disk.isMounted())
        location = settingsPath();
    QDir().mkpath(QFileInfo(location).path());
    const QByteArray body = "[General]\nKol=4\nRnd=0\nSta=0\nTim=2\nBas=/data/my.dbv\n";
    {
        QFile file(location);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(body);
    }
    if (disk.isMounted()) {
        QVERIFY(disk.makeReadOnly());
    } else {
        QFile::setPermissions(location, QFile::ReadOwner);
        QFile::setPermissions(QFileInfo(location).path(), QFile::ReadOwner | QFile::ExeOwner);
    }

    SettingsStore store(location);
    SettingsStore::Startup startup;
    try {
        startup = store.openSettings(programFolder());
    } catch (const SettingsError &e) {
        QFAIL(qPrintable(QStringLiteral("threw: ") + e.message()));
    }
    QVERIFY(!startup.firstRun);
    QCOMPARE(startup.launchCount, 5);
    QCOMPARE(startup.shuffle, 0);
    QCOMPARE(startup.showStatistics, 0);
    QCOMPARE(startup.timeCode, 2);
    QCOMPARE(startup.databasePath, QStringLiteral("/data/my.dbv"));
    QCOMPARE(startup.warnings.size(), 1);
    QVERIFY(startup.warnings[0].contains(QStringLiteral("не сохранятся")));
    // The learner has been told; later changes pass without a second box.
    store.setShuffle(true);
    store.setTimeCode(5);

    QFile file(location);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), body);
    if (!disk.isMounted())
        QFile::setPermissions(QFileInfo(location).path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestSettingsStore::openSettings_unwritableFirstRun_stillFindsStandardDatabase()
{
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));
    // The key's folder cannot be created: a file stands in its way.
    touch(m_dir->filePath(QStringLiteral("blocked")));
    SettingsStore store(m_dir->filePath(QStringLiteral("blocked/Microsoft/Kiv.conf")));

    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(
        startup.databasePath,
        QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv"))));
    QCOMPARE(startup.warnings.size(), 1);
}

void TestSettingsStore::openSettings_serializedObject_keptAsideWithoutDecodingIt()
{
    // A value QSettings would decode through QDataStream, with a length of
    // about 29 GB: decoding it tries to allocate all of that.
    const QByteArray damaged("[General]\nKol=twe\nRnd=@Variant(\\0\\0\\0\\t7\xa3"
                             "f)\nTim=999999999\x08"
                             "Bas=1, 2\n");
    QDir().mkpath(QFileInfo(settingsPath()).path());
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(startup.launchCount, 1);
    QFile kept(settingsPath() + QStringLiteral(".damaged"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), damaged);
    QCOMPARE(startup.warnings.size(), 1);
    QCOMPARE(stored("Kol"), QStringLiteral("1"));
}

void TestSettingsStore::openSettings_serializedObjectInReadOnlyFolder_neverDecoded()
{
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    const QString location = disk.filePath(QStringLiteral("Kiv.conf"));
    const QByteArray damaged("[General]\nKol=7\nRnd=@Variant(\\0\\0\\0\\t7\xa3"
                             "f)\n");
    {
        QFile file(location);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    QVERIFY(disk.makeReadOnly());
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));

    SettingsStore store(location);
    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(startup.launchCount, 1);
    QCOMPARE(startup.warnings.size(), 1);
    QVERIFY(startup.warnings[0].contains(QStringLiteral("не сохранятся")));
    QVERIFY(startup.databasePath.endsWith(QStringLiteral("dataAB.dbv")));
    // Changes in this run work, and the file stays as it was.
    store.setShuffle(true);
    QFile file(location);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), damaged);
}

void TestSettingsStore::openSettings_garbageFile_keptAsideAndStartsAsFirstRun()
{
    touch(QDir(programFolder()).filePath(QStringLiteral("dataCD.dbv")));
    const QByteArray garbage("\x01\x02garbage\xff\xfe\nno equals sign\n[General\nKol=3\n");
    QDir().mkpath(QFileInfo(settingsPath()).path());
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    // A file from an earlier recovery keeps its name too.
    touch(settingsPath() + QStringLiteral(".damaged"));

    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(startup.launchCount, 1);
    const QString aside = settingsPath() + QStringLiteral(".damaged-2");
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), garbage);
    QCOMPARE(startup.warnings.size(), 1);
    QVERIFY2(startup.warnings[0].contains(QDir::toNativeSeparators(aside)),
             qPrintable(startup.warnings[0]));
    QCOMPARE(stored("Kol"), QStringLiteral("1"));
    QCOMPARE(
        startup.databasePath,
        QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("dataCD.dbv"))));

    // The next start is an ordinary later run.
    SettingsStore again(settingsPath());
    const SettingsStore::Startup next = again.openSettings(programFolder());
    QVERIFY(!next.firstRun);
    QCOMPARE(next.launchCount, 2);
    QVERIFY(next.warnings.isEmpty());
}

void TestSettingsStore::openSettings_unreadableFile_findsStandardDatabase()
{
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));
    writeIni(QStringLiteral("[General]\nKol=4\nBas=/data/my.dbv\n"));
    QFile::setPermissions(settingsPath(), QFile::WriteOwner);
    if (QFileInfo(settingsPath()).isReadable())
        QSKIP("this user reads every file (root)");

    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(
        startup.databasePath,
        QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv"))));
    QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestSettingsStore::openSettings_damagedContent_keptAsideAndStartsAsFirstRun_data()
{
    QTest::addColumn<QByteArray>("content");
    // Bytes Qt reads as an INI file without a format error, but that no
    // program wrote as its settings.
    QByteArray random;
    quint32 seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        random.append(char(0x80 | (seed >> 16))); // never valid UTF-8 on its own
    }
    QTest::newRow("random bytes") << random;
    QTest::newRow("NUL bytes among the values")
        << QByteArray("[General]\nKol=5\nBas=/x/dataAB.dbv\n\0\0\0\0\n", 40);
    QTest::newRow("not UTF-8") << QByteArray("[General]\nKol=5\nBas=/x/\xe4\xe0\xed\xed\xfb\n");
    QTest::newRow("no value of ours") << QByteArray("[General]\nfoo=1\nbar=2\n[Kol]\nx=1\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("far too large")
        << QByteArray("[General]\nKol=5\n") + QByteArray(100 * 1024, '#') + '\n';
}

void TestSettingsStore::openSettings_damagedContent_keptAsideAndStartsAsFirstRun()
{
    QFETCH(QByteArray, content);
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));
    QDir().mkpath(QFileInfo(settingsPath()).path());
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Read before start-up: a damaged file gives the automatic scale.
    QCOMPARE(SettingsStore(settingsPath()).interfaceScale(), 0);

    SettingsStore store(settingsPath());
    const SettingsStore::Startup startup = store.openSettings(programFolder());
    QVERIFY(startup.firstRun);
    QCOMPARE(startup.launchCount, 1);
    QVERIFY(startup.repairedValues.isEmpty());
    // The standard database beside the program is found, not asked for.
    QCOMPARE(
        startup.databasePath,
        QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv"))));
    const QString aside = settingsPath() + QStringLiteral(".damaged");
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
    QCOMPARE(startup.warnings.size(), 1);
    QVERIFY2(startup.warnings[0].contains(QDir::toNativeSeparators(aside)),
             qPrintable(startup.warnings[0]));
    QCOMPARE(stored("Kol"), QStringLiteral("1"));
}

void TestSettingsStore::openSettings_notAFile_leftAloneAndStartsAsFirstRun_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
#ifdef Q_OS_UNIX
    QTest::newRow("named pipe") << "fifo";
#endif
}

void TestSettingsStore::openSettings_notAFile_leftAloneAndStartsAsFirstRun()
{
    QFETCH(QString, kind);
    touch(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv")));
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QVERIFY(SpecialFiles::make(kind, settingsPath()));

    int scale = -1;
    SettingsStore::Startup startup;
    QVERIFY2(SpecialFiles::finishesWithoutWaiting(
                 settingsPath(),
                 [&] {
                     scale = SettingsStore(settingsPath()).interfaceScale();
                     SettingsStore store(settingsPath());
                     startup = store.openSettings(programFolder());
                     store.setTimeCode(2);
                 }),
             "the start waits on the settings file");
    QCOMPARE(scale, 0);
    QVERIFY(startup.firstRun);
    QCOMPARE(
        startup.databasePath,
        QDir::toNativeSeparators(QDir(programFolder()).filePath(QStringLiteral("dataAB.dbv"))));
    QCOMPARE(startup.warnings.size(), 1);
    QVERIFY2(startup.warnings[0].contains(QDir::toNativeSeparators(settingsPath())) &&
                 startup.warnings[0].contains(QStringLiteral("не сохранятся")),
             qPrintable(startup.warnings[0]));
    QVERIFY(QFileInfo::exists(settingsPath()));
    QVERIFY(!QFileInfo(settingsPath()).isFile());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
