#include "support/CDP.h"
#include "support/QRNProcessInfo.h"
#include "support/QRNTimeUtilities.h"

#include <benchmark/benchmark.h>

// Menus format a few dozen sizes per refresh; the app-extension check looks
// a process up by name every five seconds.

static void displayTextForMemorySize(benchmark::State& state)
{
    quint64 bytes = 1536;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CDP::displayTextForMemorySize(bytes));
        bytes = bytes * 3 + 7;
    }
}
BENCHMARK(displayTextForMemorySize);

static void displayTextForMemorySizeInColumns(benchmark::State& state)
{
    quint64 bytes = 1536;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CDP::displayTextForMemorySize(bytes, true));
        bytes = bytes * 3 + 7;
    }
}
BENCHMARK(displayTextForMemorySizeInColumns);

static void localizedTextRepresentationForTimeInterval(benchmark::State& state)
{
    double seconds = 90061;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QRNTimeUtilities::localizedTextRepresentationForTimeInterval(seconds));
        seconds += 61;
    }
}
BENCHMARK(localizedTextRepresentationForTimeInterval);

static void isProcessRunningWithName(benchmark::State& state)
{
    const QRNProcessInfo& info = QRNProcessInfo::processInfo();
    for (auto _ : state)
        benchmark::DoNotOptimize(info.isProcessRunningWithName(QStringLiteral("vistrel-plus")));
}
BENCHMARK(isProcessRunningWithName)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
