#include "app/ApplicationDelegate.h"
#include "instruments/QRNCPULoadInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNCPUMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedStatusBar.h"
#include "support/PaddedNumberFormat.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

namespace {

// A /proc/stat at `round` thousand ticks per processor, of which processor i spent busy[i] per mille in user time.
QByteArray statWithLoads(const std::vector<int>& busy, int round)
{
    long long userSum = 0, idleSum = 0;
    QByteArray lines;
    for (size_t i = 0; i < busy.size(); ++i) {
        const long long user = round * busy[i], idle = 1000LL * round - user;
        userSum += user;
        idleSum += idle;
        lines += "cpu" + QByteArray::number(qulonglong(i)) + ' ' + QByteArray::number(user) + " 0 0 " + QByteArray::number(idle) + " 0 0 0 0 0 0\n";
    }
    return "cpu  " + QByteArray::number(userSum) + " 0 0 " + QByteArray::number(idleSum) + " 0 0 0 0 0 0\n" + lines
        + "btime 1700000000\nprocesses 100\n";
}

double newest(const QRNBufferedGraph& graph)
{
    return graph.historyValues()[(graph.currentIndex() + graph.capacity() - 1) % graph.capacity()];
}

class CPUMonitorItemTest : public ::testing::Test {
protected:
    ScopedStatusBar bar;

    std::unique_ptr<QRNCPUMonitorItem> item(const QByteArray& before, const QByteArray& after,
        const QStringList& codes = QRNCPUMonitorItem::defaultCellConfiguration())
    {
        root.writeStat(before);
        auto instrument = std::make_shared<QRNCPULoadInstrument>(root.root());
        root.writeStat(after);
        instrument->collectNewSample();
        auto item = std::make_unique<QRNCPUMonitorItem>(std::move(instrument));
        return item->initWithCellConfiguration(codes) ? std::move(item) : nullptr;
    }
    std::unique_ptr<QRNCPUMonitorItem> machine(const std::vector<int>& busy, const QStringList& codes = QRNCPUMonitorItem::defaultCellConfiguration())
    {
        return item(statWithLoads(busy, 1), statWithLoads(busy, 2), codes);
    }

    ScopedLocale locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    FixtureSysroot root{"laptop-2cpu-t0"};
    ApplicationDelegate controller;
};

TEST_F(CPUMonitorItemTest, TotalLoadReachesEveryNumericAndGraphCell)
{
    auto processor = machine({500, 250});
    ASSERT_TRUE(processor);
    processor->updateInterface();
    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[0]).stringValue(), "CPU");
    EXPECT_EQ(static_cast<QRNGraphMenuBarCell&>(*cells[1]).capacity(), 30u);
    EXPECT_NEAR(newest(static_cast<QRNGraphMenuBarCell&>(*cells[1]).bufferedGraph()), 0.375, 1e-6);
    EXPECT_NEAR(static_cast<QRNNumericMenuBarCell&>(*cells[2]).doubleValue(), 0.375, 1e-9);
    // The status item shows the image at its true width.
    const QImage image = processor->statusItem()->image();
    EXPECT_NEAR(image.width() / image.devicePixelRatio(), processor->menuBarImage()->size().width(), 1.0);
}

TEST_F(CPUMonitorItemTest, PerProcessorModeMakesOneGroupPerProcessor)
{
    const std::vector<int> busy = {100, 200, 300, 400, 500, 600, 700, 800};
    LogCapture log;
    auto processor = machine(busy, {"QRNTextMenuBarCell:N", "QRNNoSuchCell:X", "QRNGraphMenuBarCell:1N"});
    ASSERT_TRUE(processor);
    EXPECT_EQ(processor->cpuCount(), 8u);
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowIndividualCPUs"), true);
    processor->updateInterface();
    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 16u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[2 * i]).stringValue(), QStringLiteral("P %1").arg(i + 1));
        EXPECT_NEAR(newest(static_cast<QRNGraphMenuBarCell&>(*cells[2 * i + 1]).bufferedGraph()), busy[i] / 1000.0, 1e-6) << i;
    }
    processor->setShowsIndividualLoadsInBar(false);
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 2u);
}

