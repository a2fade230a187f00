#include "instruments/QRNFileSystemInstrument.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/mounts/SpaceQuery.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>

namespace {

constexpr quint64 GB = 1000ULL * 1000 * 1000;
constexpr quint64 Minute = 60ULL * 1000 * 1000 * 1000;
const QByteArray RootMount = "28 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n";
const QByteArray DiskMount = "60 28 8:17 / /media/disk rw - ext4 /dev/sdb1 rw\n";

// A machine with a volume at /media/disk whose figures the test sets, and a
// clock the test moves.
class FileSystemInstrumentTest : public ::testing::Test {
protected:
    FileSystemInstrumentTest()
    {
        instrument.setClock([this] { return now; });
        instrument.setSpaceReader([this](const QString&) {
            ++reads;
            return std::optional<VolumeSpace>(VolumeSpace{total.load(), free.load()});
        });
    }

    void advance(int seconds)
    {
        now = now.addSecs(seconds);
        instrument.collectNewSample();
    }

    void mountTable(const QByteArray& text)
    {
        root.writeFile("proc/self/mountinfo", text);
        mounts.refresh();
    }

    static Sysroot withBothMounted(FixtureSysroot& root)
    {
        root.writeFile("proc/self/mountinfo", RootMount + DiskMount);
        return Sysroot(root.root());
    }

