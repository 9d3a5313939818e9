// One running program per progress file, tested with two processes: this
// test starts itself a second time as the "first copy", which takes the lock
// and waits until it is killed.
#include "appsandbox.h"
#include "instancelock.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "statrecord.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const char HoldLockVariable[] = "ZELTRAK_TEST_HOLD_LOCK";

// The first copy: holds the lock on the folder named in the environment.
int holdLock()
{
    InstanceLock lock(QString::fromLocal8Bit(qgetenv(HoldLockVariable)));
    if (!lock.tryLock())
        return 1;
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondCopy_endsWithoutTouchingAnything_thenTakesOverAStaleLock();
    void oddLockFile_staleTakenOverSpecialRefused_data();
    void oddLockFile_staleTakenOverSpecialRefused();
};

void TestSingleInstance::secondCopy_endsWithoutTouchingAnything_thenTakesOverAStaleLock()
{
    AppSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString db = sandbox.writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=4\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    StatRecord progress;
    progress.setTicketStatus(3, 1);
    {
        QFile stat(sandbox.statisticsFile());
        QVERIFY(stat.open(QIODevice::WriteOnly));
        stat.write(progress.toBytes());
    }
    const QByteArray settingsBefore = contents(sandbox.paths.settingsLocation);
    const QByteArray progressBefore = contents(sandbox.statisticsFile());

    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(HoldLockVariable), sandbox.paths.progressFolder());
    first.setProcessEnvironment(environment);
    first.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(first.waitForReadyRead(30000));
    QCOMPARE(first.readLine(), QByteArray("locked\n"));

    MessageBoxes::setNextAnswers(QList<MessageBoxes::Button>(5, QMessageBox::Ok));
    MessageBoxes::clearShown();
    {
        MainWindow second(sandbox.paths);
        QVERIFY(second.startupFailed());
    }
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(MessageBoxes::shown()[0].text, InstanceLock::alreadyRunningMessage());
    QCOMPARE(MessageBoxes::shown()[0].icon, QMessageBox::Warning);
    // Not even the launch counter moved.
    QCOMPARE(contents(sandbox.paths.settingsLocation), settingsBefore);
    QCOMPARE(contents(sandbox.statisticsFile()), progressBefore);

    // The first copy dies without cleaning up: its lock is stale.
    first.kill();
    QVERIFY(first.waitForFinished(30000));
    QVERIFY(QFile::exists(QDir(sandbox.paths.progressFolder()).filePath(InstanceLock::FileName)));
    MessageBoxes::clearShown();
    {
        MainWindow next(sandbox.paths);
        QVERIFY(!next.startupFailed());
        QCOMPARE(MessageBoxes::shown().size(), 0);
        QCOMPARE(sandbox.stored(QStringLiteral("Kol")), QStringLiteral("5"));
    }
    // A program that ends normally leaves no lock behind.
    QVERIFY(!QFile::exists(QDir(sandbox.paths.progressFolder()).filePath(InstanceLock::FileName)));
}

void TestSingleInstance::oddLockFile_staleTakenOverSpecialRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("startsNormally");
    // Left by a power cut while the lock was being taken, or by anything
    // else that is not a running program: the next start takes it over.
    QTest::newRow("empty") << "empty" << true;
    QTest::newRow("garbage") << "garbage" << true;
    QTest::newRow("process number 0") << "zero" << true;
    QTest::newRow("process no longer running") << "finished" << true;
    QTest::newRow("huge sparse file") << "sparse" << true;
    QTest::newRow("link to nowhere") << "dangling" << true;
    // Not a file at all: never opened, the start is refused with a message.
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("named pipe") << "fifo" << false;
}

void TestSingleInstance::oddLockFile_staleTakenOverSpecialRefused()
{
    QFETCH(QString, kind);
    QFETCH(bool, startsNormally);
    AppSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString db = sandbox.writeDatabase(QStringLiteral("elsewhere/my.dbv"), "База");
    sandbox.writeSettings(QStringLiteral("Kol=4\nRnd=1\nSta=1\nTim=4\nBas=") + db);
    QDir().mkpath(sandbox.paths.progressFolder());
    const QString lockPath = QDir(sandbox.paths.progressFolder()).filePath(InstanceLock::FileName);

    QFile lockFile(lockPath);
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(lockPath));
    } else if (kind == QLatin1String("fifo")) {
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0600), 0);
#else
        QSKIP("named pipes in the file system are a Unix thing");
#endif
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(sandbox.path(QStringLiteral("gone")), lockPath));
    } else {
        QVERIFY(lockFile.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("garbage"))
            lockFile.write("\x01\xfe garbage \x7f\n\n\n");
        else if (kind == QLatin1String("zero"))
            lockFile.write("0\nzeltrak\nhost\n");
        else if (kind == QLatin1String("sparse"))
            QVERIFY(lockFile.resize(qint64(3) << 30));
        else if (kind == QLatin1String("finished")) {
            QProcess gone;
            gone.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
            QVERIFY(gone.waitForStarted(30000));
            const qint64 pid = gone.processId();
            QVERIFY(gone.waitForFinished(30000));
            lockFile.write(QByteArray::number(pid) + "\ntst_singleinstance\n" +
                           QSysInfo::machineHostName().toUtf8() + '\n');
        }
        lockFile.close();
    }
    const QByteArray settingsBefore = contents(sandbox.paths.settingsLocation);

    MessageBoxes::setNextAnswers(QList<MessageBoxes::Button>(5, QMessageBox::Ok));
    MessageBoxes::clearShown();
    {
        MainWindow program(sandbox.paths);
        QCOMPARE(program.startupFailed(), !startsNormally);
        if (startsNormally) {
            QCOMPARE(MessageBoxes::shown().size(), 0);
            // The lock is this program's now.
            QVERIFY(contents(lockPath).startsWith(
                QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
        } else {
            QCOMPARE(MessageBoxes::shown().size(), 1);
            const QString text = MessageBoxes::shown()[0].text;
            QVERIFY2(text.contains(QDir::toNativeSeparators(lockPath)), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("Удалите")), qPrintable(text));
            QCOMPARE(contents(sandbox.paths.settingsLocation), settingsBefore);
        }
    }
    // What was refused is left where it was.
    if (!startsNormally)
        QVERIFY(QFileInfo::exists(lockPath));
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(HoldLockVariable)) {
        QCoreApplication app(argc, argv);
        return holdLock();
    }
    QApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
