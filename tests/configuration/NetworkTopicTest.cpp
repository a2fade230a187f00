#include "LaunchedController.h"

#include "configuration/NetworkTopic.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "instruments/ScopedNetworkTable.h"
#include "items/QRNNetMonitorItem.h"
#include "platform/notifications/NotificationCenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {

using Description = NetworkTopic::InterfaceDescription;

class NetworkTopicTest : public LaunchedController {
protected:
    void SetUp() override
    {
        LaunchedController::SetUp();
        table.addresses()[QStringLiteral("wlan0")] = {{QStringLiteral("192.168.1.5")}, {}, {}};
        defaults().setObject("NetworkTopic-IsActive", true, UserDefaults::Domain::Host);
        defaults().setObject("NetworkTopic-MenuBarConfiguration", QRNNetMonitorItem::defaultCellConfiguration(), UserDefaults::Domain::Host);
        defaults().setObject("NetworkTopic-MonitoredNetInterfaces", QStringList({"wlan0", "gone0"}), UserDefaults::Domain::Host);
        launch();
        ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    }
    NetworkTopic& topic() const { return static_cast<NetworkTopic&>(*windowController().topicForClassName("NetworkTopic")); }
    QRNNetMonitorItem* item() const { return static_cast<QRNNetMonitorItem*>(liveItem("QRNNetMonitorItem")); }
    template <typename Widget>
    Widget* control(const char* name) const { return topic().contentView()->findChild<Widget*>(name); }
    QStringList stored() const { return defaults().objectForKey("NetworkTopic-MonitoredNetInterfaces").toStringList(); }

    ScopedNetworkTable table;
};

} // namespace

TEST_F(NetworkTopicTest, TableListsStoredInterfacesFirstThenTheOtherActiveOnesAndStoresEveryChange)
{
    const std::vector<Description> expected {{"wlan0", "Wi-Fi", true, true}, {"gone0", "Network interface gone0", false, true},
        {"eth0", "Ethernet", true, false}};
    EXPECT_EQ(topic().interfaceDescriptions(), expected);
    ASSERT_NE(item(), nullptr);
    EXPECT_TRUE(item()->monitoredInterfaceNames().contains(QStringLiteral("wlan0")));
    EXPECT_TRUE(item()->offlineInterfaceNames().contains(QStringLiteral("gone0")));
    EXPECT_EQ(control<QLabel>("unavailableNote"), nullptr);

    // The user ticks eth0 in the table, then moves it to the top.
    auto* interfaces = control<QTableWidget>("interfaceTable");
    ASSERT_NE(interfaces, nullptr);
    ASSERT_EQ(interfaces->rowCount(), 3);
    EXPECT_EQ(interfaces->item(1, 3)->text(), QStringLiteral("offline"));
    interfaces->item(2, 0)->setCheckState(Qt::Checked);
    EXPECT_EQ(stored(), QStringList({"wlan0", "gone0", "eth0"}));
    interfaces->setCurrentCell(2, 1);
    control<QPushButton>("moveUpButton")->click();
    control<QPushButton>("moveUpButton")->click();
    EXPECT_EQ(stored(), QStringList({"eth0", "wlan0", "gone0"}));
    EXPECT_EQ(interfaces->item(0, 2)->text(), QStringLiteral("eth0"));
    // The live item follows at once, in the same order.
    EXPECT_EQ(item()->monitoredInterfaceNames(), QStringList({"eth0", "wlan0"}));
    interfaces->item(1, 0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(stored(), QStringList({"eth0", "gone0"}));
    EXPECT_EQ(item()->monitoredInterfaceNames(), QStringList({"eth0"}));

    // Interfaces going and coming change their status in the table.
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasRemovedNotification),
        {{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("eth0")}});
    EXPECT_FALSE(topic().interfaceDescriptions()[0].isOnline);
    EXPECT_EQ(interfaces->item(0, 3)->text(), QStringLiteral("offline"));
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasAddedNotification),
        {{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("gone0")}});
    EXPECT_TRUE(topic().interfaceDescriptions()[1].isOnline);
}

TEST_F(NetworkTopicTest, DisplayOptionsReachTheLiveItem)
{
    ASSERT_NE(item(), nullptr);
    control<QComboBox>("graphDisplayStyle")->setCurrentIndex(1);
    EXPECT_TRUE(defaults().boolForKey("NetworkTopic-ShowOpposedGraphs"));
    EXPECT_TRUE(item()->showsOpposedGraphs());
    control<QComboBox>("graphZoomMode")->setCurrentIndex(1);
    EXPECT_TRUE(item()->showsLocallyZoomedGraphs());
    control<QCheckBox>("readingsAsBits")->setChecked(true);
    EXPECT_TRUE(item()->showsReadingsAsBits());
    control<QComboBox>("graphDisplayStyle")->setCurrentIndex(0);
    EXPECT_FALSE(item()->showsOpposedGraphs());

    defaults().setObject("PreferencesTopic-WANCheckIPHostIPv4", "127.0.0.1:9");
    defaults().setObject("PreferencesTopic-WANCheckIPHostIPv6", "127.0.0.1:9");
    EXPECT_FALSE(item()->wanIPAddress());
    control<QCheckBox>("publicAddress")->setChecked(true);
    EXPECT_TRUE(item()->wanIPAddress());
    control<QCheckBox>("publicAddress")->setChecked(false);
    EXPECT_FALSE(item()->wanIPAddress());
}
