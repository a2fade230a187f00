// One processor-load sample against the bare cost of reading /proc/stat, and
// the heap allocations a steady-state sample makes (there must be none).
// Exits non-zero when a sample costs more than 1.5 bare reads or allocates.

#include "SampleBenchmark.h"

#include "instruments/QRNCPULoadInstrument.h"

namespace {

const char* const SampleName = "collectNewSample";
const char* const BareReadName = "bareProcStatRead";

void collectNewSample(benchmark::State& state)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return;
    }
    QRNCPULoadInstrument instrument(QStringLiteral("/"));
    if (instrument.activeCPUCount() == 0) {
        state.SkipWithError("no processor load information in /proc/stat");
        return;
    }
    instrument.collectNewSample();
    SampleBenchmark::measureSteadyState(state, [&] { instrument.collectNewSample(); });
    state.counters["processors"] = static_cast<double>(instrument.activeCPUCount());
}
BENCHMARK(collectNewSample)->Name(SampleName)->Unit(benchmark::kNanosecond);

void bareProcStatRead(benchmark::State& state)
{
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        if (!SampleBenchmark::readWhole("/proc/stat", buffer)) {
            state.SkipWithError("cannot open /proc/stat");
            break;
        }
    }
}
BENCHMARK(bareProcStatRead)->Name(BareReadName)->Unit(benchmark::kNanosecond);

}

int main(int argc, char** argv)
{
    return SampleBenchmark::run(argc, argv, SampleName, BareReadName);
}
