// One sample of one graphics processor as its sampling group takes it: the
// load and both memory figures read through the registry, once from a
// fixture registry (the instrument's own cost) and once from the Linux
// registry over NVIDIA's library (here the stand-in the tests build, found
// the way the real one is):
//
//   LD_LIBRARY_PATH=build/test/tests/nvml build/test/bench/gpu_bench
//
// Fails when a steady-state sample allocates or takes 20 µs or more.

#include "SampleBenchmark.h"

#include "instruments/QRNGPUInstrument.h"
#include "platform/registry/FixtureRegistry.h"
#include "platform/registry/LinuxRegistry.h"

#include <QTemporaryDir>

namespace {

constexpr double LimitNanoseconds = 20000.0;

void sampleOf(benchmark::State& state, std::unique_ptr<Registry> registry)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return;
    }
    Registry::setShared(std::move(registry));
    const QRNGPUInstrument::List gpus = QRNGPUInstrument::instrumentsForAllGPUs();
    if (gpus.empty()) {
        state.SkipWithError("no graphics processor (is the stand-in library on LD_LIBRARY_PATH?)");
        Registry::setShared(nullptr);
        return;
    }
    QRNGPUInstrument& gpu = *gpus.front();
    for (int i = 0; i < 3; ++i)
        gpu.collectNewSample();
    SampleBenchmark::measureSteadyState(state, [&gpu] {
        gpu.collectNewSample();
        benchmark::DoNotOptimize(gpu.utilization());
    });
    state.counters["used"] = static_cast<double>(gpu.usedMemory());
    Registry::setShared(nullptr);
}

void gpuSampleFixture(benchmark::State& state)
{
    const QVariantMap accelerator {{"model", "NVIDIA H100 80GB HBM3"}, {"VRAM,totalMB", 81559},
        {"PerformanceStatistics", QVariantMap {{"Device Utilization %", 37}, {"inUseVidMemoryBytes", 1ull << 31}}}};
    const QVariantMap root {{"name", "Root"}, {"class", "IORegistryEntry"},
        {"children", QVariantList {QVariantMap {{"name", "display"}, {"class", "IOPCIDevice"},
                         {"properties", QVariantMap {{"vendor-id", QByteArray("\xde\x10\x00\x00", 4)}}},
                         {"children", QVariantList {QVariantMap {{"name", "nvidia"}, {"class", "IOAccelerator"},
                                          {"properties", accelerator}}}}}}}};
    sampleOf(state, FixtureRegistry::fromPropertyList(root));
}
BENCHMARK(gpuSampleFixture);

void gpuSampleNvml(benchmark::State& state)
{
    // An empty machine: the only processor is the library's.
    static QTemporaryDir empty;
    sampleOf(state, std::make_unique<LinuxRegistry>(empty.path()));
}
BENCHMARK(gpuSampleNvml);

class LimitReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // Of repeated runs, the median is judged, not the spread.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            if (run.error_occurred || run.GetAdjustedRealTime() * nanosecondsPer(run.time_unit) >= LimitNanoseconds)
                m_failed = true;
        }
    }
    bool failed() const { return m_failed; }

private:
    static double nanosecondsPer(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kSecond: return 1e9;
        case benchmark::kMillisecond: return 1e6;
        case benchmark::kMicrosecond: return 1e3;
        default: return 1.0;
        }
    }
    bool m_failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    LimitReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.failed())
        std::printf("a sample allocated, found no processor, or took %.0f ns or more\n", LimitNanoseconds);
    return reporter.failed() ? 1 : 0;
}
