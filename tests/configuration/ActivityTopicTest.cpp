#include "LaunchedController.h"

#include "configuration/ActivityDeviceList.h"
#include "configuration/ActivityTopic.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "items/LaptopWithInterfaces.h"
#include "items/QRNActivityMonitorItem.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString Nvme = QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)");
const QString Stick = QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)");
const QString Gone = QStringLiteral("Backup Disk (B1)");

QVariantMap entry(const QString& identification, bool triState)
{
    return {{"Identification", identification}, {"TriState", triState}};
}

class ActivityTopicTest : public LaunchedController {
protected:
    ActivityTopic& page() const { return static_cast<ActivityTopic&>(*windowController().topicForClassName("ActivityTopic")); }
    QTreeWidget& table(const char* name) const { return *page().contentView()->findChild<QTreeWidget*>(name); }
    // "text [watched][coloured]" per row.
    QStringList rows(const char* name) const
    {
        QStringList texts;
        for (int row = 0; row < table(name).topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = table(name).topLevelItem(row);
            texts.append(item->text(0) + (item->checkState(0) == Qt::Checked ? " [x]" : " [ ]")
                + (item->checkState(1) == Qt::Checked ? "[c]" : "[ ]"));
        }
        return texts;
    }
    QRNActivityMonitorItem& item() const { return static_cast<QRNActivityMonitorItem&>(*liveItem("QRNActivityMonitorItem")); }
    QVariant stored(const char* name) const { return defaults().objectForKey(QStringLiteral("ActivityTopic-") + QLatin1String(name)); }

    LaptopWithInterfaces laptop;
};

} // namespace

TEST_F(ActivityTopicTest, TablesShowChosenAndPresentDevicesAndEveryChangeReachesTheItemAtOnce)
{
    defaults().setObject("ActivityTopic-IsActive", true, UserDefaults::Domain::Host);
    defaults().setObject("ActivityTopic-MenuBarConfiguration", QVariantList(), UserDefaults::Domain::Host);
    defaults().setObject("ActivityTopic-MonitoredDisks", QVariantList{entry(Gone, true), entry(Nvme, false)}, UserDefaults::Domain::Host);
    defaults().setObject("ActivityTopic-MonitoredNetInterfaces", QVariantList{entry("eth0", true), entry("eth7", true)},
        UserDefaults::Domain::Host);
    launch();
    ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    ASSERT_NE(liveItem("QRNActivityMonitorItem"), nullptr);
    EXPECT_FALSE(page().contentView()->findChild<QLabel*>("unavailableNote"));
    EXPECT_EQ(item().monitoredDiskIdentifications(), QStringList{Nvme});
    EXPECT_EQ(item().monitoredInterfaceNames(), QStringList{"eth0"});

    // An absent chosen disk leads, offline and still chosen; an absent interface is not offered.
    EXPECT_EQ(rows("diskTable"), (QStringList{Gone + " (offline) [x][c]", Nvme + " [x][ ]", Stick + " [ ][ ]"}));
    const QStringList interfaces = rows("interfaceTable");
    ASSERT_FALSE(interfaces.isEmpty());
    EXPECT_EQ(interfaces.first(), "Ethernet (eth0) [x][c]");
    EXPECT_FALSE(interfaces.join(u'\n').contains("eth7"));
    EXPECT_FALSE(interfaces.join(u'\n').contains("(lo)"));

    // Ticking, colouring and dragging each store the lists and reach the item on the same call.
    table("diskTable").topLevelItem(2)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(item().monitoredDiskIdentifications(), (QStringList{Nvme, Stick}));
    table("diskTable").topLevelItem(1)->setCheckState(1, Qt::Checked);
    EXPECT_EQ(item().diskDisplayStyles(), (std::vector<int>{1, 0}));
    page().moveRows(ActivityTopic::Table::Disks, {2}, 0);
    EXPECT_EQ(stored("MonitoredDisks").toList(), (QVariantList{entry(Stick, false), entry(Gone, true), entry(Nvme, true)}));
    EXPECT_EQ(item().monitoredDiskIdentifications(), (QStringList{Stick, Nvme}));

    page().contentView()->findChild<QPushButton*>("interfaceTableSelectNone")->click();
    EXPECT_EQ(stored("MonitoredNetInterfaces").toList(), QVariantList());
    EXPECT_FALSE(item().isMonitoringNetworkInterfaces());
    page().contentView()->findChild<QCheckBox*>("upDownSwitch")->setChecked(true);
    EXPECT_TRUE(item().usesUpDownNetworkMarkers());

    // Devices leaving keep their row; an interface without statistics is never offered.
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasRemovedNotification), {{"Type", "Disk"}, {"ID", Nvme}});
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasAddedNotification), {{"Type", "Net"}, {"ID", "nothere0"}});
    EXPECT_EQ(rows("diskTable"), (QStringList{Stick + " [x][ ]", Gone + " (offline) [x][c]", Nvme + " (offline) [x][c]"}));
    EXPECT_EQ(rows("interfaceTable").size(), interfaces.size());
    EXPECT_EQ(item().monitoredDiskIdentifications(), QStringList{Stick});
}

TEST(ActivityDeviceList, DraggedRowsKeepTheirTableOrderAndOnlySelectedRowsAreStored)
{
    ActivityDeviceList list;
    list.recreate({entry("b", true), entry("x", false), entry("", true), entry("b", false)}, {{"a", "A"}, {"b", "B"}, {"c", "C"}},
        [](const QString& name) { return name == "x" ? std::nullopt : std::optional<QString>(name.toUpper()); });
    std::vector<QString> order;
    for (const auto& row : list.rows())
        order.push_back(row.identification + (row.isOnline ? "+" : "-") + (row.isSelected ? "s" : "") + (row.is3State ? "c" : ""));
    EXPECT_EQ(order, (std::vector<QString>{"b+sc", "a+", "c+"}));
    list.updateOnlineStatus(true, {"d", "D"});
    list.setEnabled(true, 3);
    EXPECT_FALSE(list.setEnabled(true, 4));

    // Rows 3 and 1 dropped above row 0: 1, 3, 0, 2.
    EXPECT_TRUE(list.moveRows({3, 1}, 0));
    EXPECT_EQ(list.monitoredDevices(), (QVariantList{entry("d", false), entry("b", true)}));
    EXPECT_EQ(list.rows()[0].identification, "a");
    EXPECT_EQ(list.rows()[3].identification, "c");
    // Dropped below the last row, or onto rows that do not exist.
    EXPECT_TRUE(list.moveRows({0}, 4));
    EXPECT_EQ(list.rows()[3].identification, "a");
    EXPECT_FALSE(list.moveRows({7}, 0));
    EXPECT_FALSE(list.moveRows({0}, 5));
}
