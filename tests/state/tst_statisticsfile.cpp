#include "smallfilesystem.h"
#include "statisticsfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

// A device that accepts `capacity` bytes and then fails every write, as a
// disk that fills up in the middle of a save.
class FillingDevice : public QIODevice
{
public:
    explicit FillingDevice(qint64 capacity) : m_capacity(capacity) { open(WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        if (m_written >= m_capacity)
            return -1;
        const qint64 n = qMin(len, m_capacity - m_written);
        m_written += n;
        return n;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

// A pipe-like source: sequential, so its size says nothing about what is
// left, and it hands out at most `step` bytes per read.
class SequentialSource : public QIODevice
{
public:
    SequentialSource(const QByteArray &bytes, qint64 step) : m_bytes(bytes), m_step(step)
    {
        open(ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_bytes.size() - m_read + QIODevice::bytesAvailable();
    }
    bool atEnd() const override { return bytesAvailable() == 0; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, m_step, qint64(m_bytes.size()) - m_read});
        std::memcpy(data, m_bytes.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_step;
    qint64 m_read = 0;
};

StatRecord recordWithProgress()
{
    StatRecord r;
    for (int ticket = 1; ticket <= 20; ++ticket)
        r.setTicketStatus(ticket, TicketStatus::ExamPassed);
    r.setLaunchCount(31);
    return r;
}

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

    // Nothing is lost when the disk is full or a write fails.
    void save_fullDisk_keepsOldFileAndSaysDiskIsFull();
    void load_fullDisk_keepsProgressAndReportsNotSaved();
    void create_fullOrReadOnlyDisk_fixedMessageWithTheReasonUnderIt_data();
    void create_fullOrReadOnlyDisk_fixedMessageWithTheReasonUnderIt();
    void save_hugeSparseTail_copiedInChunksAndStaysSparse();
    void writeRecordAndTail_failingDevice_reportsFailure_data();
    void writeRecordAndTail_failingDevice_reportsFailure();
    void save_tailLongerThanOneChunk_keptByteForByte();
    void writeRecordAndTail_tailFromAnyDevice_keptByteForByte_data();
    void writeRecordAndTail_tailFromAnyDevice_keptByteForByte();

    // A path that is no regular file is refused before it is opened.
    void load_specialFile_refusedAtOnce_data();
    void load_specialFile_refusedAtOnce();
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
        // The fixed text, and what is wrong with the file under it.
        QVERIFY2(
            e.message().startsWith(QStringLiteral("Нарушение защиты! Программа повреждена! \n\n")),
            qPrintable(e.message()));
        QVERIFY2(e.message().contains(
                     QStringLiteral("короче одной записи результатов: %1 байт").arg(size)),
                 qPrintable(e.message()));
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

void TestStatisticsFile::save_fullDisk_keepsOldFileAndSaysDiskIsFull()
{
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    const QString path = disk.filePath("stat.dat");
    const StatRecord stored = recordWithProgress();
    writeAll(path, stored.toBytes());
    disk.fill();

    StatRecord changed = stored;
    changed.setTicketStatus(40, TicketStatus::Failed);
    try {
        saveStatistics(changed, path);
        QFAIL("a save on a full disk reported success");
    } catch (const StatisticsError &e) {
        QCOMPARE(e.kind(), StatisticsError::NotSaved);
        QVERIFY2(e.message().contains(QStringLiteral("не осталось свободного места")),
                 qPrintable(e.message()));
    }
    QCOMPARE(readAll(path), stored.toBytes());
    // No temporary file is left to take the last bytes.
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
             QStringList({"filler", "stat.dat"}));
}

void TestStatisticsFile::load_fullDisk_keepsProgressAndReportsNotSaved()
{
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    const QString path = disk.filePath("stat.dat");
    const StatRecord stored = recordWithProgress();
    writeAll(path, stored.toBytes());
    disk.fill();

    StatRecord r;
    try {
        loadOrCreateStatistics(r, 32, path);
        QFAIL("a start-up save on a full disk reported success");
    } catch (const StatisticsError &e) {
        QCOMPARE(e.kind(), StatisticsError::NotSaved);
    }
    QCOMPARE(r.ticketStatus(20), int(TicketStatus::ExamPassed));
    QCOMPARE(r.launchCount(), 32);
    QCOMPARE(readAll(path), stored.toBytes());
}

void TestStatisticsFile::create_fullOrReadOnlyDisk_fixedMessageWithTheReasonUnderIt_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full") << false << QStringLiteral("на диске не осталось свободного места");
    QTest::newRow("read-only") << true << QStringLiteral("только для чтения");
}

void TestStatisticsFile::create_fullOrReadOnlyDisk_fixedMessageWithTheReasonUnderIt()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, reason);
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    if (readOnly)
        QVERIFY(disk.makeReadOnly());
    else
        disk.fill();
    const QString path = disk.filePath("stat.dat");

    StatRecord r;
    r.setTicketStatus(1, 2);
    try {
        loadOrCreateStatistics(r, 1, path);
        QFAIL("a first start on a full disk reported success");
    } catch (const StatisticsError &e) {
        QCOMPARE(e.kind(), StatisticsError::Unusable);
        const QStringList parts = e.message().split(QStringLiteral("\n\n"));
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0], QString::fromUtf8(StatisticsFile::DamagedMessage));
        QVERIFY2(parts[1].startsWith(QStringLiteral("Не удалось создать файл \"%1\": ")
                                         .arg(QDir::toNativeSeparators(path))),
                 qPrintable(parts[1]));
        QVERIFY2(parts[1].contains(reason), qPrintable(parts[1]));
    }
    QCOMPARE(r.ticketStatus(1), 2);
    QVERIFY(!QFile::exists(path));
}

