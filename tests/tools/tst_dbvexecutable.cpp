#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The built dbv executable as a user runs it: exit codes, and which stream
// gets what.
class TestDbvExecutable : public QObject
{
    Q_OBJECT

private slots:
    void check_testDatabase_passes();
    void dump_writesUtf8JsonToStandardOutput();
    void usageError_exitCode2OnStandardError();

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

QTEST_GUILESS_MAIN(TestDbvExecutable)
#include "tst_dbvexecutable.moc"
