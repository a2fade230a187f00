#include "platform/linux/HostFacts.h"
#include "platform/linux/HostMemoryStatistics.h"
#include "platform/linux/HostProcessorInfo.h"
#include "platform/linux/RegularFile.h"

#include "platform/linux/FixtureSysroot.h"
#include "support/FinishesInTime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(RegularFile, AFIFOOrADeviceInPlaceOfAKernelFileIsNoValueAndNoWait)
{
    // A FIFO blocks an open until a writer comes; /dev/zero never ends.
    FixtureSysroot root(QStringLiteral("desktop-zswap"));
    root.removeFile(QStringLiteral("proc/stat"));
    ASSERT_EQ(mkfifo(QFile::encodeName(root.root() + QStringLiteral("/proc/stat")).constData(), 0600), 0);
    root.removeFile(QStringLiteral("proc/meminfo"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), root.root() + QStringLiteral("/proc/meminfo")));
    EXPECT_TRUE(finishesInTime([&] {
        if (HostProcessorInfo(root.root()).sample() || HostFacts(root.root()).bootTime())
            _exit(1);
        HostMemoryStatistics memory(root.root(), 4096);
        if (memory.sample().statistics || memory.memorySize())
            _exit(1);
    }, 10s));
}

TEST(RegularFile, ReadsWholeFilesUpToTheLimitAndTellsWhyNot)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ten"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0123456789");
    file.close();
    EXPECT_EQ(RegularFile::read(path, 10), QByteArray("0123456789"));
    RegularFile::Failure failure = RegularFile::Failure::None;
    EXPECT_FALSE(RegularFile::read(path, 9, &failure));
    EXPECT_EQ(failure, RegularFile::Failure::TooLarge);
    EXPECT_FALSE(RegularFile::read(folder.filePath(QStringLiteral("none")), 10, &failure));
    EXPECT_EQ(failure, RegularFile::Failure::Missing);
    EXPECT_FALSE(RegularFile::read(folder.path(), 10, &failure));
    EXPECT_EQ(failure, RegularFile::Failure::NotRegular);

    // Kernel files give no size: the limit holds while reading.
    const std::optional<QByteArray> status = RegularFile::read(QStringLiteral("/proc/self/status"), 1 << 20);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->startsWith("Name:"));
    EXPECT_FALSE(RegularFile::read(QStringLiteral("/proc/self/status"), 16, &failure));
    EXPECT_EQ(failure, RegularFile::Failure::TooLarge);
}
