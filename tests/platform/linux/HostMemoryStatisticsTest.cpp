#include "platform/linux/HostMemoryStatistics.h"

#include "platform/linux/FixtureSysroot.h"

#include <gtest/gtest.h>

#include <unistd.h>

constexpr quint64 PageSize = 4096;

TEST(HostMemoryStatistics, CountsInTheMachinesPageSize)
{
    const HostMemoryStatistics::Sample sample =
        HostMemoryStatistics(FixtureSysroot::fixture(QStringLiteral("desktop-zswap")), 16384).sample();
    ASSERT_TRUE(sample.statistics);
    EXPECT_EQ(sample.statistics->free_count, 2097152u / 16);
    EXPECT_EQ(sample.statistics->pageouts, 3276800u / 16);
    // Events are counted per page whatever its size.
    EXPECT_EQ(sample.statistics->pageins, 45678u);
    EXPECT_EQ(sample.swapUsage->pageSize, 16384u);

    EXPECT_EQ(HostMemoryStatistics(QStringLiteral("/")).pageSize(), quint64(::sysconf(_SC_PAGESIZE)));
}

TEST(HostMemoryStatistics, ASampleHasWhatItsFilesGive)
{
    FixtureSysroot root(QStringLiteral("server-noswap"));
    HostMemoryStatistics host(root.root(), PageSize);
    HostMemoryStatistics::Sample sample = host.sample();
    ASSERT_TRUE(sample.swapUsage && sample.statistics);
    EXPECT_TRUE(sample.pagingCounters);
    EXPECT_EQ(*sample.swapUsage, (SwapUsage{0, 0, 0, 4096, false}));
    EXPECT_EQ(sample.statistics->compressor_page_count, 0u);
    const VMStatistics64 full = *sample.statistics;

    // Swap and the sizes come from /proc/meminfo alone; the event counters
    // of /proc/vmstat then read 0.
    root.removeFile(QStringLiteral("proc/vmstat"));
    sample = host.sample();
    EXPECT_TRUE(sample.swapUsage);
    ASSERT_TRUE(sample.statistics);
    EXPECT_FALSE(sample.pagingCounters);
    EXPECT_EQ(sample.statistics->free_count, full.free_count);
    EXPECT_EQ(sample.statistics->wire_count, full.wire_count);
    EXPECT_EQ(sample.statistics->pageins, 0u);
    EXPECT_EQ(sample.statistics->faults, 0u);

    root.writeFile(QStringLiteral("proc/meminfo"), "MemTotal: 1024 kB\n");
    sample = host.sample();
    EXPECT_FALSE(sample.swapUsage);
    EXPECT_FALSE(sample.statistics);
}
