// One memory sample (/proc/meminfo and /proc/vmstat read and turned into the
// statistics record) against the bare cost of reading those two files, and
// the heap allocations a steady-state sample makes (there must be none).
// Exits non-zero when a sample costs more than 1.5 bare reads or allocates.

#include "SampleBenchmark.h"

#include "instruments/QRNMemoryInstrument.h"

namespace {

const char* const SampleName = "collectNewSample";
const char* const BareReadName = "bareMemoryFilesRead";

void collectNewSample(benchmark::State& state)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return;
    }
    QRNMemoryInstrument instrument(QStringLiteral("/"));
    instrument.collectNewSample();
    if (instrument.virtualMemoryStatistics().faults == 0) {
        state.SkipWithError("no memory statistics in /proc/meminfo and /proc/vmstat");
        return;
    }
    SampleBenchmark::measureSteadyState(state, [&] { instrument.collectNewSample(); });
    benchmark::DoNotOptimize(instrument.usedMemoryYosemite());
}
BENCHMARK(collectNewSample)->Name(SampleName)->Unit(benchmark::kNanosecond);

void bareMemoryFilesRead(benchmark::State& state)
{
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        if (!SampleBenchmark::readWhole("/proc/meminfo", buffer) || !SampleBenchmark::readWhole("/proc/vmstat", buffer)) {
            state.SkipWithError("cannot open /proc/meminfo or /proc/vmstat");
            break;
        }
    }
}
BENCHMARK(bareMemoryFilesRead)->Name(BareReadName)->Unit(benchmark::kNanosecond);

}

int main(int argc, char** argv)
{
    return SampleBenchmark::run(argc, argv, SampleName, BareReadName);
}
