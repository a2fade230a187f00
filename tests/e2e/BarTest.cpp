#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(OwnBar, IsADockWithThePlaceholderWhoseMenuOpensTheConfiguration)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")},
        VistrelProcess::settled({{QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true}}));
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_EQ(screen.width(), ScreenWidth);

    QProcess xprop;
    xprop.start(QStringLiteral("sh"), {QStringLiteral("-c"),
        QStringLiteral("xprop -id $(xdotool search --onlyvisible --name '^Vistrel$' | head -1) "
                       "_NET_WM_WINDOW_TYPE _NET_WM_STRUT_PARTIAL")});
    ASSERT_TRUE(xprop.waitForFinished());
    const QString properties = QString::fromLatin1(xprop.readAllStandardOutput());
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DOCK"))) << qPrintable(properties);
    EXPECT_TRUE(properties.contains(QStringLiteral("_NET_WM_STRUT_PARTIAL(CARDINAL) = 0, 0, 22, 0, 0, 0, 0, 0, 0, 1279, 0, 0")))
        << qPrintable(properties);

    // The placeholder glyph is the only thing in the bar: a square button at the right end.
    const QRgb background = screen.pixel(10, 10);
    const QRect placeholder(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    EXPECT_GT(inkIn(screen, placeholder, background), 15);
    EXPECT_EQ(inkIn(screen, QRect(0, 0, placeholder.left() - 1, BarHeight), background), 0);

    ASSERT_TRUE(click(placeholder.center()));
    const int column = ScreenWidth - 12;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return heightBelowBar(screen, column) > 20;
    })) << qPrintable(vistrel.errorOutput());
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-placeholder-menu.png")));
    // Two text rows and a separator: taller than one row, shorter than four.
    const int menuHeight = heightBelowBar(screen, column);
    EXPECT_GT(menuHeight, 40);
    EXPECT_LT(menuHeight, 110);
    // The highlighted button now stands out from the bar.
    EXPECT_NE(screen.pixel(placeholder.left() + 1, 1), background);
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu")));
    EXPECT_TRUE(vistrel.errorOutput().contains(
        QStringLiteral("Vistrel (no monitor items active) (disabled)\n-----\nPreferences...\n")));

    ASSERT_TRUE(click(QPoint(column, BarHeight + menuHeight - 14)));
    EXPECT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Vistrel Configuration$")); }));
}

TEST(OwnBar, AnOpenMenuFollowsThePointerOntoTheNextItemOnce)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, processorGraph(true));
    ASSERT_FALSE(isBlack(waitForBar().pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    // The graph (66 points) at the right end, the main-menu item left of it.
    const QRect graph(ScreenWidth - ItemSpacing - 66, 0, 66, BarHeight);
    const QRect mainMenu(graph.left() - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    ASSERT_TRUE(click(graph.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")));

    ASSERT_TRUE(xdotool(QStringLiteral("mousemove %1 %2").arg(mainMenu.center().x()).arg(mainMenu.center().y())));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMainMenuMonitorItem'")));
    // Resting there changes nothing more: one hand-over, one menu open.
    keepRunning(1500);
    const QString log = vistrel.errorOutput();
    EXPECT_EQ(log.count(QStringLiteral("opened the menu of")), 2) << qPrintable(log);
    EXPECT_EQ(log.count(QStringLiteral("closed the menu of")), 1) << qPrintable(log);
}

TEST(Executable, RejectsBadOptionsWithExitCodeTwo)
{
    QProcess vistrel;
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE), {QStringLiteral("--status-bar=sideways")});
    ASSERT_TRUE(vistrel.waitForFinished(10000));
    EXPECT_EQ(vistrel.exitCode(), 2);
    EXPECT_TRUE(vistrel.readAllStandardError().contains("unknown status bar 'sideways'"));
}

} // namespace
