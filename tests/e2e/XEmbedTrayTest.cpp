#include "VistrelProcess.h"
#include "XServer.h"
#include "platform/statusbar/PrivateSessionBus.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// A one-processor history graph is 66 points wide; Qt's own tray icon would squeeze it into 22.
constexpr int GraphWidth = 66;

// trayer, a GTK XEmbed system tray: a black panel 22 pixels high at the top right.
struct Trayer : QProcess {
    Trayer()
    {
        start(QStringLiteral(TRAYER_EXECUTABLE), QStringLiteral("--edge top --align right --widthtype request "
            "--height 22 --SetDockType true --transparent false --tint 0x000000").split(u' '));
    }
    ~Trayer() override
    {
        terminate();
        waitForFinished(5000);
    }
};

// Screen frame of the first visible window whose name or class matches, or an empty frame.
QRect windowFrame(const QString& field, const QString& pattern)
{
    QProcess find;
    find.start(QStringLiteral(XDOTOOL_EXECUTABLE), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), field,
        pattern, QStringLiteral("getwindowgeometry"), QStringLiteral("%1")});
    if (!find.waitForFinished(10000) || find.exitCode() != 0)
        return {};
    static const QRegularExpression geometry(QStringLiteral("Position: (-?\\d+),(-?\\d+).*\\n\\s*Geometry: (\\d+)x(\\d+)"));
    const auto match = geometry.match(QString::fromLatin1(find.readAllStandardOutput()));
    return match.hasMatch() ? QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                                  match.captured(4).toInt())
                            : QRect();
}

// Waits for the tray to dock Vistrel's icon at the graph's full width.
QRect dockedIcon(VistrelProcess& vistrel)
{
    QRect icon;
    EXPECT_TRUE(waitUntil([&] {
        icon = windowFrame(QStringLiteral("--class"), QStringLiteral("^vistrel$"));
        return icon.width() == GraphWidth;
    })) << "docked at " << icon.width() << " wide\n" << qPrintable(vistrel.errorOutput());
    return icon;
}

// A session bus on which no StatusNotifierWatcher runs.
QProcessEnvironment onBus(const PrivateSessionBus& bus)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    return environment;
}

TEST(XEmbedTray, WithoutAWatcherTheGraphDocksAtItsFullWidthAndOpensItsMenu)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    Trayer trayer;
    ASSERT_TRUE(waitUntil([] { return !windowFrame(QStringLiteral("--name"), QStringLiteral("^panel$")).isEmpty(); }));
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, processorGraph(), onBus(bus));
    const QRect icon = dockedIcon(vistrel);
    ASSERT_EQ(icon.width(), GraphWidth);
    const QRect panel = windowFrame(QStringLiteral("--name"), QStringLiteral("^panel$"));
    EXPECT_TRUE(panel.contains(icon)) << panel.width() << " wide panel";
    // Let the graph fill with a few ticks: its frame spans the whole window,
    // unscaled, with ink in the first and last few columns.
    QThread::msleep(2500);
    const QImage screen = grabScreen();
    screen.save(QDir::current().filePath(QStringLiteral("xembed-tray-processor.png")));
    const QImage docked = screen.copy(icon);
    const QRgb background = screen.pixel(panel.left(), panel.bottom());
    EXPECT_LE(leftmostInk(docked, background), 2);
    EXPECT_LE(leftmostInk(docked.mirrored(true, false), background), 2);

    ASSERT_TRUE(click(icon.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")))
        << qPrintable(vistrel.errorOutput());
    // The menu is wider than the icon and kept on screen, so its right margin
    // lies under the icon's right end: a column free of (black) text.
    const int column = icon.right() - 2;
    EXPECT_TRUE(waitUntil([&] { return heightBelowBar(grabScreen(), column) > 100; }))
        << heightBelowBar(grabScreen(), column) << " high under the icon\n" << qPrintable(vistrel.errorOutput());
}

TEST(XEmbedTray, IconsDockWhenTheTrayStartsLater)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, processorGraph(), onBus(bus));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("no system tray is running"))) << qPrintable(vistrel.errorOutput());
    Trayer trayer;
    dockedIcon(vistrel);
}

} // namespace
