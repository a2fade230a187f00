#include "platform/linux/ProcStat.h"

#include <gtest/gtest.h>

namespace {

std::vector<ProcessorTicks> parsed(std::string_view text)
{
    std::vector<ProcessorTicks> processors;
    EXPECT_TRUE(ProcStat::parseProcessorTicks(text, processors)) << text;
    return processors;
}

}

TEST(ProcStat, MapsKernelColumnsToTheFourModes)
{
    // user nice system idle iowait irq softirq steal guest guest_nice; guest
    // time is already part of user and nice.
    const auto processors = parsed("cpu  2 4 6 8 10 12 14 16 18 20\n"
                                   "cpu0 1 2 3 4 5 6 7 8 9 10\n"
                                   "cpu1 11 12 13 14 15 16 17 18 19 20\n"
                                   "intr 0\n");
    ASSERT_EQ(processors.size(), 2u);
    EXPECT_EQ(processors[0], (ProcessorTicks{1, 3 + 6 + 7 + 8, 4 + 5, 2}));
    EXPECT_EQ(processors[1], (ProcessorTicks{11, 13 + 16 + 17 + 18, 14 + 15, 12}));
}

TEST(ProcStat, KeepsTheLowThirtyTwoBitsOfEachSum)
{
    const auto processors = parsed("cpu0 4294967301 0 4294967295 4294967295 1 2 0 0 0 0\n");
    ASSERT_EQ(processors.size(), 1u);
    EXPECT_EQ(processors[0], (ProcessorTicks{5, 1, 0, 0}));
}

TEST(ProcStat, AcceptsTheLayoutsTheKernelWrites)
{
    // Eight columns (no guest time), blanks and tabs, gaps where processors
    // are offline, unknown and odd other lines, no final line feed.
    const auto processors = parsed("intr garbage\ncpufreq 1\n"
                                   "cpu0 1 0 2 3 0 0 0 0\n"
                                   "cpu2\t1  0 2 3 0 0 0 0 0 0 \n"
                                   "cpu17 9 0 2 3 0 0 0 0 0 0");
    ASSERT_EQ(processors.size(), 3u);
    EXPECT_EQ(processors[2][UserTicks], 9u);
}

TEST(ProcStat, RejectsMalformedProcessorLines)
{
    for (const char* text : {"cpu0 1 2 3 4 5 6 7\n", "cpu0\n", "cpu0 1 2 x 4 5 6 7 8 9 10\n", "cpu0 1 2 3 4 5 6 7 8 9 10 junk\n",
             "cpu0 1 2 -3 4 5 6 7 8 9 10\n", "cpu0 1 2 3 4 5 6 7 8 9 18446744073709551616\n", "cpu1x 1 2 3 4 5 6 7 8 9 10\n",
             "cpu0 1 2 3 4 5 6 7 8 9 10\ncpu1 1 2 3\n", "", "cpu  1 2 3 4 5 6 7 8 9 10\nbtime 1700000000\n"}) {
        std::vector<ProcessorTicks> processors;
        EXPECT_FALSE(ProcStat::parseProcessorTicks(text, processors)) << text;
    }
}

TEST(ProcStat, ReusesTheStorageOfEarlierSamples)
{
    const std::string_view text = "cpu0 1 2 3 4 5 6 7 8 9 10\ncpu1 1 2 3 4 5 6 7 8 9 10\n";
    std::vector<ProcessorTicks> processors;
    ASSERT_TRUE(ProcStat::parseProcessorTicks(text, processors));
    const ProcessorTicks* storage = processors.data();
    ASSERT_TRUE(ProcStat::parseProcessorTicks(text, processors));
    EXPECT_EQ(processors.data(), storage);
    EXPECT_EQ(processors.size(), 2u);
}

TEST(ProcStat, ReadsTheBootTime)
{
    EXPECT_EQ(ProcStat::bootTime("cpu0 1 2 3 4 5 6 7 8\nctxt 99\nbtime 1714000000\nprocesses 812\n"), 1714000000);
    EXPECT_EQ(ProcStat::bootTime("btime 1714000000"), 1714000000);
    for (const char* text : {"ctxt 99\nprocesses 812\n", "btime soon\n", "btime\n", "btime 17 14\n"})
        EXPECT_EQ(ProcStat::bootTime(text), std::nullopt) << text;
}
