#include "app/ApplicationDelegate.h"
#include "instruments/QRNCPULoadInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNCPUMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/StatusMenu.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "support/PaddedNumberFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// A /proc/stat whose processor i has spent `busy[i]` of every 1000 ticks in
// user time, the rest idle; the aggregate line is the sum.
QByteArray statWithLoads(const std::vector<int>& busy, int round)
{
    QByteArray text;
    long long userSum = 0, idleSum = 0;
    QByteArray lines;
    for (size_t i = 0; i < busy.size(); ++i) {
        const long long user = 1000LL * round * busy[i] / 1000;
        const long long idle = 1000LL * round - user;
        userSum += user;
        idleSum += idle;
        lines += QByteArray("cpu") + QByteArray::number(qulonglong(i)) + ' ' + QByteArray::number(user) + " 0 0 "
            + QByteArray::number(idle) + " 0 0 0 0 0 0\n";
    }
    text += "cpu  " + QByteArray::number(userSum) + " 0 0 " + QByteArray::number(idleSum) + " 0 0 0 0 0 0\n";
    text += lines;
    text += "btime 1700000000\nprocesses 100\n";
    return text;
}

class CPUMonitorItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    }
    void TearDown() override
    {
        StatusBar::setSystemStatusBar(nullptr);
        QLocale::setDefault(QLocale::system());
    }

    // An instrument over a machine with the given per-processor loads.
    std::shared_ptr<QRNCPULoadInstrument> machine(const std::vector<int>& busy)
    {
        root.writeStat(statWithLoads(busy, 1));
        auto instrument = std::make_shared<QRNCPULoadInstrument>(root.root());
        root.writeStat(statWithLoads(busy, 2));
        instrument->collectNewSample();
        return instrument;
    }

    std::unique_ptr<QRNCPUMonitorItem> item(std::shared_ptr<QRNCPULoadInstrument> instrument, const QStringList& codes)
    {
        auto item = std::make_unique<QRNCPUMonitorItem>(std::move(instrument));
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        return item;
    }

    FixtureSysroot root{QStringLiteral("laptop-2cpu-t0")};
    ApplicationDelegate controller;
};

TEST_F(CPUMonitorItemTest, TotalLoadReachesEveryNumericAndGraphCell)
{
    auto processor = item(machine({500, 250}), QRNCPUMonitorItem::defaultCellConfiguration());
    ASSERT_TRUE(processor);
    processor->updateInterface();
    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[0]).stringValue(), QStringLiteral("CPU"));
    auto& graph = static_cast<QRNGraphMenuBarCell&>(*cells[1]);
    EXPECT_EQ(graph.capacity(), 30u);
    EXPECT_NEAR(graph.bufferedGraph().historyValues()[graph.bufferedGraph().currentIndex() == 0 ? 29 : graph.bufferedGraph().currentIndex() - 1], 0.375, 1e-6);
    EXPECT_NEAR(static_cast<QRNNumericMenuBarCell&>(*cells[2]).doubleValue(), 0.375, 1e-9);
    // The status item shows the image at its true width.
    EXPECT_NEAR(processor->statusItem()->image().width() / processor->statusItem()->image().devicePixelRatio(),
        processor->menuBarImage()->size().width(), 1.0);
}

TEST_F(CPUMonitorItemTest, PerProcessorModeMakesOneGroupPerProcessor)
{
    const std::vector<int> busy = {100, 200, 300, 400, 500, 600, 700, 800};
    LogCapture log;
    auto processor = item(machine(busy),
        {QStringLiteral("QRNTextMenuBarCell:N"), QStringLiteral("QRNNoSuchCell:X"), QStringLiteral("QRNGraphMenuBarCell:1N")});
    ASSERT_TRUE(processor);
    EXPECT_EQ(processor->cpuCount(), 8u);
    processor->handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-ShowIndividualCPUs"), true);
    processor->updateInterface();

    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 16u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[2 * i]).stringValue(), QStringLiteral("P %1").arg(i + 1));
        const auto& graph = static_cast<QRNGraphMenuBarCell&>(*cells[2 * i + 1]).bufferedGraph();
        const quint32 newest = (graph.currentIndex() + graph.capacity() - 1) % graph.capacity();
        EXPECT_NEAR(graph.historyValues()[newest], busy[i] / 1000.0, 1e-6) << "processor " << i;
    }

    // Back to the total: the same codes, one group.
    processor->setShowsIndividualLoadsInBar(false);
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 2u);
}

