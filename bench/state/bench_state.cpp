// Loading and saving "stat.dat", as every start-up and attempt end does.
#include "statisticsfile.h"

#include <QFile>
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

// A file with bytes after the record, dense (copied in chunks) or sparse (a
// hole, skipped): the save holds one chunk in memory whatever the size.
void BM_SaveStatisticsWithTail(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("stat.dat");
    const qint64 tailSize = state.range(0) * 1024 * 1024;
    const bool sparse = state.range(1) != 0;
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(StatRecord().toBytes());
        const QByteArray block(1024 * 1024, 'x');
        for (qint64 written = 0; !sparse && written < tailSize; written += block.size())
            file.write(block);
        file.resize(StatRecord::Size + tailSize);
    }
    StatRecord record;
    record.addCorrect(1, 1, 0);
    for (auto _ : state)
        saveStatistics(record, path);
    state.SetBytesProcessed(state.iterations() * tailSize);
}
BENCHMARK(BM_SaveStatisticsWithTail)
    ->Args({64, 0})
    ->Args({64, 1})
    ->Args({1024, 1})
    ->ArgNames({"MiB", "sparse"})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