TEST_F(CPUMonitorItemTest, MenuShowsTheLoadSplitWithPaddedPercentages)
{
    // user 0.25, system 0.125, nice 0, idle 0.625 on each of two processors
    auto processor = item("cpu  500 0 250 1250 0 0 0 0 0 0\ncpu0 250 0 125 625 0 0 0 0 0 0\ncpu1 250 0 125 625 0 0 0 0 0 0\nbtime 1700000000\n",
        "cpu  1000 0 500 2500 0 0 0 0 0 0\ncpu0 500 0 250 1250 0 0 0 0 0 0\ncpu1 500 0 250 1250 0 0 0 0 0 0\nbtime 1700000000\n");
    const QString menu = openedMenu(*processor);
    EXPECT_TRUE(menu.startsWith("Process Load\t\nUser:\t 25%\nSystem:\t12.5%\nNice:\t  0%\nIdle:\t62.5%\n-----\nProcesses:\t"))
        << qPrintable(menu);
    EXPECT_TRUE(menu.endsWith("-----\nOpen System Monitor\nPreferences...\n")) << qPrintable(menu);

    const std::pair<double, const char*> percentages[] = {{1.0, "100%"}, {0.12345, "12.3%"}};
    for (const auto& [value, text] : percentages)
        EXPECT_EQ(PaddedNumberFormat::percentage(value), text);
    EXPECT_EQ(PaddedNumberFormat::count(512), "  512");
    EXPECT_EQ(PaddedNumberFormat::count(1234), "1,234");
}

TEST_F(CPUMonitorItemTest, DetailGraphsFollowTheListAndStopAtTheProcessorCount)
{
    auto processor = machine({100, 200, 300, 400});
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowCPUGraphs"), QVariantList{true, true, true, true});
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowCPUGraphs"), QVariantList{false, true});
    for (quint64 i = 0; i < 5; ++i)
        EXPECT_EQ(processor->isDetailGraphEnabled(i), i == 1) << i;
    const QString menu = openedMenu(*processor);
    EXPECT_TRUE(menu.contains("-----\nProcessor 2\t\ngraph of 30 values\n-----\nProcesses:")) << qPrintable(menu);
    EXPECT_FALSE(menu.contains("Processor 1\t"));
}

TEST_F(CPUMonitorItemTest, CellConfigurationChangesRebuildTheCells)
{
    EXPECT_FALSE(machine({100, 200}, {}));
    auto processor = machine({100, 200});
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-MenuBarConfiguration"), QVariantList{});
    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[0]).stringValue(), QString(QChar(0x2042)));

    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-MenuBarConfiguration"),
        QVariantList{"QRNNumericMenuBarCell:P", "bogus", "QRNNumericMenuBarCell:B"});
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 2u);
}

} // namespace

namespace {

QString labelOf(const QRNMenuBarCell& cell)
{
    return static_cast<const QRNTextMenuBarCell&>(cell).stringValue();
}

} // namespace

