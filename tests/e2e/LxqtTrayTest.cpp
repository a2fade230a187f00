#include "LxqtPanel.h"
#include "VistrelProcess.h"
#include "XServer.h"
#include "platform/statusbar/StatusNotifierTypes.h"

#include <QDBusArgument>
#include <QDir>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The items the panel draws: runs of columns in its row where something
// stands out from the panel, separated by at least two plain columns.
std::vector<QRect> drawnItems(const QImage& screen, QRgb panel)
{
    std::vector<QRect> runs;
    int gap = 2;
    for (int x = 0; x < screen.width(); ++x) {
        const bool ink = inkIn(screen, QRect(x, 2, 1, LxqtPanel::PanelHeight - 4), panel) > 0;
        if (ink && gap >= 2)
            runs.emplace_back(x, 0, 1, LxqtPanel::PanelHeight);
        else if (ink)
            runs.back().setRight(x);
        gap = ink ? 0 : gap + 1;
    }
    return runs;
}

const QString OpenedMenu = QStringLiteral("StatusBar: opened the menu of '");

// The item whose menu opened last, and how many menus opened so far.
QString lastOpened(VistrelProcess& vistrel)
{
    const QString since = vistrel.outputSince(OpenedMenu).mid(OpenedMenu.size());
    return since.left(since.indexOf(u'\''));
}

int openings(VistrelProcess& vistrel)
{
    return int(vistrel.errorOutput().count(OpenedMenu));
}

int openMenus()
{
    return visibleWindowCount(QStringLiteral("^vistrel$"));
}

TEST(LxqtTray, TheGraphShowsAsALegibleSquareNotAStrip)
{
    LxqtPanel panel;
    ASSERT_TRUE(panel.waitUntilReady()) << qPrintable(panel.errorOutput());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, processorGraph());
    ASSERT_TRUE(waitUntil([&] { return panel.registeredItems().size() == 1; }, 15000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(panel.errorOutput());
    registerStatusNotifierTypes();
    const QString item = panel.registeredItems().first();
    const qsizetype slash = item.indexOf(u'/');
    const auto pixmaps = qdbus_cast<StatusNotifierPixmaps>(panel.property(item.left(slash), item.mid(slash),
        QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("IconPixmap")));
    QImage published;
    for (const auto& pixmap : pixmaps) {
        if (pixmap.width == 22 && pixmap.height == 22)
            published = pixmap.toImage();
    }
    ASSERT_FALSE(published.isNull()) << pixmaps.size() << " pictures";

    // The panel's 22-pixel button shows the 22-pixel square as drawn: the
    // graph's frame spans the button (squeezed, the 66-point graph was a
    // strip 22 x 7 pixels). Its edge runs on screen as in the picture.
    QImage screen;
    std::vector<QRect> drawn;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        drawn = drawnItems(screen, screen.pixel(2, 2));
        return drawn.size() == 1 && drawn.front().width() >= 16;
    })) << drawn.size() << " items, the first " << (drawn.empty() ? 0 : drawn.front().width()) << " wide";
    const QRect button = drawn.front();
    const QRgb background = screen.pixel(2, 2);
    int top = 0;
    while (top < LxqtPanel::PanelHeight && inkIn(screen, QRect(button.left(), top, button.width(), 1), background) == 0)
        ++top;
    int bottom = LxqtPanel::PanelHeight - 1;
    while (bottom > top && inkIn(screen, QRect(button.left(), bottom, button.width(), 1), background) == 0)
        --bottom;
    EXPECT_GE(bottom - top + 1, 16);
    int inkedColumns = 0;
    for (int x = button.left(); x <= button.right(); ++x)
        inkedColumns += inkIn(screen, QRect(x, top, 1, 1), background) > 0;
    EXPECT_GE(inkedColumns, 16) << "the frame's top edge";
    screen.copy(ScreenWidth - 200, 0, 200, LxqtPanel::PanelHeight).save(QDir::current().filePath(QStringLiteral("lxqt-panel-tray.png")));
}