    FixtureSysroot root;
    MountMonitor mounts{withBothMounted(root)};
    QRNFileSystemInstrument instrument{mounts};
    QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    std::atomic<quint64> total = 100 * GB;
    std::atomic<quint64> free = 30 * GB;
    std::atomic<int> reads = 0;
};

TEST_F(FileSystemInstrumentTest, SamplesAtMostOnceAMinuteAndNotWhileDisksAreDueToSleep)
{
    instrument.setFileSystemPath("/media/disk");
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(instrument.totalSpace(), 100 * GB);
    EXPECT_EQ(instrument.freeSpace(), 30 * GB);
    EXPECT_EQ(instrument.freeSpaceForOpportunisticUse(), 0u);
    EXPECT_EQ(instrument.displayName(), "disk");

    free = 20 * GB;
    advance(30);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(instrument.freeSpace(), 30 * GB);
    advance(31);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(instrument.freeSpace(), 20 * GB);
    EXPECT_EQ(instrument.timeOfLastSample(), now);

    // Disks sleep after 10 minutes; the user has been away for 11.
    instrument.setHardDriveSleepInterval(10);
    instrument.setIdleTimeSource([] { return 11 * Minute; });
    const QDateTime lastSample = now;
    advance(61);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(instrument.timeOfLastSample(), lastSample);
    instrument.setIdleTimeSource([] { return 9 * Minute; });
    advance(1);
    EXPECT_EQ(reads, 3);

    EXPECT_TRUE(QRNFileSystemInstrument::isIdleBeyondDiskSleep(11 * Minute, 10));
    EXPECT_FALSE(QRNFileSystemInstrument::isIdleBeyondDiskSleep(10 * Minute, 10));
    EXPECT_FALSE(QRNFileSystemInstrument::isIdleBeyondDiskSleep(1000 * Minute, 180));
    EXPECT_FALSE(QRNFileSystemInstrument::isIdleBeyondDiskSleep(1000 * Minute, 0));
    EXPECT_FALSE(QRNFileSystemInstrument::isIdleBeyondDiskSleep(0, 10));
}

TEST_F(FileSystemInstrumentTest, AVolumeThatGoesAwayIsOfflineUnderItsFolderNameAndReturnsAtOnce)
{
    instrument.setFileSystemPath("/media/disk");
    ASSERT_FALSE(instrument.isOffline());

    // Unmounted, the mount point is a plain folder of the root volume, which
    // must not be taken for the volume.
    mountTable(RootMount);
    advance(61);
    EXPECT_TRUE(instrument.isOffline());
    EXPECT_EQ(instrument.displayName(), "disk -offline-");
    EXPECT_EQ(instrument.totalSpace(), 0u);
    EXPECT_EQ(instrument.freeSpace(), 0u);
    EXPECT_EQ(reads, 1);
    advance(61);
    EXPECT_EQ(reads, 1);

    // Mounted again and reported back by the owner: sampled within the minute.
    mountTable(RootMount + DiskMount);
    now = now.addSecs(5);
    instrument.setIsOffline(false);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(instrument.displayName(), "disk");
    EXPECT_EQ(instrument.totalSpace(), 100 * GB);

    // A volume that cannot be read is offline too.
    instrument.setSpaceReader([](const QString&) { return std::optional<VolumeSpace>(); });
    advance(61);
    EXPECT_TRUE(instrument.isOffline());
}

TEST_F(FileSystemInstrumentTest, AMountPointOfTheFileSystemTableWithNothingMountedIsOfflineFromTheStart)
{
    root.writeFile("etc/fstab", "/dev/sdb1 /media/disk ext4 noauto 0 0\n");
    mountTable(RootMount);
    instrument.setFileSystemPath("/media/disk/");
    EXPECT_TRUE(instrument.isOffline());
    EXPECT_EQ(reads, 0);

    mountTable(RootMount + DiskMount);
    instrument.setIsOffline(false);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(instrument.totalSpace(), 100 * GB);

    // Any other folder is measured on the volume that holds it.
    QRNFileSystemInstrument folder(mounts);
    folder.setSpaceReader([](const QString&) { return std::optional<VolumeSpace>(VolumeSpace{500 * GB, 1 * GB}); });
    folder.setFileSystemPath("/srv/www");
    EXPECT_FALSE(folder.isOffline());
    EXPECT_EQ(folder.totalSpace(), 500 * GB);
}

TEST_F(FileSystemInstrumentTest, AHangingVolumeTimesOutWithoutHoldingTheCallerAndComesBackWhenItAnswers)
{
    instrument.setFileSystemPath("/media/disk");
    auto answer = std::make_shared<std::promise<void>>();
    std::shared_future<void> answered = answer->get_future().share();
    instrument.setSpaceReader([this, answered](const QString&) {
        answered.wait();
        ++reads;
        return std::optional<VolumeSpace>(VolumeSpace{total.load(), free.load()});
    });
    instrument.setTimeout(std::chrono::milliseconds(300));

    QElapsedTimer held;
    held.start();
    advance(61);
    advance(1);
    EXPECT_LT(held.elapsed(), 250);
    EXPECT_FALSE(instrument.isOffline());
    EXPECT_EQ(instrument.totalSpace(), 100 * GB);

    QThread::msleep(350);
    advance(1);
    EXPECT_TRUE(instrument.isOffline());
    EXPECT_EQ(instrument.displayName(), "disk -offline-");
    // The one query still hangs; no second one piles up behind it.
    advance(61);
    EXPECT_EQ(reads, 1);

    free = 10 * GB;
    answer->set_value();
    for (int i = 0; i < 100 && instrument.isOffline(); ++i) {
        QThread::msleep(10);
        advance(1);
    }
    EXPECT_FALSE(instrument.isOffline());
    EXPECT_EQ(instrument.displayName(), "disk");
    EXPECT_EQ(instrument.freeSpace(), 10 * GB);

    // Unmounted while a slow answer is on its way: its figures are of a volume that is gone.
    auto slowAnswer = std::make_shared<std::promise<void>>();
    std::shared_future<void> slowAnswered = slowAnswer->get_future().share();
    instrument.setSpaceReader([slowAnswered](const QString&) {
        slowAnswered.wait();
        return std::optional<VolumeSpace>(VolumeSpace{100 * GB, 90 * GB});
    });
    advance(61);
    instrument.setIsOffline(true);
    slowAnswer->set_value();
    for (int i = 0; i < 10; ++i) {
        QThread::msleep(20);
        advance(1);
    }
    EXPECT_TRUE(instrument.isOffline());
    EXPECT_EQ(instrument.displayName(), "disk -offline-");
    EXPECT_EQ(instrument.freeSpace(), 0u);
}

} // namespace
