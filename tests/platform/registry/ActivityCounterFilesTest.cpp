#include "platform/registry/ActivityCounterFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

namespace {

using Reading = ActivityCounterFiles::Reading;

std::optional<Reading> statLine(const char* text)
{
    return ActivityCounterFiles::parseStatLine(text, std::strlen(text));
}

std::optional<quint64> counter(const char* text)
{
    return ActivityCounterFiles::parseCounter(text, std::strlen(text));
}

void write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(ActivityCounterFiles, StatLinesAndCountersParseWithoutSlackForBrokenText)
{
    EXPECT_EQ(statLine("    1234   5 678 9   4321 0 8 7 0 10 16 0 0 0 0 0 0\n"), (Reading {1234, 4321, false}));
    // Old kernels write only the eleven first fields; five are all the lamp needs.
    EXPECT_EQ(statLine("1 2 3 4 5"), (Reading {1, 5, false}));
    EXPECT_EQ(statLine("18446744073709551615 0 0 0 18446744073709551615"), (Reading {~quint64(0), ~quint64(0), false}));
    EXPECT_FALSE(statLine("1 2 3 4"));
    EXPECT_FALSE(statLine("1 2 x 4 5"));
    EXPECT_FALSE(statLine("1 2 3 4 5x"));
    EXPECT_FALSE(statLine("18446744073709551616 0 0 0 1"));
    EXPECT_FALSE(statLine(""));

    EXPECT_EQ(counter("24230\n"), 24230u);
    EXPECT_EQ(counter("0"), 0u);
    EXPECT_FALSE(counter("12 34\n"));
    EXPECT_FALSE(counter("-1\n"));
    EXPECT_FALSE(counter("\n"));
}

TEST(ActivityCounterFiles, KeptFilesFollowRewritesAndReportAGoneDeviceUntilItsFilesReturn)
{
    QTemporaryDir root;
    const Sysroot sysroot(root.path());
    const QString stat = root.filePath("sys/block/sdz/stat");
    const QString power = root.filePath("sys/block/sdz/device/power/runtime_status");
    EXPECT_FALSE(ActivityCounterFiles::forDisk(sysroot, "sdz"));
    write(stat, "10 0 0 0 20 0 0 0 0 0 0\n");
    auto disk = ActivityCounterFiles::forDisk(sysroot, "sdz");
    ASSERT_TRUE(disk);
    // Without runtime power management a disk never sleeps.
    EXPECT_EQ(disk->read(), (Reading {10, 20, false}));
    write(power, "suspended\n");
    write(stat, "11 0 0 0 25 0 0 0 0 0 0\n");
    disk = ActivityCounterFiles::forDisk(sysroot, "sdz");
    EXPECT_EQ(disk->read(), (Reading {11, 25, true}));
    write(power, "active\n");
    EXPECT_EQ(disk->read(), (Reading {11, 25, false}));
    // A driver without runtime power management: not asked again while the files stay open.
    write(power, "unsupported\n");
    EXPECT_EQ(disk->read(), (Reading {11, 25, false}));
    write(power, "suspended\n");
    EXPECT_EQ(disk->read(), (Reading {11, 25, false}));

    QFile::remove(stat);
    EXPECT_FALSE(disk->read());
    write(stat, "1 0 0 0 2 0 0 0 0 0 0\n");
    EXPECT_EQ(disk->read(), (Reading {1, 2, true})) << "asked again once the files were opened anew";
    write(stat, "garbage\n");
    EXPECT_FALSE(disk->read());

    const QString received = root.filePath("sys/class/net/veth9/statistics/rx_packets");
    write(received, "7\n");
    EXPECT_FALSE(ActivityCounterFiles::forInterface(sysroot, "veth9")) << "both counters are needed";
    write(root.filePath("sys/class/net/veth9/statistics/tx_packets"), "9\n");
    auto interface = ActivityCounterFiles::forInterface(sysroot, "veth9");
    ASSERT_TRUE(interface);
    EXPECT_EQ(interface->read(), (Reading {7, 9, false}));
    EXPECT_FALSE(ActivityCounterFiles::forInterface(sysroot, "../../block/sdz"));
}

} // namespace
