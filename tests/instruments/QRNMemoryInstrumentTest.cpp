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
    for (const QByteArray& line : savedFile(machine, QStringLiteral("proc/vmstat")).split('\n')) {
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
    const QRNMemoryInstrument memory(FixtureSysroot::fixture(QStringLiteral("desktop-zswap")), PageSize);
    EXPECT_EQ(memory.pageSize(), PageSize);
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

    EXPECT_EQ(memory.pagesCompressedInCompressor(), 65536u);
    EXPECT_EQ(memory.pagesUncompressedInCompressor(), 196608u);
    EXPECT_EQ(memory.pagesSwappedIn(), 12800u);
    EXPECT_EQ(memory.pagesSwappedOut(), 262144u);
    EXPECT_EQ(memory.pagesCompressed(), 196608u);
    EXPECT_EQ(memory.pagesDecompressed(), 51200u);
    EXPECT_EQ(memory.accumulatedPageIns(), 45678u);
    EXPECT_EQ(memory.accumulatedPageOuts() * PageSize, 3276800 * KiB);
}

TEST(QRNMemoryInstrument, ServerWithoutSwapOrCompressor)
{
    const QRNMemoryInstrument memory(FixtureSysroot::fixture(QStringLiteral("server-noswap")), PageSize);
    EXPECT_EQ(memory.physicalMemory(), 65536000 * KiB);
    EXPECT_EQ(memory.freeMemory(), 40960000 * KiB);
    // Active, inactive, wired and free make up what the kernel manages, less
    // what is in none of its lists.
    EXPECT_EQ(memory.activeMemory() + memory.inactiveMemory() + memory.wiredMemory() + memory.freeMemory(),
        62041600 * KiB);
    EXPECT_EQ(memory.wiredMemory(), (512000 + 25600 + 64000) * KiB);
    EXPECT_EQ(memory.allocatedSwapSpace(), 0u);
    EXPECT_EQ(memory.usedSwapMemory(), 0u);
    EXPECT_EQ(memory.compressedMemory(), 0u);
    EXPECT_EQ(memory.imaginaryMemory(), memory.physicalMemory());
    EXPECT_EQ(memory.usedMemoryYosemite(), 7001600 * KiB);
    EXPECT_EQ(memory.cacheMemory(), 15104000 * KiB);
    EXPECT_EQ(memory.optimalFreeSize(), 42518 * PageSize);
}

TEST(QRNMemoryInstrument, PageRatesArePerSample)
{
    const QString machine = QStringLiteral("desktop-zswap");
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_EQ(memory.pageOutRate(), 0u);

    root.writeFile(QStringLiteral("proc/vmstat"), vmstatWith(machine, "pgmajfault", 45678 + 120));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 120u);
    EXPECT_EQ(memory.pageOutRate(), 0u);

    root.writeFile(QStringLiteral("proc/vmstat"), vmstatWith(machine, "pgpgout", 3276800 + 480));
    memory.collectNewSample();
    // The major faults went back to the saved count: modulo 2^64, as every difference.
    EXPECT_EQ(memory.pageInRate(), quint64(-120));
    EXPECT_EQ(memory.pageOutRate(), 120u);

    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 0u);
    EXPECT_EQ(memory.pageOutRate(), 0u);
}

TEST(QRNMemoryInstrument, AFailedSampleReadsZeroAndRatesStartAgainFromZero)
{
    const QString machine = QStringLiteral("desktop-zswap");
    FixtureSysroot root(machine);
    QRNMemoryInstrument memory(root.root(), PageSize);
    root.writeFile(QStringLiteral("proc/vmstat"), vmstatWith(machine, "pgmajfault", 45678 + 50));
    memory.collectNewSample();
    ASSERT_EQ(memory.pageInRate(), 50u);

    LogCapture log;
    root.removeFile(QStringLiteral("proc/vmstat"));
    memory.collectNewSample();
    EXPECT_EQ(memory.virtualMemoryStatistics(), VMStatistics64{});
    EXPECT_EQ(memory.usedMemory(), memory.physicalMemory());
    EXPECT_EQ(memory.pageInRate(), 0u);

    // Swap comes from meminfo: unreadable, it reads 0 but keeps its page size.
    root.writeFile(QStringLiteral("proc/meminfo"), "garbage\n");
    memory.collectNewSample();
    EXPECT_EQ(memory.usedSwapMemory(), 0u);
    EXPECT_EQ(memory.swapStatistics().pageSize, PageSize);
    // A run of failures is reported once.
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList{QStringLiteral(
        "QRNMemoryInstrument: could not read the memory statistics; its figures read 0 until they can be read again.")});

    // Back: the first rate is measured from zero, the next from the good sample.
    root.writeFile(QStringLiteral("proc/meminfo"), savedFile(machine, QStringLiteral("proc/meminfo")));
    root.writeFile(QStringLiteral("proc/vmstat"), vmstatWith(machine, "pgmajfault", 45678 + 80));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 45678u + 80u);
    EXPECT_EQ(memory.usedSwapMemory(), 1 * GiB);
    root.writeFile(QStringLiteral("proc/vmstat"), vmstatWith(machine, "pgmajfault", 45678 + 95));
    memory.collectNewSample();
    EXPECT_EQ(memory.pageInRate(), 15u);
}

