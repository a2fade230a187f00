#include "app/ApplicationDelegate.h"
#include "instruments/QRNMemoryInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNMemoryMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedStatusBar.h"
#include "support/CDP.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

namespace {

constexpr quint64 KiB = 1024;
constexpr quint64 MiB = 1024 * KiB;
constexpr quint64 GiB = 1024 * MiB;

// A machine whose memory lists hold the given KiB and nothing else.
QByteArray memInfo(quint64 active, quint64 inactive, quint64 unevictable, quint64 free)
{
    return QStringLiteral("MemTotal: %1 kB\nMemFree: %2 kB\nActive: %3 kB\nInactive: %4 kB\nUnevictable: %5 kB\n")
        .arg(active + inactive + unevictable + free)
        .arg(free)
        .arg(active)
        .arg(inactive)
        .arg(unevictable)
        .toLatin1();
}

class MemoryMonitorItemTest : public ::testing::Test {
protected:
    ScopedStatusBar bar;
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
    }
    void TearDown() override
    {
        UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
    }

    std::unique_ptr<QRNMemoryMonitorItem> item(const QString& sysroot, const QStringList& codes, quint64 pageSize = 4096)
    {
        auto item = std::make_unique<QRNMemoryMonitorItem>(std::make_shared<QRNMemoryInstrument>(sysroot, pageSize));
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        return item;
    }

    std::unique_ptr<QRNMemoryMonitorItem> desktop(const QStringList& codes = QRNMemoryMonitorItem::defaultCellConfiguration())
    {
        return item(FixtureSysroot::fixture("desktop-zswap"), codes);
    }

    template <typename Cell>
    static Cell& cell(QRNMemoryMonitorItem& item, size_t index)
    {
        return dynamic_cast<Cell&>(*item.menuBarImage()->menuBarCells().at(index));
    }

    static double newestGraphValue(const QRNBufferedGraph& graph)
    {
        return graph.historyValues()[(graph.currentIndex() + graph.capacity() - 1) % graph.capacity()];
    }

    ScopedLocale m_locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    ApplicationDelegate controller;
};

TEST_F(MemoryMonitorItemTest, CellsShowTheUsedFractionAndTheUsedAndFreeAmounts)
{
    EXPECT_FALSE(desktop({}));
    auto memory = desktop({"QRNTextMenuBarCell:V", "QRNNumericMenuBarCell:P", "QRNTextMenuBarCell:2", "QRNGraphMenuBarCell:1N"});
    ASSERT_TRUE(memory);
    // Linux kernels get the present-day terminology: used = apps + wired + compressed.
    ASSERT_EQ(memory->terminologyStyle(), QRNMemoryInstrument::YosemiteStyle);
    memory->updateInterface();

    const quint64 physical = 16303104 * KiB;
    const quint64 used = 4 * GiB + 448 * MiB + 256 * MiB;
    const double fraction = double(used) / double(physical);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*memory, 0).stringValue(), "MEM");
    EXPECT_NEAR(cell<QRNNumericMenuBarCell>(*memory, 1).doubleValue(), fraction, 1e-12);

    auto& lines = cell<QRNTextMenuBarCell>(*memory, 2);
    // 4.6875 GB used, 10.86 GB free.
    EXPECT_EQ(lines.stringValue(), "\tU:\t  4.7\tGB");
    EXPECT_EQ(lines.secondaryStringValue(), "\tF:\t 10.9\tGB");
    EXPECT_GT(lines.fixedWidth(), 0.0);
    EXPECT_EQ(lines.outputStyle().tabs().size(), 3);

    auto& graph = cell<QRNGraphMenuBarCell>(*memory, 3);
    EXPECT_EQ(graph.capacity(), 30u);
    EXPECT_NEAR(newestGraphValue(graph.bufferedGraph()), fraction, 1e-6);
}

TEST_F(MemoryMonitorItemTest, UnixTerminologyCountsInactiveAsUsedUnlessToldOtherwise)
{
    FixtureSysroot root;
    root.writeFile("proc/meminfo", memInfo(2 * GiB / KiB, 1 * GiB / KiB, 1 * GiB / KiB, 4 * GiB / KiB));
    root.writeFile("proc/vmstat", "pgfault 10\npgmajfault 1\npgpgout 4\n");
    auto memory = item(root.root(), {"QRNNumericMenuBarCell:T"});
    ASSERT_TRUE(memory);
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-MemoryTerminology"), 0);
    memory->updateInterface();
    EXPECT_EQ(memory->totalMemory(), 8 * GiB);
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*memory, 0).doubleValue(), 0.5);

    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-HandleInactiveAsFree"), true);
    EXPECT_TRUE(memory->showsInactiveAsFree());
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*memory, 0).doubleValue(), 0.375);
}