TEST_F(CPUMonitorItemTest, MenuShowsTheLoadSplitWithPaddedPercentages)
{
    // user 0.25, system 0.125, nice 0, idle 0.625 on each of two processors
    root.writeStat("cpu  500 0 250 1250 0 0 0 0 0 0\ncpu0 250 0 125 625 0 0 0 0 0 0\ncpu1 250 0 125 625 0 0 0 0 0 0\nbtime 1700000000\n");
    auto instrument = std::make_shared<QRNCPULoadInstrument>(root.root());
    root.writeStat("cpu  1000 0 500 2500 0 0 0 0 0 0\ncpu0 500 0 250 1250 0 0 0 0 0 0\ncpu1 500 0 250 1250 0 0 0 0 0 0\nbtime 1700000000\n");
    instrument->collectNewSample();
    auto processor = item(instrument, QRNCPUMonitorItem::defaultCellConfiguration());
    const QString menu = openedMenu(*processor);
    EXPECT_TRUE(menu.startsWith(QStringLiteral(
        "Process Load\t\nUser:\t 25%\nSystem:\t12.5%\nNice:\t  0%\nIdle:\t62.5%\n-----\nProcesses:\t")))
        << qPrintable(menu);
    EXPECT_TRUE(menu.endsWith(QStringLiteral("-----\nLaunch Activity Monitor\nPreferences...\n"))) << qPrintable(menu);
}

TEST_F(CPUMonitorItemTest, DetailGraphsFollowTheListAndStopAtTheProcessorCount)
{
    auto processor = item(machine({100, 200, 300, 400}), QRNCPUMonitorItem::defaultCellConfiguration());
    processor->handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-ShowCPUGraphs"), QVariantList{true, true, true, true});
    processor->handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-ShowCPUGraphs"), QVariantList{false, true});
    EXPECT_FALSE(processor->isDetailGraphEnabled(0));
    EXPECT_TRUE(processor->isDetailGraphEnabled(1));
    EXPECT_FALSE(processor->isDetailGraphEnabled(2));
    EXPECT_FALSE(processor->isDetailGraphEnabled(3));
    EXPECT_FALSE(processor->isDetailGraphEnabled(4));

    const QString menu = openedMenu(*processor);
    EXPECT_TRUE(menu.contains(QStringLiteral("-----\nProcessor 2\t\ngraph of 30 values\n-----\nProcesses:"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("Processor 1\t")));
}

TEST_F(CPUMonitorItemTest, CellConfigurationChangesRebuildTheCells)
{
    EXPECT_FALSE(item(machine({100, 200}), {}));
    auto processor = item(machine({100, 200}), QRNCPUMonitorItem::defaultCellConfiguration());
    processor->handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{});
    const auto& cells = processor->menuBarImage()->menuBarCells();
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(static_cast<QRNTextMenuBarCell&>(*cells[0]).stringValue(), QString(QChar(0x2042)));

    processor->handleChangeOfUserDefault(QStringLiteral("ProcessorTopic-MenuBarConfiguration"),
        QVariantList{QStringLiteral("QRNNumericMenuBarCell:P"), QStringLiteral("bogus"), QStringLiteral("QRNNumericMenuBarCell:B")});
    EXPECT_EQ(processor->menuBarImage()->menuBarCells().size(), 2u);
}

TEST(PaddedNumberFormat, PadsOnTheLeftToTheColumnWidth)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(PaddedNumberFormat::percentage(0.25), QStringLiteral(" 25%"));
    EXPECT_EQ(PaddedNumberFormat::percentage(0.125), QStringLiteral("12.5%"));
    EXPECT_EQ(PaddedNumberFormat::percentage(0.0), QStringLiteral("  0%"));
    EXPECT_EQ(PaddedNumberFormat::percentage(1.0), QStringLiteral("100%"));
    EXPECT_EQ(PaddedNumberFormat::percentage(0.12345), QStringLiteral("12.3%"));
    EXPECT_EQ(PaddedNumberFormat::count(512), QStringLiteral("  512"));
    EXPECT_EQ(PaddedNumberFormat::count(1234), QStringLiteral("1,234"));
    QLocale::setDefault(QLocale::system());
}

} // namespace