TEST_F(CPUMonitorItemTest, ThousandsOfCellsOrProcessorsStayWithinTheLimits)
{
    LogCapture log;
    auto many = machine({500, 250}, QStringList(1000, QStringLiteral("QRNNumericMenuBarCell:P")));
    ASSERT_TRUE(many);
    const QRNMenuBarItemImage& image = *many->menuBarImage();
    EXPECT_EQ(image.menuBarCells().size(), QRNMenuBarItemImage::MaximumCellCount);
    EXPECT_LE(image.size().width(), QRNMenuBarItemImage::MaximumWidth);
    const QImage picture = many->statusItem()->image();
    EXPECT_LE(picture.width() / picture.devicePixelRatio(), QRNMenuBarItemImage::MaximumWidth);
    EXPECT_FALSE(log.messages(LogLevel::Error).isEmpty());

    // A label and a graph for each of 1024 processors: whole pairs, as many as fit.
    std::vector<int> busy(1024);
    for (size_t i = 0; i < busy.size(); ++i)
        busy[i] = int(i % 1000);
    auto wide = machine(busy, {"QRNTextMenuBarCell:N", "QRNGraphMenuBarCell:1N"});
    ASSERT_TRUE(wide);
    wide->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowIndividualCPUs"), true);
    wide->updateInterface();
    const QRNMenuBarItemImage& perProcessor = *wide->menuBarImage();
    const auto& cells = perProcessor.menuBarCells();
    ASSERT_EQ(cells.size(), QRNMenuBarItemImage::MaximumCellCount);
    EXPECT_LE(perProcessor.size().width(), QRNMenuBarItemImage::MaximumWidth);
    const size_t drawn = perProcessor.drawnCellCount();
    EXPECT_GT(drawn, 10u);
    EXPECT_LT(drawn, cells.size());
    for (size_t p = 0; p < cells.size() / 2; ++p) {
        EXPECT_EQ(labelOf(*cells[2 * p]), QStringLiteral("P%1").arg(p + 1, 2, 10, QLatin1Char(' ')));
        EXPECT_NEAR(newest(static_cast<QRNGraphMenuBarCell&>(*cells[2 * p + 1]).bufferedGraph()), busy[p] / 1000.0, 1e-6) << p;
    }
}

TEST_F(CPUMonitorItemTest, CodesThatAllFailShowTheFallbackCell)
{
    LogCapture log;
    auto processor = machine({100, 200}, {"bogus", "QRNNoSuchCell:X"});
    ASSERT_TRUE(processor);
    for (const bool individual : {false, true}) {
        processor->setShowsIndividualLoadsInBar(individual);
        const auto& cells = processor->menuBarImage()->menuBarCells();
        ASSERT_EQ(cells.size(), 1u) << individual;
        EXPECT_EQ(labelOf(*cells[0]), QString(QChar(0x2042)));
        EXPECT_GT(processor->statusItem()->image().width(), 10) << individual;
    }
}

TEST_F(CPUMonitorItemTest, ProcessorsGoingOfflineLeaveNoStaleRowsOrCells)
{
    auto processor = machine({100, 200, 300, 400}, {"QRNGraphMenuBarCell:1N"});
    ASSERT_TRUE(processor);
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowCPUGraphs"), QVariantList{true, true, true, true});
    processor->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowIndividualCPUs"), true);
    ASSERT_EQ(processor->menuBarImage()->menuBarCells().size(), 4u);

    root.writeStat(statWithLoads({100, 200}, 3));
    processor->monitorInstruments().front()->collectNewSample();
    processor->updateInterface();
    EXPECT_EQ(processor->cpuCount(), 2u);
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 2u);
    const QString menu = openedMenu(*processor);
    EXPECT_TRUE(menu.contains("Processor 2\t")) << qPrintable(menu);
    EXPECT_FALSE(menu.contains("Processor 3\t")) << qPrintable(menu);

    // Back online, the new ones start without a graph.
    root.writeStat(statWithLoads({100, 200, 300}, 4));
    processor->monitorInstruments().front()->collectNewSample();
    processor->updateInterface();
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 3u);
    EXPECT_FALSE(processor->isDetailGraphEnabled(2));
}

TEST_F(CPUMonitorItemTest, ABootTimeInTheFutureOrMissingShowsNoDuration)
{
    const QByteArray lines = "cpu  10 0 0 10 0 0 0 0 0 0\ncpu0 10 0 0 10 0 0 0 0 0 0\n";
    for (const QByteArray& boot : {QByteArray("btime 4102444800\n"), QByteArray()}) {
        auto processor = item(lines + boot, lines + boot);
        const QString menu = openedMenu(*processor);
        EXPECT_TRUE(menu.contains("Active since:\t\n\tunknown\n")) << qPrintable(menu);
    }
}