void TestStatisticsFile::save_hugeSparseTail_copiedInChunksAndStaysSparse()
{
    // A 64 KiB disk cannot hold 64 MiB of bytes: only a save that copies the
    // tail's holes as holes can succeed.
    SmallFileSystem disk;
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.skipReason()));
    const QString path = disk.filePath("stat.dat");
    const qint64 tailSize = 64 * 1024 * 1024;
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(recordWithProgress().toBytes()), qint64(StatRecord::Size));
        QVERIFY(f.resize(StatRecord::Size + tailSize - 1));
        QVERIFY(f.seek(StatRecord::Size + tailSize - 1));
        QVERIFY(f.putChar('!'));
    }
    StatRecord changed = recordWithProgress();
    changed.setTicketStatus(40, TicketStatus::Failed);
    saveStatistics(changed, path);

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.size(), StatRecord::Size + tailSize);
    QCOMPARE(f.read(StatRecord::Size), changed.toBytes());
    QVERIFY(f.seek(StatRecord::Size + tailSize - 2));
    QCOMPARE(f.read(2), QByteArray("\0!", 2));
}

void TestStatisticsFile::writeRecordAndTail_failingDevice_reportsFailure_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<bool>("withTail");
    QTest::newRow("nothing written") << qint64(0) << false;
    QTest::newRow("record cut short") << qint64(100) << false;
    QTest::newRow("tail cut short") << qint64(StatRecord::Size + 10) << true;
}

void TestStatisticsFile::writeRecordAndTail_failingDevice_reportsFailure()
{
    QFETCH(qint64, capacity);
    QFETCH(bool, withTail);
    FillingDevice out(capacity);
    QBuffer tail;
    tail.setData(QByteArray(3 * 1024 * 1024, 'x'));
    QVERIFY(tail.open(QIODevice::ReadOnly));
    QVERIFY(!StatisticsFile::writeRecordAndTail(out, StatRecord().toBytes(),
                                                withTail ? &tail : nullptr));
}

void TestStatisticsFile::save_tailLongerThanOneChunk_keptByteForByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    // Runs of zeros (skipped as holes) between runs of data, ending in zeros.
    QByteArray tail;
    for (int i = 0; i < 5; ++i)
        tail += QByteArray(1024 * 1024 + 7, char('a' + i)) + QByteArray(2 * 1024 * 1024, '\0');
    writeAll(path, StatRecord().toBytes() + tail);

    const StatRecord changed = recordWithProgress();
    saveStatistics(changed, path);
    QCOMPARE(readAll(path), changed.toBytes() + tail);
}

void TestStatisticsFile::writeRecordAndTail_tailFromAnyDevice_keptByteForByte_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<qint64>("startAt");    // where the tail begins in its device
    QTest::addColumn<qint64>("sequential"); // bytes per read of a pipe; 0: a buffer
    const QByteArray mixed = QByteArray(5000, 'a') + QByteArray(8192, '\0') + "end";
    const QByteArray pastOneChunk = QByteArray(1024 * 1024 - 3, 'b') + QByteArray(9, 'c');
    QTest::newRow("a few bytes") << QByteArray("xyz") << qint64(0) << qint64(0);
    QTest::newRow("after a prefix") << mixed << qint64(StatRecord::Size) << qint64(0);
    QTest::newRow("one chunk and a few bytes, after a prefix")
        << pastOneChunk << qint64(100) << qint64(0);
    QTest::newRow("pipe, small reads") << mixed << qint64(0) << qint64(1000);
    QTest::newRow("pipe, one chunk and more") << pastOneChunk << qint64(0) << qint64(700 * 1024);
}

void TestStatisticsFile::writeRecordAndTail_tailFromAnyDevice_keptByteForByte()
{
    QFETCH(QByteArray, tail);
    QFETCH(qint64, startAt);
    QFETCH(qint64, sequential);
    const QByteArray record = recordWithProgress().toBytes();
    QBuffer buffer;
    buffer.setData(QByteArray(startAt, 'p') + tail);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QVERIFY(buffer.seek(startAt));
    SequentialSource pipe(tail, sequential);
    QIODevice *source = sequential > 0 ? static_cast<QIODevice *>(&pipe) : &buffer;

    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(StatisticsFile::writeRecordAndTail(out, record, source));
    QCOMPARE(out.data().size(), record.size() + tail.size());
    QVERIFY(out.data() == record + tail);
}

void TestStatisticsFile::load_specialFile_refusedAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
#ifdef Q_OS_UNIX
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("device") << "device";
#endif
}

void TestStatisticsFile::load_specialFile_refusedAtOnce()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("stat.dat");
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "device") {
        path = QStringLiteral("/dev/null");
    } else {
#ifdef Q_OS_UNIX
        // Opening it for reading would wait for a writer forever.
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    }
    StatRecord r;
    r.setTicketStatus(1, 2);
    try {
        loadOrCreateStatistics(r, 1, path);
        QFAIL("a special file was accepted");
    } catch (const StatisticsError &e) {
        QCOMPARE(e.kind(), StatisticsError::Unusable);
        QVERIFY2(e.message().contains(QDir::toNativeSeparators(path)), qPrintable(e.message()));
    }
    QCOMPARE(r.ticketStatus(1), 2);
    QVERIFY_THROWS_EXCEPTION(StatisticsError, saveStatistics(r, path));
}

QTEST_GUILESS_MAIN(TestStatisticsFile)
#include "tst_statisticsfile.moc"
