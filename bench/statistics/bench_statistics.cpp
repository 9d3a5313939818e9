// Opening the statistics window with a full record and switching its filter
// must each stay well under 100 ms. Runs under the offscreen platform unless
// another one is chosen.

#include "samplerecord.h"
#include "statisticsmodel.h"
#include "statisticswindow.h"
#include "statrecord.h"

#include <QApplication>
#include <QRadioButton>

#include <benchmark/benchmark.h>

namespace {

void computeRatings(benchmark::State &state)
{
    StatRecord record;
    fillFullRecord(record);
    for (auto _ : state) {
        TicketRatings ratings = computeTicketRatings(record, ModeFilter::All);
        benchmark::DoNotOptimize(ratings);
    }
}
BENCHMARK(computeRatings)->Unit(benchmark::kMicrosecond);

// show() runs the refresh of all five charts; the events processed after it
// lay the window out and paint it.
void openWindow(benchmark::State &state)
{
    fillFullRecord(globalStatRecord());
    StatisticsWindow form;
    for (auto _ : state) {
        form.show();
        QCoreApplication::processEvents();
        form.hide();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(openWindow)->Unit(benchmark::kMillisecond);

void switchFilter(benchmark::State &state)
{
    fillFullRecord(globalStatRecord());
    StatisticsWindow form;
    form.show();
    QCoreApplication::processEvents();
    auto *all = form.findChild<QRadioButton *>(QStringLiteral("rb1"));
    auto *exam = form.findChild<QRadioButton *>(QStringLiteral("rb4"));
    bool toExam = true;
    for (auto _ : state) {
        (toExam ? exam : all)->click();
        QCoreApplication::processEvents();
        toExam = !toExam;
    }
}
BENCHMARK(switchFilter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