TEST(QRNMemoryInstrument, NoFilesAtAllReadAsZero)
{
    LogCapture log;
    const QRNMemoryInstrument memory(FixtureSysroot::fixture(QStringLiteral("laptop-2cpu-t1")), PageSize);
    EXPECT_EQ(memory.physicalMemory(), 0u);
    EXPECT_EQ(memory.optimalFreeSize(), 0u);
    EXPECT_EQ(memory.usedMemory(), 0u);
    EXPECT_EQ(memory.usedMemoryYosemite(), 0u);
    EXPECT_EQ(memory.swapStatistics(), (SwapUsage{0, 0, 0, 4096, false}));
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1);
}

TEST(QRNMemoryInstrument, TerminologyFollowsTheSystemVersion)
{
    EXPECT_EQ(styleFor(10, 8, 5), QRNMemoryInstrument::UNIXStyle);
    EXPECT_EQ(styleFor(10, 9, 0), QRNMemoryInstrument::MavericksStyle);
    EXPECT_EQ(styleFor(10, 9, 5), QRNMemoryInstrument::MavericksStyle);
    EXPECT_EQ(styleFor(10, 10, 2), QRNMemoryInstrument::MavericksStyle);
    EXPECT_EQ(styleFor(10, 10, 3), QRNMemoryInstrument::YosemiteStyle);
    EXPECT_EQ(styleFor(14, 0, 0), QRNMemoryInstrument::YosemiteStyle);
    // Every Linux kernel counts as a present-day system.
    EXPECT_EQ(QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem(), QRNMemoryInstrument::YosemiteStyle);
}

TEST(QRNMemoryInstrument, DescriptionsListEveryFigure)
{
    const QRNMemoryInstrument memory(FixtureSysroot::fixture(QStringLiteral("server-noswap")), PageSize);
    EXPECT_EQ(memory.description().toStdString(),
        "QRNMemoryInstrument: RAM: 62.5 GB page size: 4 KB optimum free: 166.1 MB\n"
        "free: 39.1 GB active: 11.7 GB inactive: 7.8 GB wired: 587.5 MB zero-fill: 0  B reactivated: 3.0 GB\n"
        "page-ins: 1234 page-outs: 246912 faults: 5555555 copy-on-write faults: 0 lookups: 0 hits: 0\n"
        "purged: 0  B purgeable: 1000 MB speculative: 0  B\n"
        "decompressed: 0  B compressed: 0  B compressed swap-in: 0  B compressed swap-out: 0  B "
        "in compressed paging: 0  B throttled: 0  B file-backed: 13.4 GB internal: 7.1 GB "
        "uncompressed in compressor: 0  B\n"
        "swap: total: 0  B available: 0  B used: 0  B encrypted: no\n");
    EXPECT_EQ(memory.cookedDescription().toStdString(),
        "QRNMemoryInstrument:\n"
        "UNIX style: RAM: 62.5 GB active: 11.7 GB inactive: 7.8 GB wired: 587.5 MB free: 39.1 GB swap: 0  B\n"
        "Mavericks style: physical: 62.5 GB imaginary: 62.5 GB swap: 0  B used: 23.4 GB = apps: 7.1 GB "
        "file cache: 13.4 GB wired: 587.5 MB compressed: 0  B\n"
        "Yosemite style: physical: 62.5 GB cache: 14.4 GB swap: 0  B used: 6.7 GB = apps: 6.1 GB "
        "wired: 587.5 MB compressed: 0  B\n");
}

TEST(QRNMemoryInstrument, FiguresOfThisMachineHoldTogether)
{
    QRNMemoryInstrument memory(QStringLiteral("/"));
    memory.collectNewSample();
    const quint64 physical = memory.physicalMemory();
    ASSERT_GT(physical, 0u);
    EXPECT_GT(memory.freeMemory(), 0u);
    EXPECT_LE(memory.freeMemory(), physical);
    EXPECT_LE(memory.activeMemory() + memory.inactiveMemory() + memory.wiredMemory() + memory.freeMemory(), physical);
    EXPECT_LE(memory.usedMemory(), physical);
    // These are differences in the kernel's arithmetic; an underflow would show here.
    EXPECT_LE(memory.applicationMemoryYosemite(), physical);
    EXPECT_LE(memory.cacheMemory(), physical);
    EXPECT_LE(memory.usedMemoryYosemite(), physical);
    EXPECT_LE(memory.applicationMemory() + memory.fileCacheMemory() + memory.wiredMemory() + memory.compressedMemory(),
        physical);
    EXPECT_LE(memory.imaginaryMemory(), physical);
    EXPECT_LE(memory.usedSwapMemory(), memory.allocatedSwapSpace());
    EXPECT_GT(memory.optimalFreeSize(), 0u);
    EXPECT_LT(memory.optimalFreeSize(), physical);
    EXPECT_GT(memory.virtualMemoryStatistics().faults, 0u);
}
