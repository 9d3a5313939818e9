// The sync of learner PCs to a real PostgreSQL: PCs and learners at work at
// once, the server stopped mid-batch, killed after its commit before the PC
// heard of it, the same learner on two PCs. Afterwards every answer is on
// the server exactly once and every PC's local history matches it. A
// learner's marathon goes on at another PC, and an older state of it never
// replaces a newer one. Results reset at one PC stay reset at every PC. An
// engine ended while the server is silent does not hold the window.
#include "answerhistory.h"
#include "classroomlearners.h"
#include "classroomsignin.h"
#include "databasefingerprint.h"
#include "historywritequeue.h"
#include "learnerpull.h"
#include "localhistoryconnection.h"
#include "outbox.h"
#include "serverconnection.h"
#include "syncengine.h"
#include "syncround.h"
#include "testserver.h"

#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <utility>

using namespace TestServer;

namespace {

const QString Fingerprint = DatabaseFingerprint::fromHeader("title A");
const ClassroomLearner Anna{QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a"),
                            QStringLiteral("Анна")};
const ClassroomLearner Boris{QStringLiteral("1c8d5a9f-6c2b-4d67-8b65-2a3f4e5d6c7b"),
                             QStringLiteral("Борис")};
const ClassroomLearner Vera{QStringLiteral("2d9e6b0a-7d3c-4e78-9c76-3b4a5f6e7d8c"),
                            QStringLiteral("Вера")};

// Records `count` answers of `learner` on the PC at `root`, in attempts of
// twenty (each begun and ended), as the program does: through the write
// queue, which keeps a write that meets the sync's lock on the file and
// tries it again (the history waits only 50 ms for a lock, and on a loaded
// machine the sync's transaction can hold it longer).
void answer(const QString &root, const ClassroomLearner &learner, int count, qint64 startMs)
{
    QVERIFY(ClassroomLearners::remember(root, learner));
    AnswerHistory history(ClassroomLearners::historyPathOf(root, learner.id));
    QVERIFY(history.isAvailable());
    HistoryWriteQueue queue(history);
    qint64 attempt = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 at = startMs + i * 1000;
        if (i % 20 == 0)
            attempt = queue.beginAttempt(Fingerprint, HistoryMode::Learning,
                                         QDateTime::fromMSecsSinceEpoch(at));
        QVERIFY2(attempt != 0, qPrintable(history.errorMessage()));
        QVERIFY(
            queue.recordAnswer(Fingerprint, AnswerRecord{1 + i % 800, HistoryMode::Learning,
                                                         1 + i % 3, i % 4 != 0, 3, at, attempt}));
        if (i % 20 == 19)
            queue.endAttempt(attempt, QDateTime::fromMSecsSinceEpoch(at + 1), {15, 5, {}});
    }
    QVERIFY(queue.flush(60'000));
}

QSet<QString> localUuids(const QString &root, const ClassroomLearner &learner)
{
    QSet<QString> uuids;
    LocalHistoryConnection local(ClassroomLearners::historyPathOf(root, learner.id));
    if (!local.open())
        return uuids;
    QSqlQuery query(local.database());
    query.exec(QStringLiteral("SELECT uuid FROM answers"));
    while (query.next())
        uuids.insert(query.value(0).toString());
    return uuids;
}

// The learner's answers on the server, and how many rows hold them.
QPair<QSet<QString>, int> serverAnswers(const QString &db, const ClassroomLearner &learner)
{
    QSet<QString> uuids;
    int rows = 0;
    ServerConnection instructor(address(InstructorRole, db));
    if (!instructor.open())
        return {uuids, -1};
    QSqlQuery query(instructor.database());
    query.prepare(QStringLiteral("SELECT CAST(uuid AS text) FROM zeltrak.answers WHERE learner = "
                                 "CAST(? AS uuid)"));
    query.addBindValue(learner.id);
    query.exec();
    while (query.next()) {
        uuids.insert(query.value(0).toString());
        ++rows;
    }
    return {uuids, rows};
}

int serverCount(const QString &db, const QString &sql)
{
    return scalar(InstructorRole, db, sql).toInt();
}

} // namespace

class TestClassroomSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void threeLearnersTwoPcs_concurrently_everyAnswerOnceAndHistoriesMatch();
    void serverStoppedMidBatch_restarted_nothingLostNothingDoubled();
    void serverKilledAfterCommit_beforeThePcHeard_resentAndStoredOnce();
    void engine_sendsInTheBackground();
    void engine_retiredWhileTheServerIsSilent_finishesOnItsOwn();
    void marathon_resumesOnAnotherPc_olderStateNeverOverwritesNewer();
    void reset_onOnePc_nothingFromBeforeItComesBackAnywhere();
};

