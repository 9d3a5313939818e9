// The local side of the classroom, without a server: the history schema
// steps that give every row and every marathon state a UUID, the outbox's
// batches and marks, and the learners' folders of a shared PC.
#include "answerhistory.h"
#include "classroomlearners.h"
#include "databasefingerprint.h"
#include "historyschema.h"
#include "localhistoryconnection.h"
#include "outbox.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

namespace {

const QString DbA = DatabaseFingerprint::fromHeader("title A");

AnswerRecord answer(int question, bool right, qint64 at, qint64 attempt = 0)
{
    return AnswerRecord{question, HistoryMode::Learning, 1, right, 4, at, attempt};
}

// Brings a new file to schema `version` and runs `statements` in it.
void makeFileAt(const QString &path, int version, const QStringList &statements)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QCOMPARE(HistorySchema::migrate(db, version), QString());
        QSqlQuery query(db);
        for (const QString &statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

} // namespace

class TestOutbox : public QObject
{
    Q_OBJECT

private slots:
    void migrate_fromVersion5_givesEveryRowItsOwnUuid();
    void outbox_batchesAndMarks_attemptEndFollowsItsStart();
    void outbox_attemptEndedWhileItsStartWasSent_endGoesNextTime();
    void migrate_fromVersion6_marathonKeptAndQueued();
    void outbox_marathonSavedWhileSent_newStateStaysQueued();
    void learners_known_data();
    void learners_known();
};

void TestOutbox::migrate_fromVersion5_givesEveryRowItsOwnUuid()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QStringList inserts{
        QStringLiteral("INSERT INTO databases (id, fingerprint) VALUES (1, '%1')").arg(DbA),
        "INSERT INTO attempts (id, database, mode, started_at, ended_at, correct, "
        "wrong) VALUES (1, 1, 'learning', 1000, 2000, 1, 1), (2, 1, 'exam', 3000, "
        "NULL, NULL, NULL)"};
    for (int i = 1; i <= 50; ++i)
        inserts << QStringLiteral("INSERT INTO answers (database, question, mode, variant, right, "
                                  "seconds, answered_at, attempt) VALUES (1, %1, 'learning', 1, "
                                  "1, 3, %2, 1)")
                       .arg(i)
                       .arg(1000 + i);
    makeFileAt(path, 5, inserts);

    AnswerHistory history(path);
    QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
    QCOMPARE(history.answers(DbA).size(), 50);

    LocalHistoryConnection local(path);
    QVERIFY2(local.open(), qPrintable(local.errorMessage()));
    QSqlDatabase db = local.database();
    const auto batch = Outbox::take(db, 1000);
    QVERIFY(batch);
    QCOMPARE(batch->answers.size(), 50);
    QCOMPARE(batch->attempts.size(), 2);
    QSet<QString> uuids;
    for (const auto &a : batch->answers) {
        const QUuid uuid = QUuid::fromString(a.uuid);
        QVERIFY2(!uuid.isNull() && uuid.version() == QUuid::Random, qPrintable(a.uuid));
        QCOMPARE(uuid.toString(QUuid::WithoutBraces), a.uuid);
        QCOMPARE(a.attemptUuid, batch->attempts[0].uuid);
        uuids.insert(a.uuid);
    }
    for (const auto &a : batch->attempts)
        uuids.insert(a.uuid);
    QCOMPARE(uuids.size(), 52);
    QVERIFY(batch->attempts[0].endedAtMs);
    QVERIFY(!batch->attempts[1].endedAtMs);

    // Recording goes on with UUIDs of its own, never one of the migrated.
    QVERIFY(history.recordAnswer(DbA, answer(7, false, 9000)));
    const auto next = Outbox::take(db, 1000);
    QCOMPARE(next->answers.size(), 51);
    QVERIFY(!uuids.contains(next->answers.last().uuid));
}

