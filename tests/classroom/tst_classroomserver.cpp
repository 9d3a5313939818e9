// The classroom's server schema and its roles on a real PostgreSQL: the
// versioned set-up that `dbv class init` runs, what each role may do, and
// what bad credentials tell the learner while the PC goes on locally.
#include "answerhistory.h"
#include "classroomlearners.h"
#include "databasefingerprint.h"
#include "dbvtool.h"
#include "learnerpull.h"
#include "serverconnection.h"
#include "serverschema.h"
#include "syncround.h"
#include "testserver.h"

#include <QBuffer>
#include <QFile>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QUuid>

using namespace TestServer;

namespace {
const QString Db = QStringLiteral("zt_server");
const QString Fingerprint = DatabaseFingerprint::fromHeader("title A");
const QString Anna = QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a");
const QString Boris = QStringLiteral("1c8d5a9f-6c2b-4d67-8b65-2a3f4e5d6c7b");

// A marathon in the order 1..800, `position` questions answered, all right.
MarathonState marathonAt(int position)
{
    MarathonState state;
    for (int q = 1; q <= 800; ++q)
        state.order << q;
    state.position = position;
    state.right = position;
    return state;
}
} // namespace

class TestClassroomServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init_isVersionedAndRunsAgain();
    void dbvClassInit_data();
    void dbvClassInit();
    void init_refusesRoleNamesThatNeedQuoting_data();
    void init_refusesRoleNamesThatNeedQuoting();
    void roles_data();
    void roles();
    void learnerPc_readsOneLearnerOnlyThroughTheFunctions();
    void badCredentials_clearMessage_answersStayOnThePc();

private:
    // Two learners with one answer each, pushed as the learner PC.
    void seedTwoLearners();
};

void TestClassroomServer::initTestCase()
{
    if (const QString why = skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    freshDatabase(Db);
    seedTwoLearners();
}

void TestClassroomServer::seedTwoLearners()
{
    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    for (const auto &[id, name] :
         {std::pair{Anna, QStringLiteral("Анна")}, std::pair{Boris, QStringLiteral("Борис")}}) {
        QVERIFY(ClassroomLearners::remember(root, {id, name}));
        AnswerHistory history(ClassroomLearners::historyPathOf(root, id));
        QVERIFY(history.recordAnswer(
            Fingerprint, AnswerRecord{7, HistoryMode::Learning, 2, id == Anna, 5, 1000, 0}));
        QVERIFY(history.saveMarathon(Fingerprint, marathonAt(id == Anna ? 5 : 9),
                                     QDateTime::fromMSecsSinceEpoch(2000)));
    }
    SyncRound round(address(PcRole, Db), root);
    const SyncReport report = round.run();
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.sent, 4); // an answer and a marathon each
    QCOMPARE(report.pending, 0);
}

void TestClassroomServer::init_isVersionedAndRunsAgain()
{
    const QString db = freshDatabase(QStringLiteral("zt_init"), false);
    ServerConnection admin(address(AdminRole, db));
    QVERIFY(admin.open());
    QSqlDatabase connection = admin.database();
    QCOMPARE(ServerSchema::version(connection), 0);
    QCOMPARE(ServerSchema::migrate(connection), QString());
    QCOMPARE(ServerSchema::version(connection), ServerSchema::CurrentVersion);
    QCOMPARE(ServerSchema::grantRoles(connection, PcRole, InstructorRole), QString());
    // Run again, as an administrator may: nothing changes, nothing fails.
    QCOMPARE(ServerSchema::migrate(connection), QString());
    QCOMPARE(ServerSchema::grantRoles(connection, PcRole, InstructorRole), QString());
    QCOMPARE(scalar(AdminRole, db, "SELECT count(*) FROM zeltrak.schema_version").toInt(), 1);

    // A schema from a newer program is left alone.
    QSqlQuery(connection).exec("UPDATE zeltrak.schema_version SET version = 99");
    QVERIFY(ServerSchema::migrate(connection).contains(QStringLiteral("99")));
    QCOMPARE(ServerSchema::version(connection), 99);
    // The PC does not push into a schema it does not know.
    QTemporaryDir pc;
    SyncRound round(address(PcRole, db), ClassroomLearners::rootIn(pc.path()));
    const SyncReport report = round.run();
    QVERIFY(!report.reachable);
    QVERIFY2(report.error.contains(QStringLiteral("новее")), qPrintable(report.error));
}

