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

const QVariantMap ProcessorGraphOnly = VistrelProcess::settled({
    {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
    {QStringLiteral("ProcessorTopic-IsActive"), true},
    {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N")}},
});

// trayer, a GTK XEmbed system tray: a panel 22 pixels high at the top right.
class Trayer {
public:
    Trayer()
    {
        m_process.start(QStringLiteral(TRAYER_EXECUTABLE),
            {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                QStringLiteral("22"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
                QStringLiteral("--transparent"), QStringLiteral("false"), QStringLiteral("--tint"),
                QStringLiteral("0x000000")});
    }
    ~Trayer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

private:
    QProcess m_process;
};

// Screen frame of the first visible window xdotool finds with the search
// arguments, or an empty frame.
QRect windowFrame(const QStringList& search)
{
    QProcess find;
    find.start(QStringLiteral(XDOTOOL_EXECUTABLE),
        QStringList {QStringLiteral("search"), QStringLiteral("--onlyvisible")} + search
            + QStringList {QStringLiteral("getwindowgeometry"), QStringLiteral("%1")});
    if (!find.waitForFinished(10000) || find.exitCode() != 0)
        return {};
    static const QRegularExpression geometry(QStringLiteral("Position: (-?\\d+),(-?\\d+).*\\n\\s*Geometry: (\\d+)x(\\d+)"));
    const auto match = geometry.match(QString::fromLatin1(find.readAllStandardOutput()));
    if (!match.hasMatch())
        return {};
    return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
        match.captured(4).toInt());
}

QRect panelFrame()
{
    return windowFrame({QStringLiteral("--name"), QStringLiteral("^panel$")});
}

// The window the tray docked Vistrel's icon in.
QRect dockedIconFrame()
{
    return windowFrame({QStringLiteral("--class"), QStringLiteral("^vistrel$")});
}

// First and last column of the rectangle holding pixels that stand out from the background.
std::pair<int, int> inkColumns(const QImage& screen, const QRect& rect, QRgb background)
{
    int first = -1;
    int last = -1;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        if (inkIn(screen, QRect(x, rect.top(), 1, rect.height()), background) == 0)
            continue;
        if (first < 0)
            first = x;
        last = x;
    }
    return {first, last};
}

QProcessEnvironment onBus(const PrivateSessionBus& bus)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    return environment;
}

TEST(XEmbedTray, WithoutAWatcherTheGraphDocksAtItsFullWidthAndOpensItsMenu)
{
    // A session bus on which no StatusNotifierWatcher runs.
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    Trayer trayer;
    ASSERT_TRUE(waitUntil([] { return !panelFrame().isEmpty(); }));
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, ProcessorGraphOnly, onBus(bus));

    QRect icon;
    ASSERT_TRUE(waitUntil([&] {
        icon = dockedIconFrame();
        return icon.width() == GraphWidth;
    })) << "docked at " << icon.width() << " wide\n" << qPrintable(vistrel.errorOutput());
    const QRect panel = panelFrame();
    EXPECT_TRUE(panel.contains(icon)) << panel.width() << " wide panel";
    // Let the graph fill with a few ticks, then read its pixels.
    QThread::msleep(2500);
    const QImage screen = grabScreen();
    screen.save(QDir::current().filePath(QStringLiteral("xembed-tray-processor.png")));
    const QRgb background = screen.pixel(panel.left(), panel.bottom());
    const auto [first, last] = inkColumns(screen, icon, background);
    // The graph's frame spans the whole window, unscaled: ink in the first and last few columns.
    EXPECT_LE(first, icon.left() + 2) << "ink from " << first << " to " << last << " in " << icon.left() << ".."
                                      << icon.right();
    EXPECT_GE(last, icon.right() - 2) << "ink from " << first << " to " << last;

    ASSERT_TRUE(click(icon.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")))
        << qPrintable(vistrel.errorOutput());
    // The menu is wider than the icon and kept on screen, so its right margin
    // lies under the icon's right end: a column free of (black) text.
    const int column = icon.right() - 2;
    QImage withMenu;
    EXPECT_TRUE(waitUntil([&] {
        withMenu = grabScreen();
        return heightBelowBar(withMenu, column) > 100;
    })) << heightBelowBar(withMenu, column) << " high under the icon\n" << qPrintable(vistrel.errorOutput());
    withMenu.save(QDir::current().filePath(QStringLiteral("xembed-tray-processor-menu.png")));
}

TEST(XEmbedTray, IconsDockWhenTheTrayStartsLater)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, ProcessorGraphOnly, onBus(bus));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("no system tray is running"))) << qPrintable(vistrel.errorOutput());
    Trayer trayer;
    QRect icon;
    EXPECT_TRUE(waitUntil([&] {
        icon = dockedIconFrame();
        return icon.width() == GraphWidth;
    })) << "docked at " << icon.width() << " wide\n" << qPrintable(vistrel.errorOutput());
}

TEST(StatusBarMode, AutoWithoutAWatcherChoosesTheOwnBar)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    VistrelProcess vistrel({QStringLiteral("--status-bar=auto")}, ProcessorGraphOnly, onBus(bus));
    const QImage screen = waitForBar();
    EXPECT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
}

TEST(StatusBarMode, ATrayWithNeitherWatcherNorDisplayIsRefused)
{
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    QProcessEnvironment environment = onBus(bus);
    environment.insert(QStringLiteral("DISPLAY"), QString());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, ProcessorGraphOnly, environment);
    ASSERT_TRUE(vistrel.process().waitForFinished(20000));
    EXPECT_EQ(vistrel.process().exitCode(), 1);
    EXPECT_TRUE(vistrel.errorOutput().contains(QStringLiteral("needs a StatusNotifierWatcher")))
        << qPrintable(vistrel.errorOutput());
}

} // namespace
