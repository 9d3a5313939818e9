#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// The built dbv executable as a user runs it: exit codes, and which stream
// gets what.
class TestDbvExecutable : public QObject
{
    Q_OBJECT

private slots:
    void check_testDatabase_passes();
    void dump_writesUtf8JsonToStandardOutput();
    void usageError_exitCode2OnStandardError();
    void specialFile_refusedAtOnce_data();
    void specialFile_refusedAtOnce();

private:
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    static Run run(const QStringList &arguments);
};

TestDbvExecutable::Run TestDbvExecutable::run(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(DBV_EXECUTABLE), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

void TestDbvExecutable::check_testDatabase_passes()
{
    const Run result = run({"check", QStringLiteral(TEST_DATABASE)});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("800 questions, 80 with pictures, 0 problems\n"));
    QCOMPARE(result.err, QByteArray());
}

void TestDbvExecutable::dump_writesUtf8JsonToStandardOutput()
{
    const Run result = run({"dump", QStringLiteral(TEST_DATABASE), "--question", "13"});
    QCOMPARE(result.exitCode, 0);
    const QJsonObject root = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(root["title"].toString(), QStringLiteral("Тестовая база"));
    QCOMPARE(root["questions"][0]["text"].toString(),
             QStringLiteral("Вопрос 13: билет 1, вопрос 13?"));
    QVERIFY(result.out.contains("Тестовая база"));
}

void TestDbvExecutable::usageError_exitCode2OnStandardError()
{
    const Run result = run({"dump"});
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
    QVERIFY(result.err.contains("missing operand"));
}

void TestDbvExecutable::specialFile_refusedAtOnce_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    for (const char *command : {"check", "dump", "stat"}) {
        QTest::addRow("%s folder", command) << command << "folder";
#ifdef Q_OS_UNIX
        QTest::addRow("%s named pipe", command) << command << "fifo";
        QTest::addRow("%s device", command) << command << "device";
#endif
    }
}

void TestDbvExecutable::specialFile_refusedAtOnce()
{
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("special.dbv"));
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == "device") {
        path = QStringLiteral("/dev/zero");
    } else {
#ifdef Q_OS_UNIX
        // Opening it would wait for a writer forever.
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    }
    QProcess process;
    process.start(QStringLiteral(DBV_EXECUTABLE), {command, path});
    const bool finished = process.waitForFinished(10000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    QVERIFY2(finished, "dbv hangs on a special file");
    QCOMPARE(process.exitCode(), 2);
    QVERIFY2(QString::fromUtf8(process.readAllStandardError()).contains(path),
             "the message names the file");
}

QTEST_GUILESS_MAIN(TestDbvExecutable)
#include "tst_dbvexecutable.moc"
