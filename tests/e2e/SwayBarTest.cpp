#include "SwaySession.h"
#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace {

const QRgb Desktop = qRgb(0x20, 0x30, 0x40);
const QString VistrelWindows = QStringLiteral("^com\\.zentrovo\\.vistrel$");

bool isDesktop(QRgb pixel)
{
    return qAbs(qRed(pixel) - qRed(Desktop)) < 8 && qAbs(qGreen(pixel) - qGreen(Desktop)) < 8
        && qAbs(qBlue(pixel) - qBlue(Desktop)) < 8;
}

// The own bar covers the top rows edge to edge, in neither the desktop's
// colour nor the test window's red, and its items stand out at its right end.
bool barCovers(const QImage& screen)
{
    if (screen.isNull())
        return false;
    for (int x : {2, screen.width() / 2, screen.width() - 2}) {
        for (int y = 0; y < BarHeight; ++y) {
            if (isDesktop(screen.pixel(x, y)) || screen.pixel(x, y) == qRgb(255, 0, 0))
                return false;
        }
    }
    return inkIn(screen, QRect(screen.width() - 150, 2, 150, BarHeight - 4), screen.pixel(2, 2)) > 15;
}

// ... with the desktop right under it.
bool barShown(const QImage& screen)
{
    return barCovers(screen) && isDesktop(screen.pixel(screen.width() / 2, BarHeight + 4));
}

// The columns of the rightmost item: the last run of inked columns in the bar.
QRect rightmostItem(const QImage& screen)
{
    const QRgb bar = screen.pixel(2, 2);
    int right = screen.width() - 1;
    while (right > 0 && inkIn(screen, QRect(right, 2, 1, BarHeight - 4), bar) == 0)
        --right;
    int left = right;
    while (left > 0 && inkIn(screen, QRect(left - 1, 2, 1, BarHeight - 4), bar) > 0)
        --left;
    return QRect(left, 0, right - left + 1, BarHeight);
}

QRect rectOf(const QJsonObject& node)
{
    const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
    return QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
        rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt());
}

class SwayTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sway.failure().isEmpty()) << qPrintable(sway.failure()); }

    SwaySession sway{false};
};

TEST_F(SwayTest, TheOwnBarIsAPanelAlongTheTopThatALaterWindowKeepsClearOf)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, processorGraph(true), sway.clientEnvironment());
    QImage screen;
    ASSERT_TRUE(waitUntil([&] { return barShown(screen = sway.screenshot()); }, 20000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(sway.output());
    // A panel, not a window: sway gives it neither a title bar nor a tile
    // (nor to the notice that the program runs in the menu bar only).
    EXPECT_TRUE(sway.windows(VistrelWindows).empty());

    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(sway.clientEnvironment());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(WAYLAND_WINDOW_EXECUTABLE));
    std::vector<QJsonObject> tiled;
    ASSERT_TRUE(waitUntil([&] { return (tiled = sway.windows(QStringLiteral("wayland_window"))).size() == 1; }, 15000))
        << qPrintable(QString::fromUtf8(window.readAllStandardError()));
    // The window's frame, title bar included, starts under the bar ...
    const int titleHeight = tiled.front().value(QStringLiteral("deco_rect")).toObject().value(QStringLiteral("height")).toInt();
    EXPECT_GE(rectOf(tiled.front()).top() - titleHeight, BarHeight);
    // ... and on screen the bar is still whole, the red window filling the rest.
    ASSERT_TRUE(waitUntil([&] {
        screen = sway.screenshot();
        return !screen.isNull() && screen.pixel(screen.width() / 2, screen.height() / 2) == qRgb(255, 0, 0);
    }));
    EXPECT_TRUE(barCovers(screen));
    int firstRed = 0;
    while (firstRed < screen.height() && screen.pixel(screen.width() / 2, firstRed) != qRgb(255, 0, 0))
        ++firstRed;
    EXPECT_GE(firstRed, BarHeight + 10) << "a title bar between the bar and the window";
    screen.save(QDir::current().filePath(QStringLiteral("sway-own-bar.png")));
    window.terminate();
    window.waitForFinished(3000);
}

