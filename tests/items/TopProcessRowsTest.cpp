#include "extension/QRNRemoteProcessInstrument.h"
#include "extension/TransferPayload.h"
#include "extension/VistrelPlusSession.h"
#include "instruments/QRNCPULoadInstrument.h"
#include "instruments/QRNMemoryInstrument.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/ProcessRowsInMenu.h"
#include "items/QRNMemoryMonitorItem.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "platform/notifications/NotificationCenter.h"
#include "support/CDP.h"
#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QVariantMap savedDataSet(const char* name)
{
    QFile file(QStringLiteral(VISTREL_FIXTURES "/keyed-archives/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    QString error;
    const std::optional<QVariantMap> dataSet = TransferPayload::decode(file.readAll(), &error);
    EXPECT_TRUE(dataSet) << qPrintable(error);
    return dataSet.value_or(QVariantMap());
}

template<typename Item>
bool listsTheProcessInstrument(const Item& item)
{
    const auto& instruments = item.monitorInstruments();
    return std::find(instruments.begin(), instruments.end(), QRNRemoteProcessInstrument::sharedProcessInstrument())
        != instruments.end();
}

const QStringList noData(5, QStringLiteral("-No data-\t-No data- [struck]"));

class TopProcessRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
        process().setReceivedEntry(nullptr);
    }
    void TearDown() override
    {
        UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
        process().setReceivedEntry(nullptr);
    }
    static QRNRemoteProcessInstrument& process() { return *QRNRemoteProcessInstrument::sharedProcessInstrument(); }

    ScopedStatusBar bar;
    ScopedLocale english {QLocale(QLocale::English, QLocale::UnitedStates)};
};

} // namespace

TEST_F(TopProcessRowsTest, ProcessorMenuListsTheBusiestByProcessorTimeOnceTheSettingIsOn)
{
    QRNCPUMonitorItem processor(std::make_shared<QRNCPULoadInstrument>(FixtureSysroot::fixture("laptop-2cpu-t0")));
    ASSERT_TRUE(processor.initWithCellConfiguration(QRNCPUMonitorItem::defaultCellConfiguration()));
    EXPECT_TRUE(processRowsInMenu(processor).isEmpty());

    LogCapture log;
    processor.handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowTopProcesses"), true);
    EXPECT_TRUE(processor.showsProcessStatistics());
    EXPECT_TRUE(listsTheProcessInstrument(processor));
    EXPECT_TRUE(processor.hasChangedInstruments());
    // Nothing received yet: every row says so, struck through.
    EXPECT_EQ(processRowsInMenu(processor), noData);

    // Three processes: the rest say there is no data, but are not struck.
    process().adoptRecordFromDataSet(savedDataSet("busy-processes.bplist"));
    EXPECT_EQ(processRowsInMenu(processor), (QStringList {"stress-ng\t187.5%", "cc1plus\t98.4%", "Xvfb\t1.3%",
                                          "-No data-\t-No data-", "-No data-\t-No data-"}));
    EXPECT_TRUE(log.entries().empty());

    processor.handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowTopProcesses"), false);
    EXPECT_FALSE(processor.showsProcessStatistics());
    EXPECT_FALSE(listsTheProcessInstrument(processor));
    EXPECT_TRUE(processRowsInMenu(processor).isEmpty());
}

TEST_F(TopProcessRowsTest, MemoryMenuListsTheLargestAsSharesOrSizes)
{
    QRNMemoryMonitorItem memory(std::make_shared<QRNMemoryInstrument>(FixtureSysroot::fixture("desktop-zswap"), 4096));
    ASSERT_TRUE(memory.initWithCellConfiguration(QRNMemoryMonitorItem::defaultCellConfiguration()));
    memory.handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowTopProcesses"), true);
    EXPECT_TRUE(listsTheProcessInstrument(memory));
    EXPECT_EQ(processRowsInMenu(memory), noData);

    process().adoptRecordFromDataSet(savedDataSet("busy-processes.bplist"));
    EXPECT_EQ(processRowsInMenu(memory), (QStringList {"firefox-esr\t18.8%", "Web Content\t6.3%", "cc1plus\t3.1%",
                                       "Xvfb\t0.5%", "a) b (c)\t  0%"}));
    memory.handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowMemoryBySize"), true);
    EXPECT_EQ(processRowsInMenu(memory), (QStringList {"firefox-esr\t3 GB", "Web Content\t1 GB", "cc1plus\t512 MB",
                                       "Xvfb\t80 MB", "a) b (c)\t4.9 MB"}));

    memory.handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowTopProcesses"), false);
    EXPECT_FALSE(listsTheProcessInstrument(memory));
    EXPECT_TRUE(processRowsInMenu(memory).isEmpty());
}

// The record stays until the session is lost: payloads without it, or with
// something else under its name, change nothing.
TEST_F(TopProcessRowsTest, TheRecordOutlivesPayloadsWithoutItButNotTheSession)
{
    QRNMemoryMonitorItem memory(std::make_shared<QRNMemoryInstrument>(FixtureSysroot::fixture("desktop-zswap"), 4096));
    ASSERT_TRUE(memory.initWithCellConfiguration(QRNMemoryMonitorItem::defaultCellConfiguration()));
    memory.setShowsProcessStatistics(true);
    process().adoptRecordFromDataSet(savedDataSet("busy-processes.bplist"));
    const QStringList busy = processRowsInMenu(memory);
    ASSERT_EQ(busy.size(), 5);

    process().adoptRecordFromDataSet(savedDataSet("no-fan-list.bplist"));
    QVariantMap misfiled = savedDataSet("full.bplist");
    misfiled.insert("VLPProcessInstrumentEntry", misfiled.value("VLPSensorInstrumentEntry"));
    process().adoptRecordFromDataSet(misfiled);
    EXPECT_EQ(processRowsInMenu(memory), busy);
    // Sampling without a connected session keeps it too.
    process().collectNewSample();
    EXPECT_EQ(processRowsInMenu(memory), busy);
    EXPECT_TRUE(process().description().contains("firefox-esr")) << qPrintable(process().description());

    // A record with empty lists is data, not its absence.
    process().adoptRecordFromDataSet(savedDataSet("processes-only.bplist"));
    EXPECT_EQ(processRowsInMenu(memory), QStringList(5, QStringLiteral("-No data-\t-No data-")));

    NotificationCenter::defaultCenter().post(QLatin1String(VistrelPlusSession::DidChangeNotification));
    EXPECT_EQ(process().receivedEntry(), nullptr);
    EXPECT_EQ(processRowsInMenu(memory), noData);
}