void TestOutbox::outbox_batchesAndMarks_attemptEndFollowsItsStart()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    AnswerHistory history(path);
    const qint64 attempt =
        history.beginAttempt(DbA, HistoryMode::OfficialExam, QDateTime::fromMSecsSinceEpoch(100));
    QVERIFY(attempt > 0);
    for (int q = 1; q <= 5; ++q)
        QVERIFY(history.recordAnswer(DbA, answer(q, q != 3, 100 + q, attempt)));

    LocalHistoryConnection local(path);
    QVERIFY(local.open());
    QSqlDatabase db = local.database();
    QCOMPARE(Outbox::pendingCount(db), 6);

    // Batches of two: the attempt's start goes with the first, unended.
    auto batch = Outbox::take(db, 2);
    QCOMPARE(batch->answers.size(), 2);
    QCOMPARE(batch->attempts.size(), 1);
    QVERIFY(!batch->attempts[0].startSent);
    QVERIFY(!batch->attempts[0].endedAtMs);
    QVERIFY(Outbox::markSent(db, *batch));
    QCOMPARE(Outbox::pendingCount(db), 3);

    // An unended attempt whose start is on the server waits for its end.
    batch = Outbox::take(db, 10);
    QCOMPARE(batch->answers.size(), 3);
    QCOMPARE(batch->answers[0].question, 3);
    QVERIFY(!batch->answers[0].right);
    QVERIFY(batch->attempts.isEmpty());
    QVERIFY(Outbox::markSent(db, *batch));

    QVERIFY(history.endAttempt(attempt, QDateTime::fromMSecsSinceEpoch(900), {4, 1, false}));
    batch = Outbox::take(db, 10);
    QVERIFY(batch->answers.isEmpty());
    QCOMPARE(batch->attempts.size(), 1);
    QVERIFY(batch->attempts[0].startSent);
    QCOMPARE(batch->attempts[0].endedAtMs, 900);
    QCOMPARE(batch->attempts[0].passed, false);
    QVERIFY(Outbox::markSent(db, *batch));
    QVERIFY(Outbox::take(db, 10)->isEmpty());
    QCOMPARE(Outbox::pendingCount(db), 0);
}

void TestOutbox::outbox_attemptEndedWhileItsStartWasSent_endGoesNextTime()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    AnswerHistory history(path);
    const qint64 attempt =
        history.beginAttempt(DbA, HistoryMode::Learning, QDateTime::fromMSecsSinceEpoch(100));
    LocalHistoryConnection local(path);
    QVERIFY(local.open());
    QSqlDatabase db = local.database();
    const auto batch = Outbox::take(db, 10);
    QCOMPARE(batch->attempts.size(), 1);
    // The window ends the attempt while the batch is on its way.
    QVERIFY(history.endAttempt(attempt, QDateTime::fromMSecsSinceEpoch(500), {1, 0, {}}));
    QVERIFY(Outbox::markSent(db, *batch));
    const auto next = Outbox::take(db, 10);
    QCOMPARE(next->attempts.size(), 1);
    QCOMPARE(next->attempts[0].endedAtMs, 500);
}

void TestOutbox::migrate_fromVersion6_marathonKeptAndQueued()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    QStringList order;
    for (int q = 800; q >= 1; --q)
        order << QString::number(q);
    makeFileAt(path, 6,
               {QStringLiteral("INSERT INTO databases (id, fingerprint) VALUES (1, '%1')").arg(DbA),
                QStringLiteral("INSERT INTO marathon (database, question_order, position, "
                               "updated_at, right_count, wrong_count) VALUES (1, '%1', 12, 5000, "
                               "9, 3)")
                    .arg(order.join(','))});

    AnswerHistory history(path);
    QVERIFY2(history.isAvailable(), qPrintable(history.errorMessage()));
    const auto kept = history.marathon(DbA);
    QVERIFY(kept);
    QCOMPARE(kept->order.first(), 800);
    QCOMPARE(kept->position, 12);
    QCOMPARE(kept->right, 9);
    QCOMPARE(kept->wrong, 3);

    // The marathon under way before the step goes to the server once.
    LocalHistoryConnection local(path);
    QVERIFY(local.open());
    QSqlDatabase db = local.database();
    QCOMPARE(Outbox::pendingCount(db), 1);
    const auto batch = Outbox::take(db, 10);
    QCOMPARE(batch->marathons.size(), 1);
    const OutgoingMarathon &m = batch->marathons[0];
    QVERIFY2(QUuid::fromString(m.uuid).version() == QUuid::Random, qPrintable(m.uuid));
    QCOMPARE(m.database, DbA);
    QCOMPARE(m.order, order.join(','));
    QCOMPARE(m.position, 12);
    QCOMPARE(m.updatedAtMs, 5000);
    QVERIFY(Outbox::markSent(db, *batch));
    QCOMPARE(Outbox::pendingCount(db), 0);
}

