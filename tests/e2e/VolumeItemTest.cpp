#include "VistrelProcess.h"
#include "XServer.h"

#include "support/HangingVolume.h"

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/statvfs.h>

namespace {

// Only the volume item, watching the volumes in two lines of text, stored
// where the configuration page stores it: with the host's settings, which a
// new item is handed.
class VolumeSettings {
public:
    explicit VolumeSettings(const QStringList& paths = {QStringLiteral("/")})
    {
        const QString hostFile = QFileInfo(UserDefaults::standardUserDefaults().filePath(UserDefaults::Domain::Host)).fileName();
        const QString folder = m_config.filePath(QStringLiteral("vistrel/ByHost"));
        QDir().mkpath(folder);
        PropertyList::writeFile(QDir(folder).filePath(hostFile), settings(paths));
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        return environment;
    }

private:
    static QVariantMap settings(const QStringList& paths);
    QTemporaryDir m_config;
};

QVariantMap VolumeSettings::settings(const QStringList& paths)
{
    return VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("ProcessorTopic-IsActive"), false},
        {QStringLiteral("FileSystemTopic-IsActive"), true},
        {QStringLiteral("FileSystemTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNTextMenuBarCell:2")}},
        {QStringLiteral("FileSystemTopic-MonitoredPaths"), QVariantList(paths.begin(), paths.end())},
    });
}

// The share of the root file system that is free, in percent, as the menu's level reads it.
long rootFreePercent()
{
    struct statvfs figures {};
    statvfs("/", &figures);
    return std::lround(100.0 * double(figures.f_bavail) / double(figures.f_blocks));
}

// The menu shows the root volume by its name (its label, or "/" without one)
// with used and free sizes and the level of what is free.
void expectRootVolumeIn(const QString& menu)
{
    static const QRegularExpression rows(QStringLiteral("Disk Volumes\t\n[^\t\n]+\t\nUsed:\t *[0-9.]+ [KMGT]?B\n"
                                                        "Free:\t *[0-9.]+ [KMGT]?B\nLevel: ([0-9]+) %"));
    const QRegularExpressionMatch match = rows.match(menu);
    ASSERT_TRUE(match.hasMatch()) << qPrintable(menu);
    // Others write to the disk meanwhile.
    EXPECT_NEAR(match.captured(1).toDouble(), double(rootFreePercent()), 2.0) << qPrintable(menu);
}

TEST(VolumeItem, OwnBarShowsTheRootVolumeAndItsMenuListsItWithRealFigures)
{
    const VolumeSettings settings;
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, {}, settings.environment());
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-volume.png")));
    const QRgb background = screen.pixel(10, 10);
    const int left = leftmostInk(screen, background);
    ASSERT_LT(left, ScreenWidth - ItemSpacing - 20) << qPrintable(vistrel.errorOutput());
    // Two lines of text: ink in the upper and in the lower half.
    EXPECT_GT(inkIn(screen, QRect(left, 1, ScreenWidth - left, BarHeight / 2 - 1), background), 10);
    EXPECT_GT(inkIn(screen, QRect(left, BarHeight / 2, ScreenWidth - left, BarHeight / 2 - 1), background), 10);

    ASSERT_TRUE(click(QPoint((left + ScreenWidth - ItemSpacing) / 2, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNVolumeMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    // The Alt switch prints the menu as it reads once its rows are filled.
    xdotool(QStringLiteral("keydown alt"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keyup alt"));
    expectRootVolumeIn(vistrel.outputSince(QStringLiteral("the open menu now reads:")));
}

TEST(VolumeItem, SnapshotWritesItsImageAndMenu)
{
    QTemporaryDir folder;
    const QString snapshot = folder.filePath(QStringLiteral("snapshot"));
    const VolumeSettings settings;
    VistrelProcess vistrel({QStringLiteral("--snapshot"), snapshot, QStringLiteral("--ticks"), QStringLiteral("1")}, {}, settings.environment());
    ASSERT_TRUE(vistrel.process().waitForFinished(30000));
    EXPECT_EQ(vistrel.process().exitCode(), 0) << qPrintable(vistrel.errorOutput());
    const QStringList images = QDir(snapshot).entryList({QStringLiteral("*QRNVolumeMonitorItem*.png")});
    const QStringList menus = QDir(snapshot).entryList({QStringLiteral("*QRNVolumeMonitorItem*.menu.txt")});
    ASSERT_EQ(images.size(), 1) << qPrintable(QDir(snapshot).entryList().join(u' '));
    ASSERT_EQ(menus.size(), 1);
    const QImage image(QDir(snapshot).filePath(images.first()));
    EXPECT_GT(image.width(), 20);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(drawn, 20);
    QFile menu(QDir(snapshot).filePath(menus.first()));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    expectRootVolumeIn(QString::fromUtf8(menu.readAll()));
}

// The menu as it reads once filled, printed by holding Alt over the open menu.
QString openedMenu(VistrelProcess& vistrel, const QPoint& button)
{
    if (!click(button) || !vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNVolumeMonitorItem'"), 3000))
        return {};
    xdotool(QStringLiteral("keydown alt"));
    vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"), 3000);
    xdotool(QStringLiteral("keyup alt"));
    const QString menu = vistrel.outputSince(QStringLiteral("the open menu now reads:"));
    xdotool(QStringLiteral("key Escape"));
    vistrel.waitForOutput(QStringLiteral("closed the menu of 'QRNVolumeMonitorItem'"), 3000);
    return menu;
}

TEST(VolumeItem, AVolumeThatStopsAnsweringLeavesTheBarLiveShowsOfflineAndReturns)
{
    HangingVolume volume;
    if (!volume.isReady())
        GTEST_SKIP() << "needs root and /dev/fuse";
    volume.hang();
    const VolumeSettings settings({volume.mountPoint()});
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, {}, settings.environment());
    // The bar comes up and its menu opens while the volume's statfs hangs.
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QPoint button((leftmostInk(screen, screen.pixel(10, 10)) + ScreenWidth - ItemSpacing) / 2, BarHeight / 2);
    QThread::msleep(4000);
    QString menu = openedMenu(vistrel, button);
    EXPECT_TRUE(menu.contains(QStringLiteral("remote -offline-\t\nUsed:\t")))
        << qPrintable(menu) << qPrintable(vistrel.errorOutput());

    volume.answer();
    QThread::msleep(2500);
    menu = openedMenu(vistrel, button);
    EXPECT_TRUE(menu.contains(QStringLiteral("remote\t\nUsed:\t")) && menu.contains(QStringLiteral("Level: 30 %")))
        << qPrintable(menu) << qPrintable(vistrel.errorOutput());
}

} // namespace
