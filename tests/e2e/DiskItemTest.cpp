#include "VistrelProcess.h"
#include "XServer.h"

#include "storage/QRNPhysicalDisk.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QThread>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

namespace {

// The whole disk under a block device: a partition's disk, or for a device
// made from others (LVM, RAID) the disk of its first part.
QString wholeDiskOf(const QString& sysfsPath)
{
    const QDir device(sysfsPath);
    if (QFileInfo::exists(device.filePath(QStringLiteral("partition"))))
        return QFileInfo(device.absolutePath()).dir().dirName();
    const QStringList parts = QDir(device.filePath(QStringLiteral("slaves"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (!parts.isEmpty())
        return wholeDiskOf(QFileInfo(device.filePath(QStringLiteral("slaves/") + parts.first())).canonicalFilePath());
    return device.dirName();
}

// The identification of the disk that holds the working folder, where the
// test writes; the first disk when that cannot be told (an overlay).
QString diskIdentification()
{
    struct stat folder {};
    QString name;
    if (::stat(".", &folder) == 0) {
        const QString device = QStringLiteral("/sys/dev/block/%1:%2").arg(major(folder.st_dev)).arg(minor(folder.st_dev));
        if (QFileInfo::exists(device))
            name = wholeDiskOf(QFileInfo(device).canonicalFilePath());
    }
    const QRNPhysicalDisk::List disks = QRNPhysicalDisk::allAttachedDisks();
    for (const auto& disk : disks) {
        if (disk->logicalBSDDiskHierarchy() && disk->logicalBSDDiskHierarchy()->name() == name)
            return disk->identification();
    }
    return disks.empty() ? QString() : disks.front()->identification();
}

// The amount of a row such as "Write Throughput:\t5.1 MB/s", in bytes; -1 when missing.
double amountOfRow(const QString& menu, const QString& label)
{
    static const QHash<QString, double> units{{"B", 1}, {"KB", 1024}, {"MB", 1024.0 * 1024}, {"GB", 1024.0 * 1024 * 1024},
        {"TB", 1024.0 * 1024 * 1024 * 1024}};
    const QRegularExpression row(QRegularExpression::escape(label) + QStringLiteral("\\t\\s*([\\d.,]+)\\s+([KMGT]?B)"));
    const QRegularExpressionMatch match = row.match(menu);
    if (!match.hasMatch())
        return -1;
    return QString(match.captured(1)).remove(u',').toDouble() * units.value(match.captured(2), 0);
}

TEST(DiskItem, ShowsTheDiskInTheBarAndRealRatesInItsMenuWhileDataIsWritten)
{
    const QString disk = diskIdentification();
    if (disk.isEmpty())
        GTEST_SKIP() << "this machine has no physical disk in /sys/block";
    QVariantMap settings = VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("ProcessorTopic-IsActive"), false},
        {QStringLiteral("DiskTopic-IsActive"), true},
        {QStringLiteral("DiskTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNTextMenuBarCell:2")}},
    });
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    // The disk is chosen while Vistrel runs, as another program would write it.
    settings.insert(QStringLiteral("DiskTopic-MonitoredDisks"), QVariantList{disk});
    vistrel.writeSettings(settings);
    const QRgb background = screen.pixel(10, 10);
    const QRect item(ScreenWidth - ItemSpacing - 60, 0, 60, BarHeight);
    EXPECT_GT(inkIn(screen, item, background), 30) << qPrintable(vistrel.errorOutput());

    // Write to the disk, bypassing the page cache, for as long as the test reads the menu.
    QTemporaryFile target(QDir::current().filePath(QStringLiteral("disk-item-XXXXXX")));
    ASSERT_TRUE(target.open());
    QProcess writer;
    writer.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
        QStringLiteral("while :; do dd if=/dev/zero of='%1' bs=1M count=32 oflag=direct conv=notrunc 2>/dev/null; done").arg(target.fileName())});
    ASSERT_TRUE(writer.waitForStarted());
    QThread::msleep(2500);
    screen = grabScreen();
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-disk-item.png")));

    ASSERT_TRUE(click(item.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNDiskMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    // The Alt switch prints the menu with its rows filled.
    xdotool(QStringLiteral("keydown alt"));
    const bool filled = vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"));
    xdotool(QStringLiteral("keyup alt"));
    writer.kill();
    writer.waitForFinished();
    ASSERT_TRUE(filled) << qPrintable(vistrel.errorOutput());
    const QString menu = vistrel.outputSince(QStringLiteral("the open menu now reads:"));
    EXPECT_TRUE(menu.contains(QStringLiteral("Storage Disks"))) << qPrintable(menu);
    EXPECT_TRUE(menu.contains(disk)) << qPrintable(menu);
    EXPECT_GT(amountOfRow(menu, QStringLiteral("Write Throughput:")), 1024 * 1024) << qPrintable(menu);
    EXPECT_GE(amountOfRow(menu, QStringLiteral("Read Throughput:")), 0) << qPrintable(menu);
    EXPECT_GT(amountOfRow(menu, QStringLiteral("Peak value (write):")), 1024 * 1024) << qPrintable(menu);
    EXPECT_GT(amountOfRow(menu, QStringLiteral("Written Data:")), 32.0 * 1024 * 1024) << qPrintable(menu);
}

} // namespace