void TestClassroomServer::dbvClassInit_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    const QString port = QString::number(address(AdminRole, Db).port);
    const QStringList server{"--host", "127.0.0.1", "--port", port, "--database", "zt_dbv"};
    QTest::newRow("as the owner")
        << server + QStringList{"--role", AdminRole} << 0
        << "schema zeltrak at version 3 (was 0); zeltrak_pc may add rows, zeltrak_instructor "
           "may read them";
    QTest::newRow("again, after an update")
        << server + QStringList{"--role", AdminRole} << 0 << "at version 3 (was 3)";
    QTest::newRow("as the learner role")
        << server + QStringList{"--role", PcRole} << 2 << "the schema: ";
    QTest::newRow("a role that does not exist")
        << server + QStringList{"--role", AdminRole, "--instructor-role", "nobody_here"} << 2
        << "the roles: ";
    QTest::newRow("a role name with a quote")
        << server + QStringList{"--role", AdminRole, "--learner-role", "pc\"x"} << 2
        << "letters, digits and '_'";
    QTest::newRow("no database") << QStringList{"--host", "127.0.0.1"} << 2 << "are required";
    QTest::newRow("nothing listening")
        << QStringList{"--host", "127.0.0.1", "--port", "1", "--database", "x"} << 2
        << "недоступен";
}

void TestClassroomServer::dbvClassInit()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    if (QTest::currentDataTag() == QLatin1String("as the owner"))
        freshDatabase(QStringLiteral("zt_dbv"), false);
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = runDbv(QStringList{"class", "init"} + options, out, err, false);
    const QString output = QString::fromUtf8(out.data() + err.data());
    QVERIFY2(output.contains(says), qPrintable(output));
    QCOMPARE(code, exitCode);
}

void TestClassroomServer::init_refusesRoleNamesThatNeedQuoting_data()
{
    QTest::addColumn<QString>("pcRole");
    QTest::addColumn<QString>("instructorRole");
    QTest::newRow("quote") << QStringLiteral("pc\"; DROP TABLE x; --") << InstructorRole;
    QTest::newRow("space") << PcRole << QStringLiteral("the instructor");
    QTest::newRow("empty") << QString() << InstructorRole;
    QTest::newRow("leading digit") << QStringLiteral("1pc") << InstructorRole;
    QTest::newRow("the same role twice") << PcRole << PcRole.toUpper();
}

void TestClassroomServer::init_refusesRoleNamesThatNeedQuoting()
{
    QFETCH(QString, pcRole);
    QFETCH(QString, instructorRole);
    ServerConnection admin(address(AdminRole, Db));
    QVERIFY(admin.open());
    QSqlDatabase connection = admin.database();
    QVERIFY(!ServerSchema::grantRoles(connection, pcRole, instructorRole).isEmpty());
}