TEST_F(MemoryMonitorItemTest, MenuListsTheSplitOfTheChosenTerminology)
{
    auto memory = desktop();
    const QString paging = "-----\nPage-Ins:\t45,678\nPage-Outs:\t819,200\nUsed Swap:\t1 GB\n-----\n";
    EXPECT_EQ(openedMenu(*memory),
        ("Memory Usage\t\nApps:\t4 GB\nWired:\t448 MB\nCompressed:\t256 MB\nFile Cache:\t6.5 GB\n"
                       "Free:\t10.9 GB\n")
            + paging + "Preferences...\n");

    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-MemoryTerminology"), 1);
    // Mavericks style: free is what the kernel reports free.
    EXPECT_TRUE(openedMenu(*memory).startsWith(
        ("Memory Usage\t\nApps:\t4.5 GB\nFile Cache:\t6 GB\nWired:\t448 MB\nCompressed:\t256 MB\n"
                       "Free:\t2 GB\n")
        + paging));

    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-MemoryTerminology"), 0);
    EXPECT_TRUE(openedMenu(*memory).startsWith(
        ("Memory Usage\t\nReserved:\t448 MB\nActive:\t6 GB\nInactive:\t4 GB\nFree:\t2 GB\n"
                       "Physical:\t15.5 GB\n")
        + paging));

    // An unknown terminology lists no split at all.
    memory->setTerminologyStyle(7);
    EXPECT_TRUE(openedMenu(*memory).startsWith("Memory Usage\t\n" + paging));
}

TEST_F(MemoryMonitorItemTest, PagingAsCountsOrAsBytes)
{
    FixtureSysroot root("server-noswap");
    root.writeFile("proc/vmstat", "pgfault 5000\npgmajfault 1000\npgpgout 32000\n");
    auto memory = item(root.root(), QRNMemoryMonitorItem::defaultCellConfiguration(), 16384);
    QString menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains("Page-Ins:\t1,000\nPage-Outs:\t2,000\nUsed Swap:\t0  B\n")) << qPrintable(menu);

    // Read only while the menu is open, but fresh when it opens.
    root.writeFile("proc/vmstat", "pgfault 5000\npgmajfault 1500\npgpgout 32000\n");
    memory->memoryInstrument().collectNewSample();
    EXPECT_EQ(memory->memoryInstrument().accumulatedPageIns(), 1000u);
    menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains("Page-Ins:\t1,500\n")) << qPrintable(menu);
    root.writeFile("proc/vmstat", "pgfault 5000\npgmajfault 1000\npgpgout 32000\n");

    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowSwapsAsBytes"), true);
    menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains("Page-Ins:\t15.6 MB\nPage-Outs:\t31.2 MB\n")) << qPrintable(menu);
}

TEST_F(MemoryMonitorItemTest, KnownSettingsAreTakenAndOthersGoToTheBase)
{
    auto memory = desktop();
    LogCapture log;
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowMemoryBySize"), true);
    EXPECT_TRUE(memory->showsMemoryBySize());
    EXPECT_TRUE(log.entries().empty());

    // A known key with a value that is no number, and an unknown key.
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowMenuGraph"), "yes");
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowEverything"), true);
    EXPECT_EQ(memory->memoryGraph(), nullptr);
    EXPECT_EQ(log.messages(LogLevel::Error),
        (QStringList{
            "QRNMemoryMonitorItem: could not handle change of user default 'MemoryTopic-ShowMenuGraph'.",
            "QRNMemoryMonitorItem: could not handle change of user default 'MemoryTopic-ShowEverything'."}));

    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-MenuBarConfiguration"),
        QVariantList{"QRNGraphMenuBarCell:1N", "QRNTextMenuBarCell:N"});
    ASSERT_EQ(memory->menuBarImage()->menuBarCells().size(), 2u);
    EXPECT_EQ(cell<QRNGraphMenuBarCell>(*memory, 0).capacity(), 30u);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*memory, 1).stringValue(), "MEM");
}

} // namespace
