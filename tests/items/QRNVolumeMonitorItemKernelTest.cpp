#include "app/ApplicationDelegate.h"
#include "instruments/QRNFileSystemInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNVolumeMonitorItem.h"
#include "menubar/QRNLevelIndicatorView.h"
#include "menubar/QRNTextPairView.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/mounts/SpaceQuery.h"
#include "support/CDP.h"
#include "support/HangingVolume.h"
#include "support/ScopedStatusBar.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A tmpfs and a loop-mounted ext4 image in a temporary folder, in a mount
// namespace of the test's own where it can have one.
class RealVolumes {
public:
    RealVolumes()
    {
        if (geteuid() != 0 || QStandardPaths::findExecutable("mkfs.ext4", {"/sbin", "/usr/sbin"}).isEmpty())
            return;
        if (unshare(CLONE_NEWNS) == 0)
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        QDir(folder.path()).mkpath("ram");
        QDir(folder.path()).mkpath("disk");
        QFile image(imagePath());
        if (!image.open(QIODevice::WriteOnly) || !image.resize(16 * 1024 * 1024))
            return;
        image.close();
        ready = mount("vistrel-ram", QFile::encodeName(ramPath()).constData(), "tmpfs", 0, "size=8m") == 0
            && run(QStandardPaths::findExecutable("mkfs.ext4", {"/sbin", "/usr/sbin"}), {"-q", "-F", imagePath()})
            && mountDisk();
    }
    ~RealVolumes()
    {
        umount2(QFile::encodeName(diskPath()).constData(), MNT_DETACH);
        umount2(QFile::encodeName(ramPath()).constData(), MNT_DETACH);
    }

    bool mountDisk() { return run("mount", {"-o", "loop", imagePath(), diskPath()}); }
    bool unmountDisk() { return umount2(QFile::encodeName(diskPath()).constData(), 0) == 0; }

    QString ramPath() const { return folder.filePath("ram"); }
    QString diskPath() const { return folder.filePath("disk"); }
    QString imagePath() const { return folder.filePath("disk.img"); }

    bool ready = false;

private:
    QTemporaryDir folder;
};

bool waitUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

// The colour in the middle of the filled part of a level bar.
QRgb fillPixel(QRNLevelIndicatorView& level)
{
    const QImage image = level.grab().toImage();
    const QRect bar = level.barRect();
    return image.pixel(bar.left() + 3, bar.center().y());
}

TEST(VolumeMonitorItemOnTheKernel, FillingUnmountingAndMountingAgainShowInTheMenu)
{
    RealVolumes volumes;
    if (!volumes.ready)
        GTEST_SKIP() << "needs root, mkfs.ext4 and loop devices";
    ScopedStatusBar bar;
    ApplicationDelegate controller;
    UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);

    MountMonitor mounts{Sysroot("/")};
    ASSERT_TRUE(mounts.isWatching());
    QDateTime now = QDateTime::currentDateTimeUtc();
    QRNVolumeMonitorItem item(mounts);
    item.setInstrumentPreparation([&](QRNFileSystemInstrument& instrument) { instrument.setClock([&] { return now; }); });
    ASSERT_TRUE(item.initWithCellConfiguration({"QRNNumericMenuBarCell:T"}));
    item.handleChangeOfUserDefault(SettingsKey::parse("FileSystemTopic-MonitoredPaths"),
        QVariantList{volumes.ramPath(), volumes.diskPath()});
    const auto tick = [&] {
        for (size_t i = 0; i < 2; ++i)
            item.fileSystemInstrument(i).collectNewSample();
        item.updateInterface();
    };

    QString menu = openedMenu(item);
    EXPECT_TRUE(menu.contains("ram\t\nUsed:\t0  B\nFree:\t8 MB\nLevel: 100 %\n")) << qPrintable(menu);
    QRNFileSystemInstrument& disk = item.fileSystemInstrument(1);
    const VolumeSpace empty = *SpaceQuery::statvfsOf(volumes.diskPath());
    EXPECT_EQ(disk.totalSpace(), empty.totalSpace);
    EXPECT_EQ(disk.freeSpace(), empty.availableSpace);
    QRNLevelIndicatorView& level = *item.menuViewsPerVolume()[1].level;
    EXPECT_LT(qRed(fillPixel(level)), 120) << "green";

    // Filled to 15 % free: the warning shows with the first sample the minute allows.
    const qint64 fill = qint64(empty.availableSpace) - qint64(empty.totalSpace * 15 / 100);
    {
        const int fd = open(QFile::encodeName(volumes.diskPath() + "/filler").constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(fallocate(fd, 0, 0, fill), 0);
        close(fd);
    }
    now = now.addSecs(30);
    tick();
    openedMenu(item);
    EXPECT_EQ(level.band(), QRNLevelIndicatorView::Band::Normal);
    now = now.addSecs(31);
    tick();
    menu = openedMenu(item);
    EXPECT_EQ(level.band(), QRNLevelIndicatorView::Band::Warning) << qPrintable(menu);
    const QRgb warning = fillPixel(level);
    EXPECT_GT(qRed(warning), 200) << "yellow";
    EXPECT_GT(qGreen(warning), 150) << "yellow";
    EXPECT_LT(qBlue(warning), 100) << "yellow";

    // The kernel's mount notification takes it offline, and brings it back.
    ASSERT_TRUE(volumes.unmountDisk());
    EXPECT_TRUE(waitUntil([&] { return disk.isOffline(); }));
    menu = openedMenu(item);
    EXPECT_TRUE(menu.contains("disk -offline-\t\nUsed:\t0  B")) << qPrintable(menu);
    EXPECT_TRUE(item.menuViewsPerVolume()[1].name->leftTextCell().attributedStringValue().has_value());

    ASSERT_TRUE(volumes.mountDisk());
    EXPECT_TRUE(waitUntil([&] { return !disk.isOffline(); }));
    const VolumeSpace filled = *SpaceQuery::statvfsOf(volumes.diskPath());
    EXPECT_EQ(disk.freeSpace(), filled.availableSpace);
    EXPECT_EQ(disk.totalSpace(), filled.totalSpace);
    menu = openedMenu(item);
    EXPECT_TRUE(menu.contains("disk\t\nUsed:\t")) << qPrintable(menu);
    EXPECT_EQ(level.band(), QRNLevelIndicatorView::Band::Warning);
    UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
}

