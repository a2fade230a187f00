#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Keeps every processor busy while it lives.
class BusyLoops {
public:
    BusyLoops()
    {
        for (int i = 0; i < QThread::idealThreadCount(); ++i) {
            auto* loop = new QProcess;
            loop->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            m_loops.emplace_back(loop);
        }
    }
    ~BusyLoops()
    {
        for (auto& loop : m_loops) {
            loop->kill();
            loop->waitForFinished();
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_loops;
};

// How much of the column, from the bottom of the bar up, is drawn in a colour
// other than the bar's.
int filledHeight(const QImage& screen, int x, QRgb background)
{
    int filled = 0;
    for (int y = BarHeight - 2; y >= 1; --y)
        filled += qAbs(qGray(screen.pixel(x, y)) - qGray(background)) > 30;
    return filled;
}

// The percentages of the load rows in the menu text the program logged.
std::vector<double> loadPercentages(const QString& menu)
{
    std::vector<double> values;
    static const QRegularExpression row(QStringLiteral("^(User|System|Nice|Idle):\\t *([0-9.]+)%$"),
        QRegularExpression::MultilineOption);
    auto it = row.globalMatch(menu);
    while (it.hasNext())
        values.push_back(it.next().captured(2).toDouble());
    return values;
}

TEST(ProcessorItem, GraphRisesUnderLoadAndMenuShowsTheSplit)
{
    const QVariantMap settings = VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("ProcessorTopic-IsActive"), true},
        {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N")}},
    });
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    // The graph is the only cell; its newest column lies just inside the
    // frame's right edge, the rightmost dark column of the bar's top line.
    int frameRight = ScreenWidth - ItemSpacing;
    while (frameRight > ScreenWidth - 40 && qAbs(qGray(screen.pixel(frameRight, 2)) - qGray(background)) <= 60)
        --frameRight;
    const int newest = frameRight - 2;
    QThread::msleep(2500);
    const int before = filledHeight(grabScreen(), newest, background);

    {
        BusyLoops load;
        QThread::msleep(3500);
        screen = grabScreen();
    }
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-processor-under-load.png")));
    const int during = filledHeight(screen, newest, background);
    // Both processors were busy: the newest column is (nearly) full, and it
    // rose unless the machine was already that busy before.
    EXPECT_GE(during, 16) << "before " << before;
    EXPECT_TRUE(during > before || before >= 16) << "before " << before << " during " << during;

