#include "instruments/QRNMemoryInstrument.h"

#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "support/QRNProcessInfo.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr quint64 KiB = 1024;
constexpr quint64 MiB = 1024 * KiB;
constexpr quint64 GiB = 1024 * MiB;
// Both saved machines are x86_64 with 4 KiB pages.
constexpr quint64 PageSize = 4096;

QByteArray savedFile(const QString& machine, const QString& relative)
{
    QFile file(FixtureSysroot::fixture(machine) + u'/' + relative);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
    return file.readAll();
}

// The saved /proc/vmstat with one counter replaced.
QByteArray vmstatWith(const QString& machine, const QByteArray& name, quint64 value)
{
    QByteArray text;
    for (const QByteArray& line : savedFile(machine, "proc/vmstat").split('\n')) {
        if (line.startsWith(name + ' '))
            text += name + ' ' + QByteArray::number(value) + '\n';
        else if (!line.isEmpty())
            text += line + '\n';
    }
    return text;
}

quint32 styleFor(quint32 major, quint32 minor, quint32 patch)
{
    return QRNMemoryInstrument::terminologyStyleRecommendedForVersionCode(
        QRNProcessInfo::versionCodeForVersion({major, minor, patch}));
}

}

TEST(QRNMemoryInstrument, DesktopFiguresInTheThreeTerminologies)
{
    const QRNMemoryInstrument memory(FixtureSysroot::fixture("desktop-zswap"), PageSize);
    EXPECT_EQ(memory.physicalMemory(), 16303104 * KiB);
    EXPECT_EQ(memory.optimalFreeSize(), 12698 * PageSize);

    // UNIX style.
    EXPECT_EQ(memory.freeMemory(), 2 * GiB);
    EXPECT_EQ(memory.activeMemory(), 6 * GiB);
    EXPECT_EQ(memory.inactiveMemory(), 4 * GiB);
    EXPECT_EQ(memory.wiredMemory(), 448 * MiB);
    EXPECT_EQ(memory.allocatedSwapSpace(), 8 * GiB);
    EXPECT_EQ(memory.usedSwapMemory(), 1 * GiB);

    // Mavericks style: used = physical - free = apps + file cache + wired + compressed + the rest.
    EXPECT_EQ(memory.usedMemory(), 16303104 * KiB - 2 * GiB);
    EXPECT_EQ(memory.imaginaryMemory(), 16303104 * KiB - 768 * MiB);
    EXPECT_EQ(memory.applicationMemory(), 4 * GiB + 512 * MiB);
    EXPECT_EQ(memory.fileCacheMemory(), 6 * GiB);
    EXPECT_EQ(memory.compressedMemory(), 256 * MiB);

    // Yosemite style: the reclaimable slab moves from apps to the cache.
    EXPECT_EQ(memory.applicationMemoryYosemite(), 4 * GiB);
    EXPECT_EQ(memory.cacheMemory(), 6 * GiB + 512 * MiB);
    EXPECT_EQ(memory.usedMemoryYosemite(), 4 * GiB + 448 * MiB + 256 * MiB);
    EXPECT_EQ(memory.accumulatedPageOuts() * PageSize, 3276800 * KiB);
}

TEST(QRNMemoryInstrument, ServerWithoutSwapOrCompressor)
{
    const QRNMemoryInstrument memory(FixtureSysroot::fixture("server-noswap"), PageSize);
    EXPECT_EQ(memory.physicalMemory(), 65536000 * KiB);
    EXPECT_EQ(memory.freeMemory(), 40960000 * KiB);
    // Active, inactive, wired and free make up what the kernel manages, less
    // what is in none of its lists.
    EXPECT_EQ(memory.activeMemory() + memory.inactiveMemory() + memory.wiredMemory() + memory.freeMemory(),
        62041600 * KiB);
    EXPECT_EQ(memory.wiredMemory(), (512000 + 25600 + 64000) * KiB);
    EXPECT_EQ(memory.usedSwapMemory(), 0u);
    EXPECT_EQ(memory.imaginaryMemory(), memory.physicalMemory());
    EXPECT_EQ(memory.usedMemoryYosemite(), 7001600 * KiB);
    EXPECT_EQ(memory.cacheMemory(), 15104000 * KiB);
    EXPECT_EQ(memory.optimalFreeSize(), 42518 * PageSize);
}

