#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QPainter>
#include <QRasterWindow>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>

namespace {

// How much of the column, from the bottom of the bar up, differs from the bar's colour.
int filledHeight(const QImage& screen, int x, QRgb background)
{
    int filled = 0;
    for (int y = BarHeight - 2; y >= 1; --y)
        filled += qAbs(qGray(screen.pixel(x, y)) - qGray(background)) > 30;
    return filled;
}

// Busy loops on every processor while it lives.
class Load {
public:
    Load()
    {
        for (int i = 0; i < QThread::idealThreadCount(); ++i) {
            m_loops.push_back(std::make_unique<QProcess>());
            m_loops.back()->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        }
    }
    ~Load()
    {
        for (auto& loop : m_loops) {
            loop->kill();
            loop->waitForFinished();
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_loops;
};

// A black window over the whole bar, outside the window manager's hands.
class Cover : public QRasterWindow {
public:
    Cover()
    {
        setFlags(Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(0, 0, ScreenWidth, BarHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::black); }
};

// The newest column of a processor graph at the right end: just inside the frame's right edge, the rightmost ink.
int newestGraphColumn(const QImage& screen, QRgb background)
{
    int newest = ScreenWidth - ItemSpacing;
    while (newest > 0 && qAbs(qGray(screen.pixel(newest, 2)) - qGray(background)) <= 60)
        --newest;
    return newest - 2;
}

// Vistrel with a processor graph at the right end of its own bar.
class ProcessorGraphOnBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QImage screen = waitForBar();
        ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
        background = screen.pixel(10, 10);
        newest = newestGraphColumn(screen, background);
        ASSERT_GT(newest, ScreenWidth - 40);
    }

    VistrelProcess vistrel {{QStringLiteral("--status-bar=bar")}, processorGraph()};
    QRgb background = 0;
    // The graph's newest column.
    int newest = 0;
};

TEST_F(ProcessorGraphOnBar, RisesUnderLoadAndTheMenuShowsTheSplit)
{
    QThread::msleep(2500);
    const int before = filledHeight(grabScreen(), newest, background);
    QImage screen;
    {
        const Load load;
        QThread::msleep(3500);
        screen = grabScreen();
    }
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-processor-under-load.png")));
    const int during = filledHeight(screen, newest, background);
    // Every processor was busy: the newest column is (nearly) full, and it
    // rose unless the machine was already that busy before.
    EXPECT_GE(during, 16) << "before " << before;
    EXPECT_TRUE(during > before || before >= 16) << "before " << before << " during " << during;

    ASSERT_TRUE(click(QPoint(newest - 5, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")));
    // The log shows the rows as first laid out, before they fill; the Alt
    // switch prints the filled menu.
    xdotool(QStringLiteral("keydown alt"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keyup alt"));
    const QString menu = vistrel.outputSince(QStringLiteral("the open menu now reads:"));
    EXPECT_TRUE(menu.contains(QStringLiteral("Process Load"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("Preferences..."))) << qPrintable(menu);
    const std::vector<double> loads = loadPercentages(menu);
    ASSERT_EQ(loads.size(), 4u) << qPrintable(menu);
    EXPECT_NEAR(loads[0] + loads[1] + loads[2] + loads[3], 100.0, 0.5) << qPrintable(menu);
}

// The graph is put straight onto the bar window on every tick, past the
// window's backing store; a window that covered the bar must uncover the
// latest graph, not the one the backing store was last painted with.
TEST_F(ProcessorGraphOnBar, AWindowThatCoveredTheBarLeavesTheLatestGraphBehind)
{
    const Load load;
    ASSERT_TRUE(waitUntil([&] { return filledHeight(grabScreen(), newest, background) >= 16; }))
        << qPrintable(vistrel.errorOutput());

    Cover cover;
    cover.show();
    ASSERT_TRUE(waitUntil([&] { return isBlack(grabScreen().pixel(newest, BarHeight / 2)); }));
    cover.hide();
    // Long enough for the expose to be answered, well short of the next tick.
    keepRunning(100);
    const QImage screen = grabScreen();
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-uncovered.png")));
    EXPECT_FALSE(isBlack(screen.pixel(10, 10)));
    EXPECT_GE(filledHeight(screen, newest, background), 16);
}

TEST(ProcessorItem, FirstStartShowsTheProcessorAndMainMenuItems)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")});
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    // The main-menu item sits at the right end, the processor item left of it.
    const QRect mainMenu(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    EXPECT_GT(inkIn(screen, mainMenu, background), 15);
    EXPECT_GT(inkIn(screen, QRect(mainMenu.left() - ItemSpacing - 60, 0, 60, BarHeight), background), 15);

    ASSERT_TRUE(click(mainMenu.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMainMenuMonitorItem'")));
    EXPECT_TRUE(vistrel.errorOutput().contains(
        QStringLiteral("About Vistrel\nCheck for Updates...\n-----\nPreferences...\nVistrel Help\n-----\nQuit Vistrel\n")))
        << qPrintable(vistrel.errorOutput());
}

TEST(ProcessorItem, CtrlDraggingItOutOfTheBarRemovesItForGood)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, processorGraph(true));
    QImage screen = waitForBar();
    const QRgb background = screen.pixel(10, 10);
    const QPoint grab(ScreenWidth - ItemSpacing - 20, BarHeight / 2);
    ASSERT_GT(inkIn(screen, QRect(grab.x() - 20, 0, 40, BarHeight), background), 30) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(xdotool(QStringLiteral("mousemove %1 %2 keydown ctrl mousedown 1 mousemove %3 300 mouseup 1 keyup ctrl")
                            .arg(grab.x()).arg(grab.y()).arg(grab.x() - 100)));

    // The main-menu item moves to the right end; the processor item is gone.
    const int mainMenuLeft = ScreenWidth - ItemSpacing - BarHeight;
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return inkIn(screen, QRect(mainMenuLeft, 0, BarHeight, BarHeight), background) > 15
            && inkIn(screen, QRect(0, 0, mainMenuLeft - 1, BarHeight), background) == 0;
    })) << qPrintable(vistrel.errorOutput());
    vistrel.process().terminate();
    vistrel.process().waitForFinished(5000);
    // The choice is kept for the next start.
    EXPECT_TRUE(vistrel.settingsText().contains(QStringLiteral("<key>ProcessorTopic-IsActive</key>\n\t<false/>")))
        << qPrintable(vistrel.settingsText());
}

} // namespace