void TestOutbox::outbox_marathonSavedWhileSent_newStateStaysQueued()
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    AnswerHistory history(path);
    MarathonState state;
    for (int q = 1; q <= 800; ++q)
        state.order << q;
    state.position = 1;
    state.right = 1;
    QVERIFY(history.saveMarathon(DbA, state, QDateTime::fromMSecsSinceEpoch(1000)));
    // Saved again before any sync: only the newest state waits.
    state.position = 2;
    state.wrong = 1;
    QVERIFY(history.saveMarathon(DbA, state, QDateTime::fromMSecsSinceEpoch(2000)));

    LocalHistoryConnection local(path);
    QVERIFY(local.open());
    QSqlDatabase db = local.database();
    const auto batch = Outbox::take(db, 10);
    QCOMPARE(batch->marathons.size(), 1);
    QCOMPARE(batch->marathons[0].position, 2);
    QCOMPARE(batch->marathons[0].wrong, 1);
    // The learner answers on while the batch is on its way: the state saved
    // meanwhile is not taken for sent.
    state.position = 3;
    QVERIFY(history.saveMarathon(DbA, state, QDateTime::fromMSecsSinceEpoch(3000)));
    QVERIFY(Outbox::markSent(db, *batch));
    const auto next = Outbox::take(db, 10);
    QCOMPARE(next->marathons.size(), 1);
    QCOMPARE(next->marathons[0].position, 3);
    QVERIFY(next->marathons[0].uuid != batch->marathons[0].uuid);
    QVERIFY(Outbox::markSent(db, *next));
    QVERIFY(Outbox::take(db, 10)->isEmpty());
}

void TestOutbox::learners_known_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("listed");
    const QString id = QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a");
    QTest::newRow("well formed") << id << QByteArray(R"({"id":"%1","name":"  Анна   Петрова "})")
                                 << true;
    QTest::newRow("folder not a uuid")
        << QStringLiteral("notes") << QByteArray(R"({"id":"notes","name":"Анна"})") << false;
    QTest::newRow("id of another folder")
        << id << QByteArray(R"({"id":"11111111-2222-4333-8444-555555555555","name":"Анна"})")
        << false;
    QTest::newRow("no name") << id << QByteArray(R"({"id":"%1","name":"   "})") << false;
    QTest::newRow("not json") << id << QByteArray("\x00\x01garbage", 9) << false;
    QTest::newRow("too large") << id
                               << QByteArray(R"({"id":"%1","name":"Анна","x":")") +
                                      QByteArray(5000, 'x') + QByteArray("\"}")
                               << false;
}

void TestOutbox::learners_known()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, json);
    QFETCH(bool, listed);
    QTemporaryDir dir;
    const QString root = ClassroomLearners::rootIn(dir.path());
    QVERIFY(QDir().mkpath(ClassroomLearners::folderOf(root, folder)));
    QFile file(QDir(ClassroomLearners::folderOf(root, folder)).filePath("learner.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(json.replace("%1", folder.toUtf8()));
    file.close();
    const QList<ClassroomLearner> known = ClassroomLearners::known(root);
    QCOMPARE(known.size(), listed ? 1 : 0);
    if (listed) {
        QCOMPARE(known[0].name, QStringLiteral("Анна Петрова"));
        // Written back as read, the learner is the same.
        QVERIFY(ClassroomLearners::remember(root, known[0]));
        QCOMPARE(ClassroomLearners::known(root), known);
    }
}

QTEST_GUILESS_MAIN(TestOutbox)
#include "tst_outbox.moc"
