#include "platform/linux/MemoryFiles.h"

#include "platform/linux/FixtureSysroot.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fixtureFile(const QString& machine, const QString& relative)
{
    QFile file(FixtureSysroot::fixture(machine) + u'/' + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
}

std::string_view view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), bytes.size());
}

}

TEST(MemoryFiles, MemInfoLinesAKernelLacksReadZeroEvenAfterAFullerFile)
{
    MemInfo info;
    const QByteArray full = fixtureFile(QStringLiteral("desktop-zswap"), QStringLiteral("proc/meminfo"));
    ASSERT_TRUE(MemoryFiles::parseMemInfo(view(full), info));
    ASSERT_TRUE(MemoryFiles::parseMemInfo("MemTotal:  1024 kB\nMemFree:\t512 kB\nHugePages_Total:   0\nno colon here\n", info));
    EXPECT_EQ(info.memTotal, 1024u);
    EXPECT_EQ(info.memFree, 512u);
    EXPECT_EQ(info.active, 0u);
    EXPECT_EQ(info.zswapped, 0u);
    EXPECT_EQ(info.swapTotal, 0u);
}

TEST(MemoryFiles, RejectsMemInfoWithoutTotalsOrWithBadNumbers)
{
    MemInfo info;
    EXPECT_FALSE(MemoryFiles::parseMemInfo("", info));
    EXPECT_FALSE(MemoryFiles::parseMemInfo("MemTotal: 1024 kB\n", info));
    EXPECT_FALSE(MemoryFiles::parseMemInfo("MemTotal: 1024 kB\nMemFree: lots kB\n", info));
    EXPECT_FALSE(MemoryFiles::parseMemInfo("MemTotal: 1024 MB\nMemFree: 12 kB\n", info));
    EXPECT_FALSE(MemoryFiles::parseMemInfo("MemTotal: 1024 kB\nMemFree: 12 kB\nActive: -3 kB\n", info));
    // Lines not in use are not checked.
    EXPECT_TRUE(MemoryFiles::parseMemInfo("MemTotal: 1024 kB\nMemFree: 12 kB\nDirectMap1G: ??\n", info));
}

TEST(MemoryFiles, VMStatOfOlderKernelsAndBrokenCounters)
{
    // A kernel without zswap counters, read after one with them.
    VMStatCounters counters;
    ASSERT_TRUE(MemoryFiles::parseVMStat(view(fixtureFile(QStringLiteral("desktop-zswap"), QStringLiteral("proc/vmstat"))), counters));
    ASSERT_EQ(counters.zswapIns, 51200u);
    const QByteArray older = fixtureFile(QStringLiteral("server-noswap"), QStringLiteral("proc/vmstat"));
    ASSERT_TRUE(MemoryFiles::parseVMStat(view(older), counters));
    EXPECT_EQ(counters.pagedOutKiB, 987648u);
    EXPECT_EQ(counters.zswapIns, 0u);
    EXPECT_EQ(counters.zswapOuts, 0u);

    EXPECT_FALSE(MemoryFiles::parseVMStat("pgfault 1\npgmajfault 2\n", counters));
    EXPECT_FALSE(MemoryFiles::parseVMStat("pgfault 1\npgmajfault 2\npgpgout 3 kB\n", counters));
    EXPECT_TRUE(MemoryFiles::parseVMStat("pgfault 1\npgmajfault 2\npgpgout 3", counters));
    EXPECT_EQ(counters.pagedOutKiB, 3u);
}

TEST(MemoryFiles, SumsTheLowWatermarksOfEveryZoneOfEveryNode)
{
    const QByteArray desktop = fixtureFile(QStringLiteral("desktop-zswap"), QStringLiteral("proc/zoneinfo"));
    EXPECT_EQ(MemoryFiles::lowWatermarkPages(view(desktop)), 11u + 2261u + 10426u + 0u);
    const QByteArray server = fixtureFile(QStringLiteral("server-noswap"), QStringLiteral("proc/zoneinfo"));
    EXPECT_EQ(MemoryFiles::lowWatermarkPages(view(server)), 6u + 1260u + 20132u + 21120u);

    EXPECT_EQ(MemoryFiles::lowWatermarkPages("Node 0, zone Normal\n  pages free 5\n        high 7\n"), std::nullopt);
    EXPECT_EQ(MemoryFiles::lowWatermarkPages("        low      12\n        low      many\n"), std::nullopt);
}