void TestClassroomServer::roles_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("allowed");
    const QString pc = PcRole, instructor = InstructorRole;
    const QString insert =
        QStringLiteral(
            "INSERT INTO zeltrak.answers (uuid, learner, database, question, mode, variant, "
            "is_right, seconds, answered_at) VALUES (gen_random_uuid(), '%1', 'x', 1, 'learning', "
            "1, "
            "true, 1, 1)")
            .arg(Boris);
    QTest::newRow("pc reads answers") << pc << "SELECT count(*) FROM zeltrak.answers" << false;
    QTest::newRow("pc reads learners") << pc << "SELECT count(*) FROM zeltrak.learners" << false;
    QTest::newRow("pc reads attempts") << pc << "SELECT count(*) FROM zeltrak.attempts" << false;
    QTest::newRow("pc changes an answer")
        << pc << "UPDATE zeltrak.answers SET is_right = true" << false;
    QTest::newRow("pc deletes answers") << pc << "DELETE FROM zeltrak.answers" << false;
    QTest::newRow("pc renames a learner")
        << pc << "UPDATE zeltrak.learners SET name = 'x'" << false;
    QTest::newRow("pc empties a table") << pc << "TRUNCATE zeltrak.answers" << false;
    QTest::newRow("pc drops a table") << pc << "DROP TABLE zeltrak.answers" << false;
    QTest::newRow("pc inserts an answer") << pc << insert << true;
    // ON CONFLICT needs the right to read the table: the PC goes through
    // zeltrak.store_batch instead.
    QTest::newRow("pc inserts on conflict")
        << pc << insert + QStringLiteral(" ON CONFLICT (uuid) DO NOTHING") << false;
    QTest::newRow("pc reads marathons") << pc << "SELECT count(*) FROM zeltrak.marathons" << false;
    QTest::newRow("pc moves a marathon on")
        << pc << "UPDATE zeltrak.marathons SET question_position = 800" << false;
    QTest::newRow("pc deletes marathons") << pc << "DELETE FROM zeltrak.marathons" << false;
    QTest::newRow("instructor reads marathons")
        << instructor << "SELECT count(*) FROM zeltrak.marathons" << true;
    QTest::newRow("instructor stores a marathon")
        << instructor
        << QStringLiteral("SELECT zeltrak.store_marathons('%1', 'x', '[]')").arg(Boris) << false;
    QTest::newRow("instructor deletes marathons")
        << instructor << "DELETE FROM zeltrak.marathons" << false;
    // A reset is kept as sent: a PC can neither read the others' nor take one back.
    QTest::newRow("pc reads resets") << pc << "SELECT count(*) FROM zeltrak.resets" << false;
    QTest::newRow("pc deletes resets") << pc << "DELETE FROM zeltrak.resets" << false;
    QTest::newRow("instructor stores a reset")
        << instructor
        << QStringLiteral("SELECT zeltrak.store_resets('%1', 'x', '[]')").arg(Boris) << false;
    QTest::newRow("instructor reads answers")
        << instructor << "SELECT count(*) FROM zeltrak.answers" << true;
    QTest::newRow("instructor reads learners")
        << instructor << "SELECT count(*) FROM zeltrak.learners" << true;
    QTest::newRow("instructor inserts") << instructor << insert << false;
    QTest::newRow("instructor deletes") << instructor << "DELETE FROM zeltrak.answers" << false;
    QTest::newRow("instructor changes")
        << instructor << "UPDATE zeltrak.learners SET name = 'x'" << false;
}

void TestClassroomServer::roles()
{
    QFETCH(QString, role);
    QFETCH(QString, sql);
    QFETCH(bool, allowed);
    QString error;
    const QVariant result = scalar(role, Db, sql, &error);
    QCOMPARE(error.isEmpty(), allowed);
    if (!allowed)
        QVERIFY2(error.contains(QStringLiteral("permission denied")) ||
                     error.contains(QStringLiteral("must be owner")),
                 qPrintable(error));
    // Nothing was changed by a refused statement.
    QCOMPARE(
        scalar(AdminRole, Db, "SELECT count(*) FROM zeltrak.learners WHERE name = 'x'").toInt(), 0);
}

