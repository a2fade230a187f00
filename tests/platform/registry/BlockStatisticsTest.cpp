#include "platform/registry/BlockStatistics.h"

#include <gtest/gtest.h>

TEST(BlockStatistics, ReadsTheCountersOfEveryKernelGeneration)
{
    // 11 fields (before 4.18), 15 (discards), 17 (flushes, 5.5 and later).
    for (const char* line : {"  184021 52117 12694630 41203 301554 190874 24731512 387101 0 295140 444912\n",
             "184021 52117 12694630 41203 301554 190874 24731512 387101 0 295140 444912 0 0 0 0",
             "  184021    52117 12694630    41203   301554   190874 24731512   387101        0   295140   444912        0        0        0        0    19877    16607\n"}) {
        // Sectors of 512 bytes, milliseconds as nanoseconds.
        EXPECT_EQ(BlockStatistics::parse(line), (DiskStatistics {12694630ULL * 512, 24731512ULL * 512, 184021, 301554,
                                                    41203ULL * 1000000, 387101ULL * 1000000})) << line;
    }
}

TEST(BlockStatistics, RefusesShortOrBrokenLines)
{
    for (const char* line : {"", "  \n", "1 2 3 4 5 6 7", "1 2 3 4 x 6 7 8 9 10 11", "1 2 3 4 -5 6 7 8 9 10 11",
             "1 2 3 4 5x 6 7 8 9 10 11", "1 2 3 4 5 6 7 18446744073709551616 9 10 11"})
        EXPECT_FALSE(BlockStatistics::parse(line)) << line;
}

TEST(BlockStatistics, DictionaryCountsBytesInSectorsOf512AndTimeInNanoseconds)
{
    // Counters near 2^64 / 512 must not be cut to 32 bits on the way.
    const std::optional<DiskStatistics> statistics = BlockStatistics::parse("7 0 8589934592 3 9 0 1 2 0 0 0");
    ASSERT_TRUE(statistics);
    const QVariantMap dictionary = statistics->dictionary();
    EXPECT_EQ(dictionary.value("Bytes (Read)").toULongLong(), 8589934592ULL * 512);
    EXPECT_EQ(dictionary.value("Bytes (Write)").toULongLong(), 512u);
    EXPECT_EQ(dictionary.value("Operations (Read)").toULongLong(), 7u);
    EXPECT_EQ(dictionary.value("Operations (Write)").toULongLong(), 9u);
    EXPECT_EQ(dictionary.value("Total Time (Read)").toULongLong(), 3000000u);
    EXPECT_EQ(dictionary.value("Total Time (Write)").toULongLong(), 2000000u);
    EXPECT_EQ(dictionary.value("Operations (Read)").typeId(), QMetaType::ULongLong);
}
