#include "items/QRNActivityMonitorItem.h"

#include "instruments/QRNActivityInstrument.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "items/ActivitySettingNames.h"
#include "items/LaptopWithInterfaces.h"
#include "items/OpenedMenu.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNStateMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/log/LogCapture.h"
#include "settings/SettingNames.h"
#include "support/EventLog.h"
#include "support/ScopedStatusBar.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

const QString Nvme = QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)");
const QString Stick = QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)");
const char* const NvmeStat = "sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1/stat";
const char* const StickPower = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/power/runtime_status";
const char* const Eth0Received = "sys/class/net/eth0/statistics/rx_packets";
const char* const Eth0Sent = "sys/class/net/eth0/statistics/tx_packets";

std::string statLine(quint64 reads, quint64 writes)
{
    return std::to_string(reads) + " 0 8 10 " + std::to_string(writes) + " 0 16 20 0 30 30 0 0 0 0 0 0\n";
}

QVariantList devices(const QList<std::pair<QString, bool>>& entries)
{
    QVariantList list;
    for (const auto& [identification, triState] : entries)
        list.append(QVariantMap{{ActivitySettingName::Identification, identification}, {ActivitySettingName::TriState, triState}});
    return list;
}

class ActivityMonitorItemTest : public ::testing::Test {
protected:
    std::unique_ptr<QRNActivityMonitorItem> item(const QVariantList& disks, const QVariantList& interfaces, bool suppressSerials = false)
    {
        auto item = std::make_unique<QRNActivityMonitorItem>(suppressSerials);
        EXPECT_TRUE(item->initWithCellConfiguration({}));
        set(*item, ActivitySettingName::MonitoredDisks, disks);
        set(*item, ActivitySettingName::MonitoredNetInterfaces, interfaces);
        QObject::connect(item->statusItem(), &StatusItem::changed, [this] { ++m_imageChanges; });
        return item;
    }
    static void set(QRNActivityMonitorItem& item, QLatin1String name, const QVariant& value)
    {
        item.handleChangeOfUserDefault(SettingsKey(TopicName::Activity, name), value);
    }
    // One tick of the 0.25-second group; the number of times the bar was handed a new image.
    int tick(QRNActivityMonitorItem& item)
    {
        const int before = m_imageChanges;
        for (const auto& instrument : item.monitorInstruments())
            instrument->collectNewSample();
        item.updateInterface();
        return m_imageChanges - before;
    }
    // Each cell as the user reads it: labels by their text, lamps as state/style.
    static QStringList cells(const QRNActivityMonitorItem& item)
    {
        QStringList shown;
        for (const auto& cell : item.menuBarImage()->menuBarCells()) {
            if (auto* text = dynamic_cast<const QRNTextMenuBarCell*>(cell.get()))
                shown.append(text->stringValue());
            else if (auto* lamp = dynamic_cast<const QRNStateMenuBarCell*>(cell.get()))
                shown.append(QStringLiteral("%1%2%3").arg(lamp->activityState()).arg(lamp->displayStyle() ? "T" : "B").arg(lamp->usesUpDownStyle() ? "^" : ""));
        }
        return shown;
    }
    static void announce(const char* notification, const char* type, const QString& identification)
    {
        NotificationCenter::defaultCenter().post(QLatin1String(notification), {{"Type", type}, {"ID", identification}});
    }

    ScopedStatusBar bar;
    LaptopWithInterfaces laptop;
    int m_imageChanges = 0;
};

} // namespace