TEST(QRNMemoryInstrument, PageRatesArePerSample)
{
    const QString machine = "desktop-zswap";
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_EQ(memory.pageOutRate(), 0u);

    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 120));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 120u);
    EXPECT_EQ(memory.pageOutRate(), 0u);

    root.writeFile("proc/vmstat", vmstatWith(machine, "pgpgout", 3276800 + 480));
    memory.collectNewSample();
    // The major faults went back to the saved count: modulo 2^64, as every difference.
    EXPECT_EQ(memory.pageInRate(), quint64(-120));
    EXPECT_EQ(memory.pageOutRate(), 120u);

    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_EQ(memory.pageOutRate(), 0u);
}

TEST(QRNMemoryInstrument, UnwantedPagingCountersAreNotReadAndResumeWithoutASpike)
{
    const QString machine = "desktop-zswap";
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    memory.setPagingCountersWanted(false);
    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 300));
    root.writeFile("proc/meminfo", savedFile(machine, "proc/meminfo").replace("MemFree:         2097152", "MemFree: 1048576"));
    memory.collectNewSample();
    // The sizes follow; the counters keep their last read.
    EXPECT_EQ(memory.freeMemory(), 1 * GiB);
    EXPECT_EQ(memory.accumulatedPageIns(), 45678u);
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_TRUE(memory.hasPagingCounters());

    // Wanted again: read at once, measured from nothing older.
    memory.setPagingCountersWanted(true);
    EXPECT_EQ(memory.accumulatedPageIns(), 45678u + 300u);
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_EQ(memory.freeMemory(), 1 * GiB);
    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 310));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 10u);
}

TEST(QRNMemoryInstrument, WithoutVMStatTheSizesStayAndOnlyThePagingCountersHaveNoValue)
{
    const QString machine = "desktop-zswap";
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    const quint64 used = memory.usedMemoryYosemite();
    const quint64 free = memory.freeMemory();
    ASSERT_GT(used, 0u);
    ASSERT_TRUE(memory.hasPagingCounters());
    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 50));
    memory.collectNewSample();
    ASSERT_EQ(memory.pageInRate(), 50u);

    root.removeFile("proc/vmstat");
    memory.collectNewSample();
    // Not all memory free: the sizes come from meminfo alone.
    EXPECT_EQ(memory.usedMemoryYosemite(), used);
    EXPECT_EQ(memory.freeMemory(), free);
    EXPECT_FALSE(memory.hasPagingCounters());
    EXPECT_EQ(memory.accumulatedPageIns(), 0u);
    EXPECT_EQ(memory.pageInRate(), 0u);
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 0u);

    // Back: the first rate is measured from zero, the next from the good sample.
    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 80));
    memory.collectNewSample();
    EXPECT_TRUE(memory.hasPagingCounters());
    EXPECT_EQ(memory.pageInRate(), 45678u + 80u);
    root.writeFile("proc/vmstat", vmstatWith(machine, "pgmajfault", 45678 + 95));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 15u);
}

TEST(QRNMemoryInstrument, AnUnreadableMemInfoReadsZeroOnce)
{
    const QString machine = "desktop-zswap";
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    LogCapture log;
    // Swap comes from meminfo: unreadable, it reads 0 but keeps its page size.
    root.writeFile("proc/meminfo", "garbage\n");
    memory.collectNewSample();
    memory.collectNewSample();
    EXPECT_EQ(memory.virtualMemoryStatistics(), VMStatistics64{});
    EXPECT_EQ(memory.usedSwapMemory(), 0u);
    EXPECT_EQ(memory.swapStatistics().pageSize, PageSize);
    EXPECT_FALSE(memory.hasPagingCounters());
    // A run of failures is reported once.
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList{(
        "QRNMemoryInstrument: could not read the memory statistics; its figures read 0 until they can be read again.")});

    root.writeFile("proc/meminfo", savedFile(machine, "proc/meminfo"));
    memory.collectNewSample();
    EXPECT_EQ(memory.usedSwapMemory(), 1 * GiB);
    EXPECT_TRUE(memory.hasPagingCounters());
}

TEST(QRNMemoryInstrument, TerminologyFollowsTheSystemVersion)
{
    EXPECT_EQ(styleFor(10, 8, 5), QRNMemoryInstrument::UNIXStyle);
    EXPECT_EQ(styleFor(10, 9, 0), QRNMemoryInstrument::MavericksStyle);
    EXPECT_EQ(styleFor(10, 10, 2), QRNMemoryInstrument::MavericksStyle);
    EXPECT_EQ(styleFor(10, 10, 3), QRNMemoryInstrument::YosemiteStyle);
    // Every Linux kernel counts as a present-day system.
    EXPECT_EQ(QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem(), QRNMemoryInstrument::YosemiteStyle);
}