void TestClassroomSync::initTestCase()
{
    if (const QString why = skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestClassroomSync::threeLearnersTwoPcs_concurrently_everyAnswerOnceAndHistoriesMatch()
{
    const QString db = freshDatabase(QStringLiteral("zt_concurrent"));
    QTemporaryDir pc1, pc2;
    const QString root1 = ClassroomLearners::rootIn(pc1.path());
    const QString root2 = ClassroomLearners::rootIn(pc2.path());
    constexpr int PerLearner = 400;

    // Anna and Boris at the first PC, Boris (another day) and Vera at the
    // second; each PC's sync runs in small batches while they answer.
    std::atomic<int> writing = 4;
    QList<QThread *> threads;
    const auto writer = [&](const QString &root, const ClassroomLearner &learner, qint64 start) {
        threads << QThread::create([&, root, learner, start] {
            answer(root, learner, PerLearner, start);
            --writing;
        });
    };
    writer(root1, Anna, 1'000'000);
    writer(root1, Boris, 2'000'000);
    writer(root2, Boris, 9'000'000);
    writer(root2, Vera, 3'000'000);
    QList<SyncReport> last(2);
    for (int pc = 0; pc < 2; ++pc) {
        threads << QThread::create([&, pc] {
            SyncRound round(address(PcRole, db), pc == 0 ? root1 : root2);
            while (writing > 0)
                last[pc] = round.run(50);
            last[pc] = round.run(50);
        });
    }
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(120'000));
        delete thread;
    }
    for (const SyncReport &report : last) {
        QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
        QCOMPARE(report.pending, 0);
    }

    // Every answer once: as many rows as answers, each a UUID of a PC.
    const auto [annaServer, annaRows] = serverAnswers(db, Anna);
    QCOMPARE(annaRows, PerLearner);
    QCOMPARE(annaServer, localUuids(root1, Anna));
    const auto [borisServer, borisRows] = serverAnswers(db, Boris);
    QCOMPARE(borisRows, 2 * PerLearner);
    QCOMPARE(borisServer, localUuids(root1, Boris) + localUuids(root2, Boris));
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.answers"), 4 * PerLearner);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.attempt_ends"), 4 * PerLearner / 20);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.learners"), 3);

    // Boris signs in at each PC again: both have all his answers, once.
    ServerConnection pc(address(PcRole, db));
    QVERIFY(pc.open());
    QSqlDatabase server = pc.database();
    for (const QString &root : {root1, root2}) {
        const auto pulled =
            LearnerPull::pull(server, Boris.id, ClassroomLearners::historyPathOf(root, Boris.id));
        QVERIFY2(pulled.ok, qPrintable(pulled.error));
        QCOMPARE(pulled.answers, PerLearner);
        QCOMPARE(pulled.attempts, PerLearner / 20);
        QCOMPARE(localUuids(root, Boris), borisServer);
        AnswerHistory history(ClassroomLearners::historyPathOf(root, Boris.id));
        const QList<AnswerRecord> answers = history.answers(Fingerprint);
        QCOMPARE(answers.size(), 2 * PerLearner);
        QCOMPARE(history.attempts(Fingerprint).size(), 2 * PerLearner / 20);
        // Pulled rows count as sent: nothing goes back.
        QCOMPARE(SyncRound(address(PcRole, db), root).run().sent, 0);
    }
    // The same history on both PCs (row ids aside): what every window reads.
    const QList<AnswerOutcome> first =
        AnswerHistory(ClassroomLearners::historyPathOf(root1, Boris.id)).outcomes(Fingerprint);
    QCOMPARE(first.size(), 2 * PerLearner);
    QCOMPARE(AnswerHistory(ClassroomLearners::historyPathOf(root2, Boris.id)).outcomes(Fingerprint),
             first);
}