    ASSERT_TRUE(click(QPoint(newest - 5, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")));
    // The rows fill as the menu opens; the log shows them as first laid out, so
    // wait for the Alt switch below to print the filled menu.
    xdotool({QStringLiteral("keydown"), QStringLiteral("alt")});
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    xdotool({QStringLiteral("keyup"), QStringLiteral("alt")});
    const QString output = vistrel.errorOutput();
    const QString menu = output.mid(output.lastIndexOf(QStringLiteral("the open menu now reads:")));
    EXPECT_TRUE(menu.contains(QStringLiteral("Process Load"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("Preferences..."))) << qPrintable(menu);
    const std::vector<double> loads = loadPercentages(menu);
    ASSERT_EQ(loads.size(), 4u) << qPrintable(menu);
    EXPECT_NEAR(loads[0] + loads[1] + loads[2] + loads[3], 100.0, 0.5) << qPrintable(menu);
}

TEST(ProcessorItem, FirstStartShowsTheProcessorAndMainMenuItems)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")});
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    // The main-menu item sits at the right end, the processor item left of it.
    const QRect mainMenu(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    EXPECT_GT(inkIn(screen, mainMenu, background), 15);
    EXPECT_GT(inkIn(screen, QRect(mainMenu.left() - ItemSpacing - 60, 0, 60, BarHeight), background), 15);
    screen.save(QDir::current().filePath(QStringLiteral("own-bar-first-start.png")));

    ASSERT_TRUE(click(mainMenu.center()));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMainMenuMonitorItem'")));
    EXPECT_TRUE(vistrel.errorOutput().contains(
        QStringLiteral("About Vistrel\n-----\nPreferences...\nVistrel Help\n-----\nQuit Vistrel\n")))
        << qPrintable(vistrel.errorOutput());
}

TEST(ProcessorItem, SnapshotHasRealNumbers)
{
    QTemporaryDir folder;
    VistrelProcess vistrel({QStringLiteral("--snapshot"), folder.path(), QStringLiteral("--ticks"), QStringLiteral("2")});
    ASSERT_TRUE(vistrel.process().waitForFinished(30000));
    ASSERT_EQ(vistrel.process().exitCode(), 0) << qPrintable(vistrel.errorOutput());
    const QStringList menus = QDir(folder.path()).entryList({QStringLiteral("*-QRNCPUMonitorItem.menu.txt")});
    ASSERT_EQ(menus.size(), 1);
    QFile menu(folder.filePath(menus.first()));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(menu.readAll());
    const std::vector<double> loads = loadPercentages(text);
    ASSERT_EQ(loads.size(), 4u) << qPrintable(text);
    EXPECT_NEAR(loads[0] + loads[1] + loads[2] + loads[3], 100.0, 0.5);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Processes:\\t *[1-9][0-9,]*\\n")).match(text).hasMatch()) << qPrintable(text);
    const QImage image(folder.filePath(QString(menus.first()).replace(QStringLiteral(".menu.txt"), QStringLiteral(".png"))));
    EXPECT_GT(image.width(), 40);
}

} // namespace

namespace {

const QVariantMap ProcessorAndMainMenu = VistrelProcess::settled({
    {QStringLiteral("ProcessorTopic-IsActive"), true},
    {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N")}},
});

TEST(ProcessorItem, MovingAlongTheBarHandsTheOpenMenuToTheNeighbour)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, ProcessorAndMainMenu);
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    // Processor item rightmost (created first), the main-menu item left of it.
    const QRgb background = screen.pixel(10, 10);
    int x = ScreenWidth - ItemSpacing;
    while (x > 0 && qAbs(qGray(screen.pixel(x, 2)) - qGray(background)) <= 60)
        --x;
    const QPoint processor(x - 10, BarHeight / 2);
    ASSERT_TRUE(click(processor));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'")));

    // Find the main-menu item: the next ink to the left of the processor graph.
    while (x > 0 && qAbs(qGray(screen.pixel(x, 2)) - qGray(background)) > 60)
        --x;
    const QPoint mainMenu(x - ItemSpacing - BarHeight / 2, BarHeight / 2);
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(mainMenu.x()), QString::number(mainMenu.y())}));
    EXPECT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMainMenuMonitorItem'")))
        << qPrintable(vistrel.errorOutput());
}

TEST(ProcessorItem, CtrlDraggingItOutOfTheBarRemovesItForGood)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, ProcessorAndMainMenu);
    QImage screen = waitForBar();
    const QRgb background = screen.pixel(10, 10);
    const QRect processorArea(ScreenWidth - ItemSpacing - 40, 0, 40, BarHeight);
    ASSERT_GT(inkIn(screen, processorArea, background), 30) << qPrintable(vistrel.errorOutput());

    const QPoint grab = processorArea.center();
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(grab.x()), QString::number(grab.y()),
        QStringLiteral("keydown"), QStringLiteral("ctrl"), QStringLiteral("mousedown"), QStringLiteral("1"),
        QStringLiteral("mousemove"), QString::number(grab.x() - 100), QStringLiteral("300"),
        QStringLiteral("mouseup"), QStringLiteral("1"), QStringLiteral("keyup"), QStringLiteral("ctrl")}));

    // The main-menu item moves to the right end; the processor item is gone.
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return inkIn(screen, QRect(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight), background) > 15
            && inkIn(screen, QRect(0, 0, ScreenWidth - ItemSpacing - BarHeight - 1, BarHeight), background) == 0;
    })) << qPrintable(vistrel.errorOutput());
    vistrel.process().terminate();
    vistrel.process().waitForFinished(5000);

    // The choice is kept: the next start shows no processor item.
    const QString settings = vistrel.settingsText();
    EXPECT_TRUE(settings.contains(QStringLiteral("<key>ProcessorTopic-IsActive</key>\n\t<false/>"))) << qPrintable(settings);
}

} // namespace
