// Reading questions as the exam window does: open a database, then read,
// parse and decode questions (pictures of 353 x 137).
#include "questiondatabase.h"
#include "syntheticdatabase.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The synthetic database (every tenth question has a picture), written once.
const QString &databasePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath("bench.dbv");
        SyntheticDatabase::write(p);
        return p;
    }();
    return path;
}

void BM_OpenDatabase(benchmark::State &state)
{
    QuestionDatabase db;
    for (auto _ : state)
        benchmark::DoNotOptimize(db.openDatabase(databasePath()));
}
BENCHMARK(BM_OpenDatabase);

void BM_ReadQuestionWithPicture(benchmark::State &state)
{
    QuestionDatabase db;
    db.openDatabase(databasePath());
    Question q;
    for (auto _ : state)
        db.readQuestion(3, q); // question 3 carries a picture
}
BENCHMARK(BM_ReadQuestionWithPicture)->Unit(benchmark::kMicrosecond);

void BM_ReadQuestionTextOnly(benchmark::State &state)
{
    QuestionDatabase db;
    db.openDatabase(databasePath());
    Question q;
    for (auto _ : state)
        db.readQuestion(1, q);
}
BENCHMARK(BM_ReadQuestionTextOnly)->Unit(benchmark::kMicrosecond);

void BM_ReadAll800(benchmark::State &state)
{
    QuestionDatabase db;
    db.openDatabase(databasePath());
    Question q;
    for (auto _ : state) {
        for (int a = 1; a <= 800; ++a)
            db.readQuestion(a, q);
    }
    state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(BM_ReadAll800)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // the synthetic pictures are drawn with QPainter
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