TEST(LxqtTray, ItemsMoveFromTheOwnBarIntoAPanelStartedLaterAndBackWhenItQuits)
{
    LxqtPanel panel(false);
    VistrelProcess vistrel({}, processorGraph());
    ASSERT_FALSE(isBlack(waitForBar().pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(windowShown(QStringLiteral("^Vistrel$")));
    keepRunning(5000);

    panel.start();
    ASSERT_TRUE(panel.waitUntilReady()) << qPrintable(panel.errorOutput());
    EXPECT_TRUE(waitUntil([&] { return panel.registeredItems().size() == 1; }, 15000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(panel.errorOutput());
    EXPECT_TRUE(waitUntil([] { return !windowShown(QStringLiteral("^Vistrel$")); })) << "the own bar is still there";
    std::vector<QRect> drawn;
    EXPECT_TRUE(waitUntil([&] {
        const QImage screen = grabScreen();
        drawn = drawnItems(screen, screen.pixel(2, 2));
        return drawn.size() == 1;
    })) << drawn.size() << " items in the panel";

    // The panel quits: after a grace for restarts, the bar is back with the item.
    panel.stop();
    ASSERT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Vistrel$")); }, 15000)) << qPrintable(vistrel.errorOutput());
    const QImage screen = waitForBar();
    EXPECT_GT(inkIn(screen, QRect(ScreenWidth - 100, 0, 100, BarHeight), screen.pixel(10, 10)), 15);
}

TEST(LxqtTray, EachClickOpensOneMenuAndNoneFlipsToAnother)
{
    LxqtPanel panel;
    ASSERT_TRUE(panel.waitUntilReady()) << qPrintable(panel.errorOutput());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, threeTrayItems());
    ASSERT_TRUE(waitUntil([&] { return panel.registeredItems().size() == 3; }, 15000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(panel.errorOutput());
    std::vector<QRect> items;
    ASSERT_TRUE(waitUntil([&] {
        const QImage screen = grabScreen();
        items = drawnItems(screen, screen.pixel(2, 2));
        return items.size() == 3;
    })) << items.size() << " items drawn";

    // Open one menu, close it, open the next item's: two openings, and two
    // seconds later still two (a flip would reopen them ten times a second).
    ASSERT_TRUE(click(items[0].center()));
    ASSERT_TRUE(waitUntil([] { return openMenus() == 1; })) << qPrintable(vistrel.errorOutput());
    const QString first = lastOpened(vistrel);
    ASSERT_TRUE(xdotool(QStringLiteral("key Escape")));
    ASSERT_TRUE(waitUntil([] { return openMenus() == 0; }));
    ASSERT_TRUE(click(items[1].center()));
    ASSERT_TRUE(waitUntil([] { return openMenus() == 1; })) << qPrintable(vistrel.errorOutput());
    EXPECT_NE(lastOpened(vistrel), first);
    keepRunning(3000);
    EXPECT_EQ(openings(vistrel), 2) << qPrintable(vistrel.errorOutput());
    EXPECT_EQ(openMenus(), 1);

    // A click on a third item while a menu is open. The open menu holds the
    // pointer, so on X11 that click may only close it; the next one opens the
    // third item's menu. Either way one menu at most, then exactly one.
    ASSERT_TRUE(click(items[2].center()));
    keepRunning(1000);
    EXPECT_LE(openMenus(), 1);
    if (openMenus() == 0) {
        ASSERT_TRUE(click(items[2].center()));
    }
    ASSERT_TRUE(waitUntil([] { return openMenus() == 1; }));
    const int settled = openings(vistrel);
    EXPECT_EQ(settled, 3);
    keepRunning(3000);
    EXPECT_EQ(openings(vistrel), settled);
    EXPECT_EQ(openMenus(), 1);
}

} // namespace