TEST(VolumeMonitorItemOnTheKernel, AVolumeThatStopsAnsweringNeverHoldsUpTheBar)
{
    HangingVolume volume;
    if (!volume.isReady())
        GTEST_SKIP() << "needs root and /dev/fuse";
    ScopedStatusBar bar;
    ApplicationDelegate controller;
    MountMonitor mounts{Sysroot("/")};
    QDateTime now = QDateTime::currentDateTimeUtc();
    QRNVolumeMonitorItem item(mounts);
    item.setInstrumentPreparation([&](QRNFileSystemInstrument& instrument) {
        instrument.setClock([&] { return now; });
        instrument.setTimeout(std::chrono::milliseconds(1000));
    });
    ASSERT_TRUE(item.initWithCellConfiguration({"QRNNumericMenuBarCell:T"}));
    item.handleChangeOfUserDefault(SettingsKey::parse("FileSystemTopic-MonitoredPaths"), QVariantList{volume.mountPoint()});
    QRNFileSystemInstrument& remote = item.fileSystemInstrument(0);
    ASSERT_FALSE(remote.isOffline());
    EXPECT_EQ(remote.totalSpace(), HangingVolume::Blocks * HangingVolume::BlockSize);
    EXPECT_EQ(remote.freeSpace(), HangingVolume::AvailableBlocks * HangingVolume::BlockSize);

    // Ticks as the sampling group sends them, each timed.
    qint64 longestTick = 0;
    const auto tickUntil = [&](const std::function<bool()>& condition) {
        QDeadlineTimer deadline(5000);
        while (!condition() && !deadline.hasExpired()) {
            QElapsedTimer tick;
            tick.start();
            now = now.addSecs(61);
            remote.collectNewSample();
            item.updateInterface();
            longestTick = std::max(longestTick, tick.elapsed());
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        return condition();
    };

    volume.hang();
    QElapsedTimer hanging;
    hanging.start();
    EXPECT_TRUE(tickUntil([&] { return remote.isOffline(); }));
    EXPECT_GE(hanging.elapsed(), 1000);
    EXPECT_LT(longestTick, 250);
    const QString menu = openedMenu(item);
    EXPECT_TRUE(menu.contains("remote -offline-")) << qPrintable(menu);

    volume.answer();
    EXPECT_TRUE(tickUntil([&] { return !remote.isOffline(); }));
    EXPECT_LT(longestTick, 250);
    EXPECT_EQ(remote.freeSpace(), HangingVolume::AvailableBlocks * HangingVolume::BlockSize);
    EXPECT_EQ(remote.displayName(), "remote");
}

} // namespace