TEST_F(ActivityMonitorItemTest, LampsFollowTheCountersAndTheBarIsRedrawnOnlyWhenALampChanges)
{
    laptop.write(NvmeStat, statLine(100, 50).c_str());
    auto activity = item(devices({{Nvme, true}, {Stick, false}}), devices({{"eth0", false}}));
    // The stick's device is runtime-suspended: it sleeps whatever its counters do.
    EXPECT_EQ(cells(*activity), QStringList({"HD", "0T", "3B", "NET", "0B"}));

    EXPECT_EQ(tick(*activity), 0) << "no lamp changed, yet the bar got a new image";
    laptop.write(NvmeStat, statLine(100, 53).c_str());
    laptop.write(Eth0Received, "24300\n");
    EXPECT_GT(tick(*activity), 0);
    EXPECT_EQ(cells(*activity), QStringList({"HD", "2T", "3B", "NET", "1B"}));

    // Reads and writes at once: the larger count wins.
    laptop.write(NvmeStat, statLine(104, 55).c_str());
    laptop.write(Eth0Sent, "16000\n");
    laptop.write(StickPower, "active\n");
    tick(*activity);
    EXPECT_EQ(cells(*activity), QStringList({"HD", "1T", "0B", "NET", "2B"}));
    tick(*activity);
    EXPECT_EQ(cells(*activity), QStringList({"HD", "0T", "0B", "NET", "0B"}));
    EXPECT_EQ(tick(*activity), 0);

    // A counter that runs backwards (a driver reset) is a change, not a stall.
    laptop.write(NvmeStat, statLine(3, 55).c_str());
    tick(*activity);
    EXPECT_EQ(cells(*activity)[1], "1T");

    // Devices whose counters vanish show no information, and recover without a burst.
    std::filesystem::remove(laptop.path(NvmeStat));
    std::filesystem::remove(laptop.path("sys/class/net/eth0/statistics/tx_packets"));
    tick(*activity);
    EXPECT_EQ(cells(*activity), QStringList({"HD", "4T", "0B", "NET", "4B"}));
    laptop.write(NvmeStat, statLine(900, 900).c_str());
    laptop.write(Eth0Sent, "99999\n");
    tick(*activity);
    EXPECT_EQ(cells(*activity), QStringList({"HD", "0T", "0B", "NET", "0B"}));
}

TEST_F(ActivityMonitorItemTest, CellsAndInstrumentsFollowTheSettingsInOneRebuild)
{
    auto activity = item(devices({{Nvme, false}, {Stick, true}}), devices({{"eth0", true}}));
    ASSERT_EQ(activity->monitorInstruments().size(), 3u);
    // The interface's lamp is cell 4 and reads instrument 2.
    EXPECT_EQ(static_cast<QRNActivityInstrument&>(*activity->monitorInstruments()[2]).deviceIdentification(), "eth0");
    EXPECT_EQ(cells(*activity), QStringList({"HD", "0B", "3T", "NET", "0T"}));

    // The same disks in a new order: one rebuild, one new image.
    const int before = m_imageChanges;
    activity->autoconfigureMenu();
    EXPECT_EQ(m_imageChanges, before) << "rebuilt as it was, the image stays";
    set(*activity, ActivitySettingName::MonitoredDisks, devices({{Stick, true}, {Nvme, false}, {QString(), true}}));
    EXPECT_EQ(m_imageChanges - before, 1);
    EXPECT_EQ(activity->monitoredDiskIdentifications(), QStringList({Stick, Nvme}));
    EXPECT_EQ(cells(*activity), QStringList({"HD", "3T", "0B", "NET", "0T"}));

    set(*activity, ActivitySettingName::UseUpDownNetworkIcons, true);
    EXPECT_EQ(cells(*activity).last(), "0T^");

    // Only interfaces: NET leads; nothing at all: no cells.
    set(*activity, ActivitySettingName::MonitoredDisks, QVariantList());
    EXPECT_EQ(cells(*activity), QStringList({"NET", "0T^"}));
    EXPECT_EQ(activity->monitorInstruments().size(), 1u);
    set(*activity, ActivitySettingName::MonitoredNetInterfaces, QVariantList());
    EXPECT_TRUE(activity->menuBarImage()->menuBarCells().empty());
    EXPECT_TRUE(activity->monitorInstruments().empty());

    // Cell codes from the layout settings are refused; the lamps stay the item's own.
    LogCapture log;
    set(*activity, ActivitySettingName::MonitoredNetInterfaces, devices({{"eth0", false}}));
    set(*activity, SettingName::MenuBarConfiguration, QStringList({"QRNGraphMenuBarCell:2O"}));
    EXPECT_EQ(cells(*activity), QStringList({"NET", "0B^"}));
    EXPECT_TRUE(log.contains(LogLevel::Error,
        "QRNActivityMonitorItem: this monitor item uses autoconfiguration for menu-bar cells. Ignoring configuration codes."));
}

