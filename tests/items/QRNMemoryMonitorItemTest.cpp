#include "app/ApplicationDelegate.h"
#include "instruments/QRNMemoryInstrument.h"
#include "items/MonitorItemClasses.h"
#include "items/MonitorItemRegistration.h"
#include "items/OpenedMenu.h"
#include "items/QRNMemoryMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/OffscreenStatusBar.h"
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
    void SetUp() override
    {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
        m_previousMode = defaults().objectForKey(CDP::defaultsKeyForMemoryDisplayMode());
        defaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
    }
    void TearDown() override
    {
        if (m_previousMode.isValid())
            defaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), m_previousMode);
        else
            defaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
        StatusBar::setSystemStatusBar(nullptr);
    }

    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }

    std::unique_ptr<QRNMemoryMonitorItem> item(const QString& sysroot, const QStringList& codes, quint64 pageSize = 4096)
    {
        auto item = std::make_unique<QRNMemoryMonitorItem>(std::make_shared<QRNMemoryInstrument>(sysroot, pageSize));
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        return item;
    }

    std::unique_ptr<QRNMemoryMonitorItem> desktop(const QStringList& codes = QRNMemoryMonitorItem::defaultCellConfiguration())
    {
        return item(FixtureSysroot::fixture(QStringLiteral("desktop-zswap")), codes);
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
    QVariant m_previousMode;
    ApplicationDelegate controller;
};

TEST_F(MemoryMonitorItemTest, CellsShowTheUsedFractionAndTheUsedAndFreeAmounts)
{
    auto memory = desktop({QStringLiteral("QRNTextMenuBarCell:V"), QStringLiteral("QRNNumericMenuBarCell:P"),
        QStringLiteral("QRNTextMenuBarCell:2"), QStringLiteral("QRNGraphMenuBarCell:1N")});
    ASSERT_TRUE(memory);
    // Linux kernels get the present-day terminology: used = apps + wired + compressed.
    ASSERT_EQ(memory->terminologyStyle(), QRNMemoryInstrument::YosemiteStyle);
    memory->updateInterface();

    const quint64 physical = 16303104 * KiB;
    const quint64 used = 4 * GiB + 448 * MiB + 256 * MiB;
    const double fraction = double(used) / double(physical);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*memory, 0).stringValue(), QStringLiteral("MEM"));
    EXPECT_NEAR(cell<QRNNumericMenuBarCell>(*memory, 1).doubleValue(), fraction, 1e-12);

    auto& lines = cell<QRNTextMenuBarCell>(*memory, 2);
    // 4.6875 GB used, 10.86 GB free.
    EXPECT_EQ(lines.stringValue(), QStringLiteral("\tU:\t  4.7\tGB"));
    EXPECT_EQ(lines.secondaryStringValue(), QStringLiteral("\tF:\t 10.9\tGB"));
    EXPECT_GT(lines.fixedWidth(), 0.0);
    EXPECT_EQ(lines.outputStyle().tabs().size(), 3);

    auto& graph = cell<QRNGraphMenuBarCell>(*memory, 3);
    EXPECT_EQ(graph.capacity(), 30u);
    EXPECT_NEAR(newestGraphValue(graph.bufferedGraph()), fraction, 1e-6);
}

TEST_F(MemoryMonitorItemTest, UnixTerminologyCountsInactiveAsUsedUnlessToldOtherwise)
{
    FixtureSysroot root;
    root.writeFile(QStringLiteral("proc/meminfo"), memInfo(2 * GiB / KiB, 1 * GiB / KiB, 1 * GiB / KiB, 4 * GiB / KiB));
    root.writeFile(QStringLiteral("proc/vmstat"), "pgfault 10\npgmajfault 1\npgpgout 4\n");
    auto memory = item(root.root(), {QStringLiteral("QRNNumericMenuBarCell:T")});
    ASSERT_TRUE(memory);
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-MemoryTerminology"), 0);
    memory->updateInterface();
    EXPECT_EQ(memory->totalMemory(), 8 * GiB);
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*memory, 0).doubleValue(), 0.5);

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-HandleInactiveAsFree"), true);
    EXPECT_TRUE(memory->showsInactiveAsFree());
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*memory, 0).doubleValue(), 0.375);
}

