// The answer history: recording an answer (also while another program holds
// the file), exam readiness over 800 questions, and opening the "Моя
// подготовка" window with a year of history.
#include "answerhistory.h"
#include "dailyseries.h"
#include "databasefingerprint.h"
#include "fsrsfit.h"
#include "historywritequeue.h"
#include "preparationoverview.h"
#include "questionprogress.h"
#include "readiness.h"
#include "studynext.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString Db = DatabaseFingerprint::fromHeader("bench");
constexpr qint64 Day = 86'400'000;
const QDateTime Now = QDateTime(QDate(2026, 12, 9), QTime(18, 0), Qt::UTC);

// A year of practice: 20000 answers over 365 days, about 55 a day, getting
// better from half right to nine in ten right.
QList<AnswerRecord> yearOfAnswers()
{
    QRandomGenerator random(13);
    QList<AnswerRecord> answers;
    const qint64 start = Now.toMSecsSinceEpoch() - 365 * Day;
    constexpr int Count = 20000;
    for (int i = 0; i < Count; ++i) {
        const qint64 at = start + qint64(double(i) / Count * 365 * Day);
        const double skill = 0.5 + 0.4 * i / Count;
        answers.append(AnswerRecord{int(random.bounded(800)) + 1, HistoryMode::Training,
                                    int(random.bounded(3)) + 1, random.generateDouble() < skill,
                                    int(random.bounded(40)), at, 0});
    }
    return answers;
}

QList<AnswerOutcome> yearOfOutcomes()
{
    QList<AnswerOutcome> outcomes;
    for (const AnswerRecord &a : yearOfAnswers())
        outcomes.append(a.outcome());
    return outcomes;
}

// A year of answers in a file. `keyed`: the database's question keys are
// stored, as for every database the program has opened, and the answers are
// read by key; otherwise by their place, as before a database is opened.
struct YearFile
{
    QTemporaryDir dir;
    QString path = AnswerHistory::filePathIn(dir.path());
    explicit YearFile(bool keyed)
    {
        AnswerHistory history(path);
        if (keyed) {
            AnswerHistory::StoredKeys keys;
            for (int q = 1; q <= 800; ++q)
                keys.keys << 1000 + q;
            history.registerQuestionKeys(Db, keys);
        }
        for (const AnswerRecord &a : yearOfAnswers())
            history.recordAnswer(Db, a);
    }
};

YearFile &yearFile()
{
    static YearFile file(true);
    return file;
}

void BM_RecordAnswer(benchmark::State &state)
{
    QTemporaryDir dir;
    AnswerHistory history(AnswerHistory::filePathIn(dir.path()));
    int n = 0;
    for (auto _ : state) {
        ++n;
        if (!history.recordAnswer(Db, AnswerRecord{n % 800 + 1, HistoryMode::Exam, 2, n % 4 != 0,
                                                   12, 1'700'000'000'000LL + n, 0}))
            state.SkipWithError("answer not recorded");
    }
}
BENCHMARK(BM_RecordAnswer)->Unit(benchmark::kMicrosecond);

