#include "platform/linux/HostMemoryStatistics.h"

#include "platform/linux/FixtureSysroot.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

constexpr quint64 PageSize = 4096;

// The desktop's files as saved, read through the sampler.
HostMemoryStatistics::Sample desktopSample(quint64 pageSize)
{
    HostMemoryStatistics host(FixtureSysroot::fixture(QStringLiteral("desktop-zswap")), pageSize);
    return host.sample();
}

}

TEST(HostMemoryStatistics, FillsTheRecordFieldByFieldInPages)
{
    const HostMemoryStatistics::Sample sample = desktopSample(PageSize);
    ASSERT_TRUE(sample.statistics);
    const VMStatistics64& vm = *sample.statistics;
    // KiB of /proc/meminfo in 4 KiB pages.
    EXPECT_EQ(vm.free_count, 2097152u / 4);
    EXPECT_EQ(vm.active_count, 6291456u / 4);
    EXPECT_EQ(vm.inactive_count, 4194304u / 4);
    // Unevictable 65536 + SUnreclaim 262144 + KernelStack 32768 + PageTables 98304.
    EXPECT_EQ(vm.wire_count, 458752u / 4);
    // Anonymous 4194304 with the reclaimable slab 524288 in it.
    EXPECT_EQ(vm.internal_page_count, 4718592u / 4);
    EXPECT_EQ(vm.purgeable_count, 524288u / 4);
    EXPECT_EQ(vm.external_page_count, 6291456u / 4);
    EXPECT_EQ(vm.compressor_page_count, 262144u / 4);
    EXPECT_EQ(vm.total_uncompressed_pages_in_compressor, 786432u / 4);
    // Counters of /proc/vmstat; pgpgout is in KiB.
    EXPECT_EQ(vm.pageins, 45678u);
    EXPECT_EQ(vm.pageouts, 3276800u / 4);
    EXPECT_EQ(vm.faults, 987654321u);
    EXPECT_EQ(vm.reactivations, 2345678u);
    EXPECT_EQ(vm.swapins, 12800u);
    EXPECT_EQ(vm.swapouts, 262144u);
    EXPECT_EQ(vm.decompressions, 51200u);
    EXPECT_EQ(vm.compressions, 196608u);
    // Not kept by Linux.
    EXPECT_EQ(vm.zero_fill_count + vm.cow_faults + vm.lookups + vm.hits + vm.purges, 0u);
    EXPECT_EQ(vm.speculative_count + vm.throttled_count, 0u);

    ASSERT_TRUE(sample.swapUsage);
    EXPECT_EQ(*sample.swapUsage, (SwapUsage{8589934592, 7516192768, 1073741824, 4096, false}));
}

TEST(HostMemoryStatistics, CountsInTheMachinesPageSize)
{
    const HostMemoryStatistics::Sample sample = desktopSample(16384);
    ASSERT_TRUE(sample.statistics);
    EXPECT_EQ(sample.statistics->free_count, 2097152u / 16);
    EXPECT_EQ(sample.statistics->pageouts, 3276800u / 16);
    // Events are counted per page whatever its size.
    EXPECT_EQ(sample.statistics->pageins, 45678u);
    EXPECT_EQ(sample.swapUsage->pageSize, 16384u);

    EXPECT_EQ(HostMemoryStatistics(QStringLiteral("/")).pageSize(), quint64(::sysconf(_SC_PAGESIZE)));
}

TEST(HostMemoryStatistics, ReadsTheFixedFactsOnce)
{
    const HostMemoryStatistics server(FixtureSysroot::fixture(QStringLiteral("server-noswap")), PageSize);
    EXPECT_EQ(server.memorySize(), 65536000ull * 1024);
    EXPECT_EQ(server.pageFreeTarget(), 42518u);

    const HostMemoryStatistics empty(FixtureSysroot::fixture(QStringLiteral("laptop-2cpu-t1")), PageSize);
    EXPECT_EQ(empty.memorySize(), std::nullopt);
    EXPECT_EQ(empty.pageFreeTarget(), std::nullopt);
}

TEST(HostMemoryStatistics, ASampleHasWhatItsFilesGive)
{
    FixtureSysroot root(QStringLiteral("server-noswap"));
    HostMemoryStatistics host(root.root(), PageSize);
    HostMemoryStatistics::Sample sample = host.sample();
    ASSERT_TRUE(sample.swapUsage && sample.statistics);
    EXPECT_EQ(*sample.swapUsage, (SwapUsage{0, 0, 0, 4096, false}));
    EXPECT_EQ(sample.statistics->compressor_page_count, 0u);

    // Swap comes from /proc/meminfo alone.
    root.removeFile(QStringLiteral("proc/vmstat"));
    sample = host.sample();
    EXPECT_TRUE(sample.swapUsage);
    EXPECT_FALSE(sample.statistics);

    root.writeFile(QStringLiteral("proc/meminfo"), "MemTotal: 1024 kB\n");
    sample = host.sample();
    EXPECT_FALSE(sample.swapUsage);
    EXPECT_FALSE(sample.statistics);
}
