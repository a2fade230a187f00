#include "HostSettings.h"
#include "VistrelProcess.h"
#include "XServer.h"

#include "storage/QRNPhysicalDisk.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Every attached disk, so that writing to the working folder lights one lamp.
QVariantList allDisks()
{
    QVariantList disks;
    for (const auto& disk : QRNPhysicalDisk::allAttachedDisks())
        disks.append(QVariantMap{{QStringLiteral("Identification"), disk->identification()}, {QStringLiteral("TriState"), true}});
    return disks;
}

// The first network interface other than the loopback; empty without one.
QString firstInterface()
{
    for (const QString& name : QDir(QStringLiteral("/sys/class/net")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("lo"))
            return name;
    }
    return {};
}

QVariantMap activitySettings(const QString& interface)
{
    return VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("ProcessorTopic-IsActive"), false},
        {QStringLiteral("ActivityTopic-IsActive"), true},
        {QStringLiteral("ActivityTopic-MenuBarConfiguration"), QVariantList()},
        {QStringLiteral("ActivityTopic-MonitoredDisks"), allDisks()},
        {QStringLiteral("ActivityTopic-MonitoredNetInterfaces"),
            QVariantList{QVariantMap{{QStringLiteral("Identification"), interface}, {QStringLiteral("TriState"), false}}}},
    });
}

TEST(ActivityItem, OwnBarLampShowsWritingWhileTheDiskIsWrittenAndTheSnapshotNamesTheDevices)
{
    const QString interface = firstInterface();
    if (allDisks().isEmpty() || interface.isEmpty())
        GTEST_SKIP() << "this machine has no disk or no network interface besides the loopback";

    const HostSettings settings(activitySettings(interface));
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, {}, settings.environment());
    const QImage idle = waitForBar();
    ASSERT_FALSE(isBlack(idle.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    // HD label, one lamp per disk, NET label and one lamp: at least 4 cells of the bar's height.
    const int width = (allDisks().size() + 3) * BarHeight;
    const QRect item(ScreenWidth - ItemSpacing - width, 0, width, BarHeight);
    const QRgb background = idle.pixel(10, 10);
    EXPECT_GT(inkIn(idle, item, background), 30) << qPrintable(vistrel.errorOutput());

    QTemporaryFile target(QDir::current().filePath(QStringLiteral("activity-item-XXXXXX")));
    ASSERT_TRUE(target.open());
    QProcess writer;
    writer.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
        QStringLiteral("while :; do dd if=/dev/zero of='%1' bs=64k count=64 oflag=direct conv=notrunc 2>/dev/null; done").arg(target.fileName())});
    ASSERT_TRUE(writer.waitForStarted());
    // A coloured lamp shows writing in red. (Other programs may write as well,
    // so the lamp is not asked to be idle before.)
    const auto writingLampIn = [&](const QImage& screen) {
        for (int y = item.top(); y <= item.bottom(); ++y) {
            for (int x = item.left(); x <= item.right(); ++x) {
                const QRgb pixel = screen.pixel(x, y);
                if (qRed(pixel) > 180 && qGreen(pixel) < 120 && qBlue(pixel) < 120)
                    return true;
            }
        }
        return false;
    };
    const bool writing = waitUntil([&] { return writingLampIn(grabScreen()); }, 3000);
    grabScreen().save(QDir::current().filePath(QStringLiteral("own-bar-activity-item.png")));
    writer.kill();
    writer.waitForFinished();
    EXPECT_TRUE(writing) << "no lamp showed writing while the disk was written";

    QTemporaryDir folder;
    const QString snapshot = folder.filePath(QStringLiteral("snapshot"));
    VistrelProcess snapshotter({QStringLiteral("--snapshot"), snapshot, QStringLiteral("--ticks"), QStringLiteral("2")}, {},
        settings.environment());
    ASSERT_TRUE(snapshotter.process().waitForFinished(30000));
    EXPECT_EQ(snapshotter.process().exitCode(), 0) << qPrintable(snapshotter.errorOutput());
    const QStringList images = QDir(snapshot).entryList({QStringLiteral("*QRNActivityMonitorItem*.png")});
    const QStringList menus = QDir(snapshot).entryList({QStringLiteral("*QRNActivityMonitorItem*.menu.txt")});
    ASSERT_EQ(images.size(), 1) << qPrintable(QDir(snapshot).entryList().join(u' '));
    ASSERT_EQ(menus.size(), 1);
    EXPECT_GE(QImage(QDir(snapshot).filePath(images.first())).width(), 4 * 16);
    QFile menu(QDir(snapshot).filePath(menus.first()));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(menu.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("System Activity"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("HD 1: ") + allDisks().first().toMap().value("Identification").toString())) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("NET 1: Interface '%1'").arg(interface))) << qPrintable(text);
}

} // namespace
