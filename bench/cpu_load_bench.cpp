// One processor-load sample against the bare cost of reading /proc/stat, and
// the heap allocations a steady-state sample makes (there must be none).
// Exits non-zero when a sample costs more than 1.5 bare reads or allocates.

#include "instruments/QRNCPULoadInstrument.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <new>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VISTREL_SANITIZED_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VISTREL_SANITIZED_MALLOC 1
#endif
#endif

namespace {

std::atomic<std::uint64_t> allocationCount{0};

void countAllocation()
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
}

constexpr double RatioLimit = 1.5;
const char* const SampleName = "collectNewSample";
const char* const BareReadName = "bareProcStatRead";

}

// Qt's strings and containers allocate with malloc, not operator new, so
// malloc is counted too (glibc lets a program replace it). Under the address
// sanitizer malloc belongs to the sanitizer; only operator new is counted.
#ifdef VISTREL_SANITIZED_MALLOC
constexpr bool MallocIsCounted = false;
#else
constexpr bool MallocIsCounted = true;

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);

void* malloc(std::size_t size)
{
    countAllocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    countAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* memory, std::size_t size)
{
    countAllocation();
    return __libc_realloc(memory, size);
}

void free(void* memory)
{
    __libc_free(memory);
}
}
#endif

// Counting replacements of the global allocation functions, so the benchmark
// sees every heap allocation made anywhere in the process.
void* operator new(std::size_t size)
{
    if (!MallocIsCounted)
        countAllocation();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

// A zero count means something only if the replacements see allocations.
bool countsAllocations()
{
    const std::uint64_t before = allocationCount.load();
    int* object = new int(1);
    benchmark::DoNotOptimize(object);
    delete object;
    const bool countsNew = allocationCount.load() == before + 1;
    void* block = std::malloc(16);
    benchmark::DoNotOptimize(block);
    std::free(block);
    const bool countsMalloc = allocationCount.load() == before + 2;
    return countsNew && (countsMalloc || !MallocIsCounted);
}

void collectNewSample(benchmark::State& state)
{
    if (!countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return;
    }
    QRNCPULoadInstrument instrument(QStringLiteral("/"));
    if (instrument.activeCPUCount() == 0) {
        state.SkipWithError("no processor load information in /proc/stat");
        return;
    }
    instrument.collectNewSample();
    const std::uint64_t before = allocationCount.load();
    for (auto _ : state)
        instrument.collectNewSample();
    const std::uint64_t allocations = allocationCount.load() - before;
    state.counters["allocations"] = benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.counters["processors"] = static_cast<double>(instrument.activeCPUCount());
    if (allocations != 0)
        state.SkipWithError("a steady-state sample allocated on the heap");
}
BENCHMARK(collectNewSample)->Name(SampleName)->Unit(benchmark::kNanosecond);

void bareProcStatRead(benchmark::State& state)
{
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int fd = ::open("/proc/stat", O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot open /proc/stat");
            break;
        }
        std::size_t used = 0;
        ssize_t n = 0;
        while ((n = ::read(fd, buffer.data() + used, buffer.size() - used)) > 0)
            used += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(used);
    }
}
BENCHMARK(bareProcStatRead)->Name(BareReadName)->Unit(benchmark::kNanosecond);

// Prints as usual and keeps the time of every benchmark (the median when it
// ran repeatedly), so the program can judge the ratio after all runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                m_failed = true;
            else if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    int verdict() const
    {
        if (m_failed)
            return 1;
        const auto sample = m_times.find(SampleName);
        const auto bareRead = m_times.find(BareReadName);
        if (sample == m_times.end() || bareRead == m_times.end())
            return 0;
        const double ratio = sample->second / bareRead->second;
        std::printf("%s / %s = %.3f (limit %.1f)\n", SampleName, BareReadName, ratio, RatioLimit);
        return ratio <= RatioLimit ? 0 : 1;
    }

private:
    std::map<std::string, double> m_times;
    bool m_failed = false;
};

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.verdict();
}