// What the window pays for an answer while another program holds the file's
// write lock: the answer waits in memory, nothing waits for the file.
void BM_RecordAnswerWhileLocked(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = AnswerHistory::filePathIn(dir.path());
    AnswerHistory history(path);
    {
        QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        locker.setDatabaseName(path);
        locker.open();
        QSqlQuery(locker).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    {
        HistoryWriteQueue queue(history);
        int n = 0;
        const auto record = [&] {
            ++n;
            return queue.recordAnswer(Db, AnswerRecord{n % 800 + 1, HistoryMode::Exam, 2,
                                                       n % 4 != 0, 12, 1'700'000'000'000LL + n, 0});
        };
        record(); // meets the lock once: the short busy wait
        for (auto _ : state) {
            if (!record())
                state.SkipWithError("answer refused");
        }
        if (queue.pendingCount() != n)
            state.SkipWithError("answers were written through the lock");
        QSqlQuery(QSqlDatabase::database(QStringLiteral("locker")))
            .exec(QStringLiteral("ROLLBACK"));
        QSqlDatabase::database(QStringLiteral("locker")).close();
    } // the queue writes them all as it goes
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
}
BENCHMARK(BM_RecordAnswerWhileLocked)->Unit(benchmark::kMicrosecond)->Iterations(20000);

void BM_ReadinessOver800(benchmark::State &state)
{
    const QuestionProgressTable table = QuestionProgressTable::fromAnswers(yearOfOutcomes());
    for (auto _ : state)
        benchmark::DoNotOptimize(Readiness::compute(table, Now.toMSecsSinceEpoch()));
}
BENCHMARK(BM_ReadinessOver800)->Unit(benchmark::kMicrosecond);

// "Что учить дальше": the slope of the readiness in every question, the 20
// largest gains and the readiness with them answered right.
void BM_StudyNext(benchmark::State &state)
{
    const QuestionProgressTable table = QuestionProgressTable::fromAnswers(yearOfOutcomes());
    const auto p = Readiness::compute(table, Now.toMSecsSinceEpoch()).pRight;
    for (auto _ : state)
        benchmark::DoNotOptimize(StudyNext::choose(p));
}
BENCHMARK(BM_StudyNext)->Unit(benchmark::kMicrosecond);

// Fitting the learner's memory weights to a year of answers (the held-out
// check included), as the learner window does in the background.
void BM_FitYear(benchmark::State &state)
{
    const QList<AnswerOutcome> answers = yearOfOutcomes();
    FsrsFit::GuessChances guess{};
    guess.fill(1.0 / 3.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(FsrsFit::fit(answers, guess));
}
BENCHMARK(BM_FitYear)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplayYear(benchmark::State &state)
{
    const QList<AnswerOutcome> answers = yearOfOutcomes();
    for (auto _ : state)
        benchmark::DoNotOptimize(QuestionProgressTable::fromAnswers(answers));
}
BENCHMARK(BM_ReplayYear)->Unit(benchmark::kMicrosecond);

// What opening the window costs: read a year of answers from the file and
// compute readiness, the mistakes, the questions due and the 30-day chart.
void BM_LoadYearAndOverview(benchmark::State &state)
{
    AnswerHistory history(yearFile().path);
    for (auto _ : state) {
        const PreparationOverview o = PreparationOverview::load(history, Db, Now, QTimeZone::utc());
        if (o.lastDays.size() != PreparationOverview::ChartDays)
            state.SkipWithError("no chart");
        benchmark::DoNotOptimize(o);
    }
}
BENCHMARK(BM_LoadYearAndOverview)->Unit(benchmark::kMillisecond);

void BM_LoadYearRecords(benchmark::State &state)
{
    AnswerHistory history(yearFile().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.answers(Db));
}
BENCHMARK(BM_LoadYearRecords)->Unit(benchmark::kMillisecond);

void BM_LoadYearOutcomes(benchmark::State &state)
{
    AnswerHistory history(yearFile().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.outcomes(Db));
}
BENCHMARK(BM_LoadYearOutcomes)->Unit(benchmark::kMillisecond);

void BM_LoadYearOutcomesByPlace(benchmark::State &state)
{
    static YearFile unkeyed(false);
    AnswerHistory history(unkeyed.path);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.outcomes(Db));
}
BENCHMARK(BM_LoadYearOutcomesByPlace)->Unit(benchmark::kMillisecond);

void BM_OverviewOfYear(benchmark::State &state)
{
    const QList<AnswerOutcome> answers = yearOfOutcomes();
    for (auto _ : state)
        benchmark::DoNotOptimize(PreparationOverview::compute(answers, Now, QTimeZone::utc()));
}
BENCHMARK(BM_OverviewOfYear)->Unit(benchmark::kMillisecond);

// Opening the store at start-up: the integrity check over a year of answers.
void BM_OpenYearFile(benchmark::State &state)
{
    const QString path = yearFile().path;
    for (auto _ : state) {
        AnswerHistory history(path);
        if (!history.isAvailable())
            state.SkipWithError("not opened");
    }
}
BENCHMARK(BM_OpenYearFile)->Unit(benchmark::kMillisecond);

// The readiness line of "Динамика": one readiness per day over the year.
void BM_ReadinessByDayOverYear(benchmark::State &state)
{
    const QList<AnswerOutcome> answers = yearOfOutcomes();
    const QDate today = Now.date();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DailySeries::readiness(answers, today.addDays(-364), today, QTimeZone::utc()));
}
BENCHMARK(BM_ReadinessByDayOverYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The write queue's retry timer needs the application's event loop.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