TEST_F(ActivityMonitorItemTest, DevicesThatComeAndGoKeepTheirLampStyleAndTheMenuNamesThem)
{
    auto activity = item(devices({{Nvme, true}, {Stick, false}, {"Phantom Disk", true}}), devices({{"eth0", true}, {"wg9", false}}));
    EXPECT_EQ(activity->offlineDiskIdentifications(), (QHash<QString, int>{{"Phantom Disk", 1}}));
    EXPECT_EQ(activity->offlineInterfaceNames(), (QHash<QString, int>{{"wg9", 0}}));

    EventLog::clear();
    EventLog::setEnabled(true);
    announce(EquipmentWasRemovedNotification, "Disk", Nvme);
    announce(EquipmentWasRemovedNotification, "Net", QStringLiteral("eth0"));
    EXPECT_EQ(cells(*activity), QStringList({"HD", "3B"}));
    EXPECT_EQ(activity->offlineDiskIdentifications().value(Nvme, -1), 1);
    // Another kind's notification with the same ID, or an unknown ID, changes nothing.
    announce(EquipmentWasAddedNotification, "Net", Nvme);
    announce(EquipmentWasAddedNotification, "Disk", QStringLiteral("Unknown"));
    EXPECT_EQ(cells(*activity), QStringList({"HD", "3B"}));

    // Back again: at the end of its kind, in the style it had.
    announce(EquipmentWasAddedNotification, "Disk", Nvme);
    announce(EquipmentWasAddedNotification, "Net", QStringLiteral("eth0"));
    EXPECT_EQ(activity->monitoredDiskIdentifications(), QStringList({Stick, Nvme}));
    EXPECT_EQ(cells(*activity), QStringList({"HD", "3B", "0T", "NET", "0T"}));
    // Announced but still not found: it waits on.
    announce(EquipmentWasAddedNotification, "Disk", QStringLiteral("Phantom Disk"));
    EXPECT_EQ(activity->offlineDiskIdentifications().value(QStringLiteral("Phantom Disk"), -1), 1);
    // Every announcement is an event of the report, the ignored ones too.
    const QStringList events = EventLog::lines();
    EventLog::setEnabled(false);
    EventLog::clear();
    ASSERT_EQ(events.size(), 7);
    EXPECT_EQ(events[0], "QRNActivityMonitorItem: equipment with ID '" + Nvme + "' was removed.\n");
    EXPECT_EQ(events[1], QStringLiteral("QRNActivityMonitorItem: equipment with ID 'eth0' was removed.\n"));
    EXPECT_EQ(events[3], QStringLiteral("QRNActivityMonitorItem: equipment with ID 'Unknown' was added.\n"));

    const QStringList menu = openedMenu(*activity).split(u'\n', Qt::SkipEmptyParts);
    const auto at = [&](const QString& row) { return menu.indexOf(row); };
    EXPECT_EQ(menu.first().trimmed(), "System Activity");
    EXPECT_GT(at("HD 2: " + Nvme), at("HD 1: " + Stick));
    EXPECT_GT(at("NET 1: Interface 'eth0'"), at("HD 2: " + Nvme));
    EXPECT_GT(at("Preferences..."), at("NET 1: Interface 'eth0'"));

    auto private_ = item(devices({{Nvme, false}}), {}, true);
    EXPECT_TRUE(openedMenu(*private_).contains("HD 1: Samsung SSD 980 PRO 1TB\n"));
}
