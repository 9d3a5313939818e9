// Loading and saving "stat.dat", as every start-up and attempt end does.
#include "statisticsfile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_LoadOrCreateStatistics(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    StatRecord record;
    for (auto _ : state)
        loadOrCreateStatistics(record, 5, path);
}
BENCHMARK(BM_LoadOrCreateStatistics)->Unit(benchmark::kMicrosecond);

void BM_SaveStatistics(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    StatRecord record;
    record.addCorrect(1, 1, 0);
    for (auto _ : state)
        saveStatistics(record, path);
}
BENCHMARK(BM_SaveStatistics)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