void TestClassroomSync::serverStoppedMidBatch_restarted_nothingLostNothingDoubled()
{
    const QString db = freshDatabase(QStringLiteral("zt_restart"));
    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    answer(root, Anna, 250, 1'000'000);

    SyncRound round(address(PcRole, db), root);
    int batches = 0;
    ServerPush::Hooks hooks;
    // The second batch is on the server, uncommitted, when it stops.
    hooks.beforeCommit = [&] {
        if (++batches == 2)
            QVERIFY(halt());
    };
    SyncReport report = round.run(100, hooks);
    QVERIFY(!report.reachable);
    QVERIFY2(report.error.contains(QStringLiteral("недоступен")), qPrintable(report.error));
    QCOMPARE(report.sent, 100 + 13); // the first batch: 100 answers, 13 attempts
    QCOMPARE(report.pending, 150);

    // While it is down, the PC keeps answering.
    report = round.run(100);
    QVERIFY(!report.reachable);
    QCOMPARE(report.pending, 150);

    QVERIFY(resume());
    report = round.run(100);
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.pending, 0);
    const auto [uuids, rows] = serverAnswers(db, Anna);
    QCOMPARE(rows, 250);
    QCOMPARE(uuids, localUuids(root, Anna));
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.attempts"), 13);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.attempt_ends"), 12);
}

void TestClassroomSync::serverKilledAfterCommit_beforeThePcHeard_resentAndStoredOnce()
{
    const QString db = freshDatabase(QStringLiteral("zt_killed"));
    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    answer(root, Anna, 120, 1'000'000);
    {
        // The commit reaches the server; the server dies before the PC
        // marks the batch, and so does the PC's run.
        SyncRound round(address(PcRole, db), root);
        round.setAfterCommit([] {
            halt();
            return false;
        });
        const SyncReport report = round.run(1000);
        QCOMPARE(report.pending, 120 + 6);
    }
    QVERIFY(resume());
    QCOMPARE(serverAnswers(db, Anna).second, 120); // the server has them already

    // The PC starts again and sends the same batch: stored once.
    SyncRound round(address(PcRole, db), root);
    const SyncReport report = round.run(1000);
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.sent, 120 + 6);
    QCOMPARE(report.pending, 0);
    const auto [uuids, rows] = serverAnswers(db, Anna);
    QCOMPARE(rows, 120);
    QCOMPARE(uuids, localUuids(root, Anna));
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.attempts"), 6);
}