TEST_F(MemoryMonitorItemTest, MenuListsTheSplitOfTheChosenTerminology)
{
    auto memory = desktop();
    const QString paging = QStringLiteral("-----\nPage-Ins:\t45,678\nPage-Outs:\t819,200\nUsed Swap:\t1 GB\n-----\n");
    EXPECT_EQ(openedMenu(*memory),
        QStringLiteral("Memory Usage\t\nApps:\t4 GB\nWired:\t448 MB\nCompressed:\t256 MB\nFile Cache:\t6.5 GB\n"
                       "Free:\t10.9 GB\n")
            + paging + QStringLiteral("Preferences...\n"));

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-MemoryTerminology"), 1);
    // Mavericks style: free is what the kernel reports free.
    EXPECT_TRUE(openedMenu(*memory).startsWith(
        QStringLiteral("Memory Usage\t\nApps:\t4.5 GB\nFile Cache:\t6 GB\nWired:\t448 MB\nCompressed:\t256 MB\n"
                       "Free:\t2 GB\n")
        + paging));

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-MemoryTerminology"), 0);
    EXPECT_TRUE(openedMenu(*memory).startsWith(
        QStringLiteral("Memory Usage\t\nReserved:\t448 MB\nActive:\t6 GB\nInactive:\t4 GB\nFree:\t2 GB\n"
                       "Physical:\t15.5 GB\n")
        + paging));

    // Back to the present-day rows.
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-MemoryTerminology"), 2);
    const QString menu = openedMenu(*memory);
    EXPECT_TRUE(menu.startsWith(QStringLiteral("Memory Usage\t\nApps:\t4 GB\n"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("Reserved:")));

    // An unknown terminology lists no split at all.
    memory->setTerminologyStyle(7);
    EXPECT_TRUE(openedMenu(*memory).startsWith(QStringLiteral("Memory Usage\t\n") + paging));
}

TEST_F(MemoryMonitorItemTest, PagingAsCountsOrAsBytes)
{
    FixtureSysroot root(QStringLiteral("server-noswap"));
    root.writeFile(QStringLiteral("proc/vmstat"), "pgfault 5000\npgmajfault 1000\npgpgout 32000\n");
    auto memory = item(root.root(), QRNMemoryMonitorItem::defaultCellConfiguration(), 16384);
    QString menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains(QStringLiteral("Page-Ins:\t1,000\nPage-Outs:\t2,000\nUsed Swap:\t0  B\n"))) << qPrintable(menu);

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowSwapsAsBytes"), true);
    menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains(QStringLiteral("Page-Ins:\t15.6 MB\nPage-Outs:\t31.2 MB\n"))) << qPrintable(menu);
}

TEST_F(MemoryMonitorItemTest, MenuGraphFollowsTheSettingAndKeepsSampling)
{
    auto memory = desktop();
    EXPECT_EQ(memory->memoryGraph(), nullptr);
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowMenuGraph"), true);
    ASSERT_NE(memory->memoryGraph(), nullptr);
    EXPECT_TRUE(openedMenu(*memory).contains(QStringLiteral("-----\ngraph of 30 values\n-----\nPage-Ins:")));

    // The graph samples with the menu closed, too.
    memory->updateInterface();
    EXPECT_NEAR(newestGraphValue(memory->memoryGraph()->bufferedGraph()),
        double(4 * GiB + 704 * MiB) / double(16303104 * KiB), 1e-6);

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowMenuGraph"), false);
    EXPECT_EQ(memory->memoryGraph(), nullptr);
    EXPECT_FALSE(openedMenu(*memory).contains(QStringLiteral("graph of")));
}

TEST_F(MemoryMonitorItemTest, SettingsOfLaterRowsAreAcceptedAndOthersGoToTheBase)
{
    auto memory = desktop();
    LogCapture log;
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowTopProcesses"), true);
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowGPUMemory"), true);
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowMemoryBySize"), true);
    EXPECT_TRUE(memory->showsMemoryBySize());
    EXPECT_TRUE(log.entries().empty());

    // A known key with a value that is no number, and an unknown key.
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowMenuGraph"), QStringLiteral("yes"));
    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-ShowEverything"), true);
    EXPECT_EQ(memory->memoryGraph(), nullptr);
    EXPECT_EQ(log.messages(LogLevel::Error),
        (QStringList{
            QStringLiteral("QRNMemoryMonitorItem: could not handle change of user default 'MemoryTopic-ShowMenuGraph'."),
            QStringLiteral("QRNMemoryMonitorItem: could not handle change of user default 'MemoryTopic-ShowEverything'.")}));

    memory->handleChangeOfUserDefault(QStringLiteral("MemoryTopic-MenuBarConfiguration"),
        QVariantList{QStringLiteral("QRNGraphMenuBarCell:1N"), QStringLiteral("QRNTextMenuBarCell:N")});
    ASSERT_EQ(memory->menuBarImage()->menuBarCells().size(), 2u);
    EXPECT_EQ(cell<QRNGraphMenuBarCell>(*memory, 0).capacity(), 30u);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*memory, 1).stringValue(), QStringLiteral("MEM"));
}

TEST_F(MemoryMonitorItemTest, RegisteredAtTheBaseInterval)
{
    registerMonitorItemClasses();
    const MonitorItemClass* memoryClass = MonitorItemClasses::shared().find(QStringLiteral("QRNMemoryMonitorItem"));
    ASSERT_NE(memoryClass, nullptr);
    EXPECT_EQ(memoryClass->defaultMonitoringInterval, 1.0);
    EXPECT_FALSE(memoryClass->create({}));
    auto memory = desktop();
    EXPECT_TRUE(memoryClass->isInstance(*memory));
    EXPECT_EQ(memory->monitorInstruments().size(), 1u);
    EXPECT_TRUE(memory->hasChangedInstruments());
}

} // namespace
