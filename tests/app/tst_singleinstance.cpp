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