TEST_F(SwayTest, AMenuOpensUnderItsItemAndAClickElsewhereClosesIt)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, processorGraph(), sway.clientEnvironment());
    QImage screen;
    ASSERT_TRUE(waitUntil([&] { return barShown(screen = sway.screenshot()); }, 20000)) << qPrintable(vistrel.errorOutput());
    const QRect item = rightmostItem(screen);
    ASSERT_GE(item.width(), 20);

    const QString opened = QStringLiteral("opened the menu of 'QRNCPUMonitorItem'");
    const QString closed = QStringLiteral("closed the menu of 'QRNCPUMonitorItem'");
    const QPoint underItem(item.center().x(), BarHeight + 30);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(sway.click(item.center().x(), item.center().y()));
        ASSERT_TRUE(waitUntil([&] { return int(vistrel.errorOutput().count(opened)) == round; })) << qPrintable(vistrel.errorOutput());
        // The menu hangs from the bar: drawn right under the item, no window of its own.
        EXPECT_TRUE(waitUntil([&] { return !isDesktop(sway.screenshot().pixel(underItem)); })) << "round " << round;
        EXPECT_TRUE(sway.windows(VistrelWindows).empty());
        if (round == 1)
            sway.screenshot().copy(ScreenWidth - 300, 0, 300, 260).save(QDir::current().filePath(QStringLiteral("sway-own-bar-menu.png")));

        // A click on the desktop ends it, as a menu bar's menu ends.
        ASSERT_TRUE(sway.click(ScreenWidth / 3, 500));
        EXPECT_TRUE(waitUntil([&] { return int(vistrel.errorOutput().count(closed)) == round; })) << qPrintable(vistrel.errorOutput());
        EXPECT_TRUE(waitUntil([&] { return isDesktop(sway.screenshot().pixel(underItem)); })) << "round " << round;
    }
}

TEST_F(SwayTest, WithAMenuOpenThePointerOnAnotherItemOpensThatItemsMenuInstead)
{
    QVariantMap settings = processorGraph();
    settings.insert(QStringLiteral("MemoryTopic-IsActive"), true);
    settings.insert(QStringLiteral("MemoryTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNNumericMenuBarCell:P"),
        QStringLiteral("QRNTextMenuBarCell:U")});
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings, sway.clientEnvironment());
    QImage screen;
    ASSERT_TRUE(waitUntil([&] { return barShown(screen = sway.screenshot()); }, 20000)) << qPrintable(vistrel.errorOutput());
    const QRect processor = rightmostItem(screen);
    ASSERT_TRUE(sway.click(processor.center().x(), processor.center().y()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")));

    // The memory item lies left of the processor's; the pointer only moves there.
    ASSERT_TRUE(sway.swaymsg({QStringLiteral("seat seat0 cursor set %1 %2").arg(processor.left() - 25).arg(BarHeight / 2)}));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMemoryMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    keepRunning(2000);
    const QString log = vistrel.errorOutput();
    EXPECT_EQ(log.count(QStringLiteral("StatusBar: opened the menu")), 2) << qPrintable(log);
    EXPECT_EQ(log.count(QStringLiteral("StatusBar: closed the menu of 'QRNCPUMonitorItem'")), 1);
    EXPECT_EQ(log.count(QStringLiteral("StatusBar: closed the menu of 'QRNMemoryMonitorItem'")), 0);
}

TEST_F(SwayTest, OnAFirstStartTheWelcomeAndConfigurationWindowsShowAndClose)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, {}, sway.clientEnvironment());
    std::vector<QJsonObject> windows;
    ASSERT_TRUE(waitUntil([&] { return (windows = sway.windows(VistrelWindows)).size() == 2; }, 20000))
        << windows.size() << " windows; " << qPrintable(vistrel.errorOutput());
    const auto welcome = std::find_if(windows.begin(), windows.end(), [](const QJsonObject& window) {
        return window.value(QStringLiteral("name")).toString().startsWith(QLatin1String("Welcome to Vistrel"));
    });
    ASSERT_NE(welcome, windows.end());
    // The welcome note floats over the configuration window; its OK button
    // sits in the bottom-right corner.
    EXPECT_EQ(welcome->value(QStringLiteral("type")).toString(), QStringLiteral("floating_con"));
    const QRect note = rectOf(*welcome);
    keepRunning(500);
    ASSERT_TRUE(sway.click(note.right() - 52, note.bottom() - 24));
    EXPECT_TRUE(waitUntil([&] { return (windows = sway.windows(VistrelWindows)).size() == 1; }))
        << "the OK button did not close the welcome note";
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows.front().value(QStringLiteral("name")).toString(), QStringLiteral("Vistrel Configuration"));

    // Closed the way sway closes any window; Vistrel keeps running in its bar.
    ASSERT_TRUE(sway.swaymsg({QStringLiteral("[app_id=\"com.zentrovo.vistrel\"] kill")}));
    EXPECT_TRUE(waitUntil([&] { return sway.windows(VistrelWindows).empty(); }));
    keepRunning(1000);
    EXPECT_EQ(vistrel.process().state(), QProcess::Running) << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(barShown(sway.screenshot()));
}

} // namespace
