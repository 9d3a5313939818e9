#include "statisticsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Restores the current folder when a test changes it.
struct CurrentDirGuard
{
    QString saved = QDir::currentPath();
    ~CurrentDirGuard() { QDir::setCurrent(saved); }
};

} // namespace

// Loading, creating, saving and resetting "stat.dat".
class TestStatisticsFile : public QObject
{
    Q_OBJECT

private slots:
    void load_missingFile_createsZeroRecordWithLaunchCount();
    void load_existingFile_readsRecordAndStoresLaunchCount();
    void load_shortFile_failsWithDamagedMessage_data();
    void load_shortFile_failsWithDamagedMessage();
    void save_longerFile_keepsBytesAfterRecord();
    void save_failure_leavesFileAndMemoryUnchanged();
    void reset_failure_leavesMemoryUnchanged();
    void reset_keepsLaunchCount();
    void path_resolvedAgainstCurrentFolderAtEachCall();
};

void TestStatisticsFile::load_missingFile_createsZeroRecordWithLaunchCount()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    StatRecord r;
    loadOrCreateStatistics(r, 7, path);
    QCOMPARE(r.launchCount(), 7);
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes.size(), 16176);
    QCOMPARE(bytes, r.toBytes());
}

void TestStatisticsFile::load_existingFile_readsRecordAndStoresLaunchCount()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    StatRecord stored;
    stored.setTicketStatus(5, TicketStatus::TrainingPassed);
    stored.setLaunchCount(3);
    writeAll(path, stored.toBytes());

    StatRecord r;
    loadOrCreateStatistics(r, 4, path);
    QCOMPARE(r.ticketStatus(5), 3);
    QCOMPARE(r.launchCount(), 4);
    QCOMPARE(readAll(path), r.toBytes()); // written back at once
}

void TestStatisticsFile::load_shortFile_failsWithDamagedMessage_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte short") << 16175;
}

void TestStatisticsFile::load_shortFile_failsWithDamagedMessage()
{
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    writeAll(path, QByteArray(size, char(1)));

    StatRecord r;
    r.setTicketStatus(1, 2);
    try {
        loadOrCreateStatistics(r, 9, path);
        QFAIL("a short file was accepted");
    } catch (const StatisticsError &e) {
        QCOMPARE(e.message(), QStringLiteral("Нарушение защиты! Программа повреждена! "));
    }
    QCOMPARE(r.ticketStatus(1), 2);
    QCOMPARE(readAll(path), QByteArray(size, char(1)));
}

void TestStatisticsFile::save_longerFile_keepsBytesAfterRecord()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    const QByteArray tail("extra bytes after the record");
    writeAll(path, QByteArray(16176, '\0') + tail);

    StatRecord r;
    loadOrCreateStatistics(r, 1, path);
    r.addCorrect(1, 1, 0);
    saveStatistics(r, path);
    QCOMPARE(readAll(path), r.toBytes() + tail);
}

void TestStatisticsFile::save_failure_leavesFileAndMemoryUnchanged()
{
    QTemporaryDir dir;
    // A folder where the file should be: no save can replace it, even as root.
    const QString path = dir.filePath("stat.dat");
    QVERIFY(QDir().mkpath(path));
    StatRecord r;
    r.setTicketStatus(2, 1);
    QVERIFY_THROWS_EXCEPTION(StatisticsError, saveStatistics(r, path));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(r.ticketStatus(2), 1);

    // Nor is a missing folder created or a stray temporary file left behind.
    const QString inMissingFolder = dir.filePath("missing/stat.dat");
    QVERIFY_THROWS_EXCEPTION(StatisticsError, saveStatistics(r, inMissingFolder));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestStatisticsFile::reset_failure_leavesMemoryUnchanged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    QVERIFY(QDir().mkpath(path));
    StatRecord r;
    r.setTicketStatus(2, 1);
    r.addWrong(2, 2, 1);
    QVERIFY_THROWS_EXCEPTION(StatisticsError, resetStatistics(r, path));
    QCOMPARE(r.ticketStatus(2), 1);
    QCOMPARE(r.questionStats(2, 2).wrong[1], quint8(1));
}

void TestStatisticsFile::reset_keepsLaunchCount()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    StatRecord r;
    loadOrCreateStatistics(r, 12, path);
    r.setTicketStatus(9, 4);
    r.addCorrect(9, 1, 0);
    resetStatistics(r, path);
    QCOMPARE(r.launchCount(), 12);
    QCOMPARE(r.ticketStatus(9), 0);
    QCOMPARE(StatRecord::fromBytes(readAll(path)), r);
}

void TestStatisticsFile::path_resolvedAgainstCurrentFolderAtEachCall()
{
    CurrentDirGuard guard;
    QTemporaryDir first, second;
    QVERIFY(QDir::setCurrent(first.path()));
    StatRecord r;
    loadOrCreateStatistics(r, 1);
    QVERIFY(QFile::exists(first.filePath("stat.dat")));

    QVERIFY(QDir::setCurrent(second.path()));
    r.setTicketStatus(1, 1);
    saveStatistics(r);
    QCOMPARE(StatRecord::fromBytes(readAll(second.filePath("stat.dat"))).ticketStatus(1), 1);
    QCOMPARE(StatRecord::fromBytes(readAll(first.filePath("stat.dat"))).ticketStatus(1), 0);
}

QTEST_GUILESS_MAIN(TestStatisticsFile)
#include "tst_statisticsfile.moc"
