#include "platform/registry/LinuxRegistry.h"

#include <benchmark/benchmark.h>

// What one sampling tick of a disk instrument costs: finding the drivers and
// reading each one's statistics afresh from the machine's /sys/block.
static void BM_DriverStatistics(benchmark::State& state)
{
    const LinuxRegistry registry(QStringLiteral("/"));
    const std::vector<Registry::EntryID> drivers = registry.servicesOfClass(QStringLiteral("IOBlockStorageDriver"));
    for (auto _ : state) {
        for (const Registry::EntryID driver : drivers)
            benchmark::DoNotOptimize(registry.properties(driver));
    }
    state.counters["drivers"] = static_cast<double>(drivers.size());
}
BENCHMARK(BM_DriverStatistics);

// The full walk a disk list does: every service entry of the tree.
static void BM_ServiceWalk(benchmark::State& state)
{
    const LinuxRegistry registry(QStringLiteral("/"));
    for (auto _ : state)
        benchmark::DoNotOptimize(registry.servicesOfClass(QStringLiteral("IOBlockStorageDriver")));
}
BENCHMARK(BM_ServiceWalk);

BENCHMARK_MAIN();