void TestClassroomSync::engine_sendsInTheBackground()
{
    const QString db = freshDatabase(QStringLiteral("zt_engine"));
    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    answer(root, Vera, 30, 1'000'000);
    SyncEngine engine(address(PcRole, db), root);
    QSignalSpy rounds(&engine, &SyncEngine::roundFinished);
    engine.start(60'000);
    QVERIFY(rounds.wait(10'000));
    auto report = rounds.last().first().value<SyncReport>();
    QCOMPARE(report.sent, 30 + 2);
    // More answers, and a round asked for at once.
    answer(root, Vera, 10, 5'000'000);
    engine.syncNow();
    QVERIFY(rounds.wait(10'000));
    report = rounds.last().first().value<SyncReport>();
    QCOMPARE(report.sent, 10 + 1);
    QCOMPARE(report.pending, 0);
    QCOMPARE(serverAnswers(db, Vera).second, 40);
}

// Turning the classroom off while the server takes the connection but never
// answers: the window does not wait out the connection timeout, and the
// engine ends by itself once its round gave up.
void TestClassroomSync::engine_retiredWhileTheServerIsSilent_finishesOnItsOwn()
{
    // The system completes the connection; nobody ever answers on it.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QTemporaryDir pc;
    const QString root = ClassroomLearners::rootIn(pc.path());
    answer(root, Vera, 3, 1'000'000);
    ServerAddress server = address(PcRole, QStringLiteral("zt_silent"));
    server.port = silent.serverPort();
    auto engine = std::make_unique<SyncEngine>(server, root);
    QSignalSpy rounds(engine.get(), &SyncEngine::roundFinished);
    engine->start(60'000);
    QTRY_VERIFY(silent.hasPendingConnections()); // the round waits for the server
    const QPointer<SyncEngine> retired = engine.get();
    SyncEngine::retire(std::move(engine));
    QVERIFY(retired && retired->isRunning()); // not waited for
    QTRY_VERIFY_WITH_TIMEOUT(!retired, 30'000);
    QCOMPARE(rounds.size(), 0); // nothing reported after it was retired
}

void TestClassroomSync::marathon_resumesOnAnotherPc_olderStateNeverOverwritesNewer()
{
    const QString db = freshDatabase(QStringLiteral("zt_marathon"));
    QTemporaryDir pc1, pc2;
    const QString root1 = ClassroomLearners::rootIn(pc1.path());
    const QString root2 = ClassroomLearners::rootIn(pc2.path());
    const QString path1 = ClassroomLearners::historyPathOf(root1, Anna.id);
    const QString path2 = ClassroomLearners::historyPathOf(root2, Anna.id);
    // An order of its own: 337 is prime to 800, so i * 337 runs through all.
    MarathonState state;
    for (int i = 0; i < 800; ++i)
        state.order << 1 + (i * 337) % 800;
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 3'600'000;
    // Answers `count` more of Anna's marathon in the history at `path`,
    // keeping its state after each answer as the program does.
    const auto goOn = [&](const QString &path, int count, qint64 fromMs) {
        AnswerHistory history(path);
        QVERIFY(history.isAvailable());
        for (int i = 0; i < count; ++i) {
            const bool right = state.position % 5 != 0;
            const qint64 at = fromMs + i * 1000;
            QVERIFY(history.recordAnswer(Fingerprint,
                                         AnswerRecord{state.order[state.position],
                                                      HistoryMode::Marathon, 1, right, 3, at, 0}));
            ++state.position;
            ++(right ? state.right : state.wrong);
            QVERIFY(history.saveMarathon(Fingerprint, state, QDateTime::fromMSecsSinceEpoch(at)));
        }
    };

    // PC 1: 37 questions. The first round's acknowledgement is lost, so the
    // same state is sent twice; the server keeps it once.
    QVERIFY(ClassroomLearners::remember(root1, Anna));
    goOn(path1, 37, start);
    {
        SyncRound round(address(PcRole, db), root1);
        round.setAfterCommit([] { return false; });
        round.run();
    }
    SyncReport report = SyncRound(address(PcRole, db), root1).run();
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.pending, 0);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.marathons"), 1);
    const MarathonState onPc1 = state;

    // PC 2: she signs in and the marathon resumes where she left it.
    ClassroomSignIn::Result signedIn = ClassroomSignIn::signIn(address(PcRole, db), root2, Anna);
    QVERIFY(signedIn.ok);
    QVERIFY2(signedIn.note.isEmpty(), qPrintable(signedIn.note));
    QCOMPARE(AnswerHistory(path2).marathon(Fingerprint), onPc1);
    QCOMPARE(AnswerHistory(path2).answers(Fingerprint).size(), 37);

    // Three more at PC 2, not yet sent; signing in there again brings the
    // older state of PC 1 from the server, which must not replace hers.
    goOn(path2, 3, start + 600'000);
    const MarathonState onPc2 = state;
    QCOMPARE(onPc2.position, 40);
    signedIn = ClassroomSignIn::signIn(address(PcRole, db), root2, Anna);
    QVERIFY(signedIn.ok);
    QCOMPARE(AnswerHistory(path2).marathon(Fingerprint), onPc2);

    // PC 2 sends it; back at PC 1 she goes on from question 41.
    report = SyncRound(address(PcRole, db), root2).run();
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.pending, 0);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.marathons"), 2);
    QVERIFY(ClassroomSignIn::signIn(address(PcRole, db), root1, Anna).ok);
    QCOMPARE(AnswerHistory(path1).marathon(Fingerprint), onPc2);
    // Pulled, it counts as sent: PC 1 does not send it back.
    QCOMPARE(SyncRound(address(PcRole, db), root1).run().sent, 0);
}

void TestClassroomSync::reset_onOnePc_nothingFromBeforeItComesBackAnywhere()
{
    const QString db = freshDatabase(QStringLiteral("zt_reset"));
    QTemporaryDir pc1, pc2, pc3;
    const QString root1 = ClassroomLearners::rootIn(pc1.path());
    const QString root2 = ClassroomLearners::rootIn(pc2.path());
    const QString root3 = ClassroomLearners::rootIn(pc3.path());
    const QString path1 = ClassroomLearners::historyPathOf(root1, Anna.id);
    const QString path2 = ClassroomLearners::historyPathOf(root2, Anna.id);
    const QString path3 = ClassroomLearners::historyPathOf(root3, Anna.id);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 resetAt = now - 3'600'000;

    // Before the reset: 40 answers and a marathon at PC 1, on the server and
    // brought to PC 2 by a sign-in there.
    answer(root1, Anna, 40, resetAt - 3'600'000);
    QList<int> order(800);
    std::iota(order.begin(), order.end(), 1);
    QVERIFY(AnswerHistory(path1).saveMarathon(Fingerprint, MarathonState{order, 40, 30, 10},
                                              QDateTime::fromMSecsSinceEpoch(resetAt - 1000)));
    QVERIFY(SyncRound(address(PcRole, db), root1).run().error.isEmpty());
    QVERIFY(ClassroomSignIn::signIn(address(PcRole, db), root2, Anna).ok);
    QCOMPARE(AnswerHistory(path2).answers(Fingerprint).size(), 40);

    // She resets her results at PC 1 and signs in there again before the
    // reset reached the server: her old answers must not come back.
    QVERIFY(AnswerHistory(path1).clear(Fingerprint, QDateTime::fromMSecsSinceEpoch(resetAt)));
    QVERIFY(ClassroomSignIn::signIn(address(PcRole, db), root1, Anna).ok);
    QVERIFY(AnswerHistory(path1).answers(Fingerprint).isEmpty());
    QVERIFY(AnswerHistory(path1).attempts(Fingerprint).isEmpty());
    QCOMPARE(AnswerHistory(path1).marathon(Fingerprint), std::nullopt);

    // The reset reaches the server with her next answers.
    answer(root1, Anna, 20, resetAt + 60'000);
    SyncReport report = SyncRound(address(PcRole, db), root1).run();
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QCOMPARE(report.pending, 0);
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.resets"), 1);
    // The server keeps everything it was sent; nothing is deleted there.
    QCOMPARE(serverAnswers(db, Anna).second, 60);

    // PC 2 still held the old answers and marathon; a fresh PC 3 has none.
    // Both show only what came after the reset.
    for (const auto &[root, path] : {std::pair{root2, path2}, std::pair{root3, path3}}) {
        QVERIFY(ClassroomSignIn::signIn(address(PcRole, db), root, Anna).ok);
        AnswerHistory history(path);
        const QList<AnswerRecord> answers = history.answers(Fingerprint);
        QCOMPARE(answers.size(), 20);
        QVERIFY(std::all_of(answers.cbegin(), answers.cend(),
                            [&](const AnswerRecord &a) { return a.answeredAtMs > resetAt; }));
        QCOMPARE(history.attempts(Fingerprint).size(), 1);
        QCOMPARE(history.marathon(Fingerprint), std::nullopt);
        // The reset came from the server: not sent back.
        QCOMPARE(SyncRound(address(PcRole, db), root).run().sent, 0);
    }
    QCOMPARE(serverCount(db, "SELECT count(*) FROM zeltrak.resets"), 1);
}

QTEST_GUILESS_MAIN(TestClassroomSync)
#include "tst_classroomsync.moc"