void TestClassroomServer::learnerPc_readsOneLearnerOnlyThroughTheFunctions()
{
    // The class list, for the sign-in.
    QCOMPARE(
        scalar(PcRole, Db, "SELECT string_agg(name, ',') FROM zeltrak.class_list()").toString(),
        QStringLiteral("Анна,Борис"));
    // One learner's rows, by id: the pull at sign-in.
    ServerConnection pc(address(PcRole, Db));
    QVERIFY(pc.open());
    QSqlDatabase server = pc.database();
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    const LearnerPull::Result pulled = LearnerPull::pull(server, Anna, path);
    QVERIFY2(pulled.ok, qPrintable(pulled.error));
    QCOMPARE(pulled.answers, 1);
    {
        AnswerHistory history(path);
        const QList<AnswerRecord> answers = history.answers(Fingerprint);
        QCOMPARE(answers.size(), 1);
        QVERIFY(answers[0].right); // Anna's answer, not Boris's
    }
    // Her marathon, not Boris's.
    QCOMPARE(pulled.marathons, 1);
    QCOMPARE(AnswerHistory(path).marathon(Fingerprint), marathonAt(5));
    // Pulled again: nothing new, nothing doubled.
    const LearnerPull::Result again = LearnerPull::pull(server, Anna, path);
    QCOMPARE(again.answers, 0);
    QCOMPARE(again.marathons, 0);
    QCOMPARE(AnswerHistory(path).answers(Fingerprint).size(), 1);

    // A state no PC of ours makes is refused whole by the server.
    QString error;
    scalar(PcRole, Db,
           QStringLiteral("SELECT zeltrak.store_marathons('%1', 'Анна', '[{\"uuid\": "
                          "\"%2\", \"database\": \"x\", \"question_order\": \"1\", "
                          "\"question_position\": 900, \"right_count\": 0, \"wrong_count\": 0, "
                          "\"updated_at\": \"1\"}]')")
               .arg(Anna, QUuid::createUuid().toString(QUuid::WithoutBraces)),
           &error);
    QVERIFY2(error.contains(QStringLiteral("check constraint")), qPrintable(error));
    QCOMPARE(scalar(InstructorRole, Db, "SELECT count(*) FROM zeltrak.marathons").toInt(), 2);
}

void TestClassroomServer::badCredentials_clearMessage_answersStayOnThePc()
{
    QTemporaryFile wrongPasswords;
    QVERIFY(wrongPasswords.open());
    wrongPasswords.write(QStringLiteral("127.0.0.1:%1:*:%2:wrong\n")
                             .arg(address(PcRole, Db).port)
                             .arg(PcRole)
                             .toUtf8());
    wrongPasswords.close();
    const QByteArray rightPasswords = qgetenv("PGPASSFILE");
    qputenv("PGPASSFILE", QFile::encodeName(wrongPasswords.fileName()));
    auto restore = qScopeGuard([&] { qputenv("PGPASSFILE", rightPasswords); });

    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    QVERIFY(ClassroomLearners::remember(root, {Anna, QStringLiteral("Анна")}));
    AnswerHistory history(ClassroomLearners::historyPathOf(root, Anna));
    QVERIFY(history.recordAnswer(Fingerprint,
                                 AnswerRecord{8, HistoryMode::Learning, 1, true, 2, 5000, 0}));
    SyncRound round(address(PcRole, Db), root);
    SyncReport report = round.run();
    QVERIFY(!report.reachable);
    QCOMPARE(report.sent, 0);
    QCOMPARE(report.pending, 1);
    QVERIFY2(report.error.contains(QStringLiteral("не принял роль «zeltrak_pc»")) &&
                 report.error.contains(QStringLiteral(".pgpass")),
             qPrintable(report.error));
    // The PC goes on recording locally.
    QVERIFY(history.recordAnswer(Fingerprint,
                                 AnswerRecord{9, HistoryMode::Learning, 1, true, 2, 6000, 0}));
    QCOMPARE(history.answers(Fingerprint).size(), 2);

    // With the right password the waiting answers go.
    restore.dismiss();
    qputenv("PGPASSFILE", rightPasswords);
    report = round.run();
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.sent, 2);
    QCOMPARE(report.pending, 0);
}

QTEST_GUILESS_MAIN(TestClassroomServer)
#include "tst_classroomserver.moc"
