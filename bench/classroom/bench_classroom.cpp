// The classroom's sync against a PostgreSQL server on the same machine
// (started here by the tests' own fixture script): sending 10 000 answers
// from a PC, and the sign-in of a learner with a year of history on the
// server.
#include "answerhistory.h"
#include "classroomlearners.h"
#include "classroomsignin.h"
#include "databasefingerprint.h"
#include "syncround.h"
#include "testserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString Fingerprint = DatabaseFingerprint::fromHeader("bench");
const ClassroomLearner Learner{QStringLiteral("0b7c4f8e-5b1a-4c56-9a54-1f2e3d4c5b6a"),
                               QStringLiteral("Анна Петрова")};
constexpr qint64 Day = 86'400'000;

// `count` answers over `days` days, in attempts of twenty, unsent.
void fill(const QString &historyPath, int count, int days)
{
    QRandomGenerator random(7);
    AnswerHistory history(historyPath);
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - days * Day;
    qint64 attempt = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 at = start + qint64(double(i) / count * days * Day);
        if (i % 20 == 0)
            attempt = history.beginAttempt(Fingerprint, HistoryMode::Training,
                                           QDateTime::fromMSecsSinceEpoch(at));
        history.recordAnswer(Fingerprint,
                             AnswerRecord{int(random.bounded(800)) + 1, HistoryMode::Training,
                                          int(random.bounded(3)) + 1, random.bounded(10) < 8,
                                          int(random.bounded(40)), at, attempt});
        if (i % 20 == 19)
            history.endAttempt(attempt, QDateTime::fromMSecsSinceEpoch(at + 1000), {16, 4, true});
    }
}

// Sending a day's class worth and more at once: 10 000 answers (and their
// 500 attempts) of one learner, from a PC that was offline, in batches of
// 1000 rows, each one server transaction.
void BM_Sync10000Answers(benchmark::State &state)
{
    QTemporaryDir pristine;
    const QString pristinePath = AnswerHistory::filePathIn(pristine.path());
    fill(pristinePath, 10'000, 30);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString db = TestServer::freshDatabase(QStringLiteral("zt_bench_sync"));
        QTemporaryDir pc;
        const QString root = ClassroomLearners::rootIn(pc.path());
        ClassroomLearners::remember(root, Learner);
        QFile::copy(pristinePath, ClassroomLearners::historyPathOf(root, Learner.id));
        SyncRound sync(TestServer::address(TestServer::PcRole, db), root);
        state.ResumeTiming();
        const SyncReport report = sync.run();
        if (report.sent != 10'500 || report.pending != 0)
            state.SkipWithError(qPrintable(QStringLiteral("round %1: sent %2, pending %3: %4")
                                               .arg(++round)
                                               .arg(report.sent)
                                               .arg(report.pending)
                                               .arg(report.error)));
    }
}
BENCHMARK(BM_Sync10000Answers)->Unit(benchmark::kMillisecond)->Iterations(3);

// A learner with a year of practice (20 000 answers, 1000 attempts) signs in
// at a PC that has never seen them: the connection, the pull and the local
// file written.
void BM_SignInWithYearOfHistory(benchmark::State &state)
{
    const QString db = TestServer::freshDatabase(QStringLiteral("zt_bench_signin"));
    {
        QTemporaryDir pc;
        const QString root = ClassroomLearners::rootIn(pc.path());
        ClassroomLearners::remember(root, Learner);
        fill(ClassroomLearners::historyPathOf(root, Learner.id), 20'000, 365);
        SyncRound(TestServer::address(TestServer::PcRole, db), root).run();
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir pc;
        const QString root = ClassroomLearners::rootIn(pc.path());
        state.ResumeTiming();
        const ClassroomSignIn::Result result =
            ClassroomSignIn::signIn(TestServer::address(TestServer::PcRole, db), root, Learner);
        if (result.pulledAnswers != 20'000)
            state.SkipWithError(qPrintable(result.note));
    }
}
BENCHMARK(BM_SignInWithYearOfHistory)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString info = QDir(work.path()).filePath(QStringLiteral("pgserver.info"));
    qputenv("ZELTRAK_PG_INFO", info.toLocal8Bit());
    qputenv("ZELTRAK_PG_SCRIPT", ZELTRAK_PG_SCRIPT);
    QProcess::execute(QStringLiteral(ZELTRAK_PG_SCRIPT), {QStringLiteral("start"), info});
    if (const QString why = TestServer::skipReason(); !why.isEmpty()) {
        fprintf(stderr, "bench_classroom: %s\n", qPrintable(why));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QProcess::execute(QStringLiteral(ZELTRAK_PG_SCRIPT), {QStringLiteral("stop"), info});
    return 0;
}
