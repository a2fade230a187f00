#include "HostSettings.h"
#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Only the sensor item, one temperature cell, with Vistrel Plus permitted.
QVariantMap sensorSettings()
{
    return VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("ProcessorTopic-IsActive"), false},
        {QStringLiteral("SensorTopic-IsActive"), true},
        {QStringLiteral("SensorTopic-MenuBarConfiguration"), QStringList {QStringLiteral("QRNTemperatureMenuBarCell:N")}},
        {QStringLiteral("SensorTopic-UseAppExtension"), true},
        {QStringLiteral("UseAppExtension"), true},
    });
}

// Vistrel and the companion it starts both read the saved desktop.
QProcessEnvironment onDesktop(const HostSettings& settings)
{
    QProcessEnvironment environment = settings.environment();
    environment.insert(QStringLiteral("VISTREL_SYSROOT"), QStringLiteral(VISTREL_FIXTURES "/sensors-desktop"));
    return environment;
}

} // namespace

TEST(SensorItem, OwnBarShowsTheTemperatureAndTheMenuListsTheMachinesSensors)
{
    const HostSettings settings(sensorSettings());
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, {}, onDesktop(settings));
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const QRect item(ScreenWidth - ItemSpacing - 40, 0, 40, BarHeight);
    EXPECT_GT(inkIn(screen, item, background), 20) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("App extension accepted."), 15000)) << qPrintable(vistrel.errorOutput());

    // The item samples every five seconds: the first sample after the
    // companion's first block builds the menu, the next fills the cell.
    keepRunning(11000);
    grabScreen().save(QDir::current().filePath(QStringLiteral("own-bar-sensor-item.png")));
    ASSERT_TRUE(click(QPoint(ScreenWidth - ItemSpacing - 10, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNSensorMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keydown alt"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keyup alt"));
    const QString menu = vistrel.outputSince(QStringLiteral("the open menu now reads:"));
    EXPECT_TRUE(menu.contains(QStringLiteral("Fan 'nct6775 fan 4'\t 1520 RPM"))) << qPrintable(menu);
    EXPECT_TRUE(menu.contains(QRegularExpression(QStringLiteral("k10temp Tdie\t *57.5℃")))) << qPrintable(menu);
    // The Linux wording of the generic sensors' heading.
    EXPECT_TRUE(menu.contains(QStringLiteral("Hardware Sensors"))) << qPrintable(menu);
}

TEST(SensorItem, SnapshotWritesTheItemsImageAndMenu)
{
    const HostSettings settings(sensorSettings());
    QTemporaryDir folder;
    const QString snapshot = folder.filePath(QStringLiteral("snapshot"));
    VistrelProcess snapshotter({QStringLiteral("--snapshot"), snapshot, QStringLiteral("--ticks"), QStringLiteral("11")}, {},
        onDesktop(settings));
    ASSERT_TRUE(snapshotter.process().waitForFinished(40000));
    EXPECT_EQ(snapshotter.process().exitCode(), 0) << qPrintable(snapshotter.errorOutput());
    const QStringList images = QDir(snapshot).entryList({QStringLiteral("*QRNSensorMonitorItem*.png")});
    const QStringList menus = QDir(snapshot).entryList({QStringLiteral("*QRNSensorMonitorItem*.menu.txt")});
    ASSERT_EQ(images.size(), 1) << qPrintable(QDir(snapshot).entryList().join(u' '));
    ASSERT_EQ(menus.size(), 1);
    EXPECT_GE(QImage(QDir(snapshot).filePath(images.first())).width(), 16);
    QFile menu(QDir(snapshot).filePath(menus.first()));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(menu.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Status\t\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Fan 'nct6775 fan 1'\t 1180 RPM"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("nct6775 Vcore\t1.21 V"))) << qPrintable(text);
}
