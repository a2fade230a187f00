// What the instrument benchmarks share: every heap allocation of the process
// counted, and a verdict on one sample against the bare reads of its files.
// Include it in exactly one file of a benchmark program: it replaces the
// global allocation functions.

#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VISTREL_SANITIZED_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VISTREL_SANITIZED_MALLOC 1
#endif
#endif

namespace SampleBenchmark {

inline std::atomic<std::uint64_t> allocationCount{0};

inline void countAllocation()
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
}

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
    SampleBenchmark::countAllocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    SampleBenchmark::countAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* memory, std::size_t size)
{
    SampleBenchmark::countAllocation();
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
        SampleBenchmark::countAllocation();
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

namespace SampleBenchmark {

constexpr double RatioLimit = 1.5;

// A zero count means something only if the replacements see allocations.
inline bool countsAllocations()
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

// Runs `sample` for every iteration and fails the benchmark when a sample
// allocates; the caller has taken the first samples already.
template <typename Sample>
void measureSteadyState(benchmark::State& state, Sample sample)
{
    const std::uint64_t before = allocationCount.load();
    for (auto _ : state)
        sample();
    const std::uint64_t allocations = allocationCount.load() - before;
    state.counters["allocations"] = benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0)
        state.SkipWithError("a steady-state sample allocated on the heap");
}

// Reads the whole file with plain system calls into a buffer made once: what
// a sample cannot do with less. False when the file cannot be opened.
inline bool readWhole(const char* path, std::vector<char>& buffer)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::size_t used = 0;
    ssize_t n = 0;
    while ((n = ::read(fd, buffer.data() + used, buffer.size() - used)) > 0)
        used += static_cast<std::size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(used);
    return true;
}

// Prints as usual and keeps the time of every benchmark (the median when it
// ran repeatedly), so the program can judge the ratio after all runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter(std::string sampleName, std::string bareReadName)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular)
        , m_sampleName(std::move(sampleName))
        , m_bareReadName(std::move(bareReadName))
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
        const auto sample = m_times.find(m_sampleName);
        const auto bareRead = m_times.find(m_bareReadName);
        if (sample == m_times.end() || bareRead == m_times.end())
            return 0;
        const double ratio = sample->second / bareRead->second;
        std::printf("%s / %s = %.3f (limit %.1f)\n", m_sampleName.c_str(), m_bareReadName.c_str(), ratio, RatioLimit);
        return ratio <= RatioLimit ? 0 : 1;
    }

private:
    std::string m_sampleName;
    std::string m_bareReadName;
    std::map<std::string, double> m_times;
    bool m_failed = false;
};

// The main function of a sample benchmark: runs them all, then judges.
inline int run(int argc, char** argv, const char* sampleName, const char* bareReadName)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(sampleName, bareReadName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.verdict();
}

}
