#include "instruments/QRNWANIPAddress.h"
#include "items/OpenedMenu.h"
#include "items/QRNNetMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "instruments/ScopedNetworkTable.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/statusbar/StatusMenu.h"
#include "support/CDP.h"
#include "support/EventLog.h"
#include "support/EventsUntil.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

constexpr quint32 Temporary = 0x80;
constexpr quint32 Autoconf = 0x40;

class NetMonitorItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
        table.addresses()[QStringLiteral("wlan0")] = {{}, {QStringLiteral("fe80::1"), QStringLiteral("2001:db8::5")},
            {0, Temporary | Autoconf}};
        EventLog::setEnabled(true);
        EventLog::clear();
    }
    void TearDown() override
    {
        EventLog::setEnabled(false);
        UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
    }

    std::unique_ptr<QRNNetMonitorItem> item(const QStringList& configured,
        const QStringList& codes = QRNNetMonitorItem::defaultCellConfiguration())
    {
        QRNNetMonitorItem::Delays delays {1, 30, 10, 1, 100000};
        auto item = std::make_unique<QRNNetMonitorItem>([this] { return primary; }, delays);
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        item->setMonitoredInterfaces(configured);
        return item;
    }

    // One tick: the table one second on, then the item.
    void tick(QRNNetMonitorItem& item)
    {
        table.refresh();
        item.updateInterface();
    }

    static QString toolTipOfRow(QRNNetMonitorItem& item, const QString& start)
    {
        QMenu& menu = *item.statusItem()->menu();
        Q_EMIT menu.aboutToShow();
        QString found;
        for (QAction* action : menu.actions()) {
            if (action->toolTip().startsWith(start))
                found = action->toolTip();
        }
        Q_EMIT menu.aboutToHide();
        return found;
    }

    static int countOf(const QString& line)
    {
        return int(EventLog::lines().count(line));
    }

    ScopedLocale locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    ScopedStatusBar bar;
    ScopedNetworkTable table;
    QString primary = QStringLiteral("eth0");
};

} // namespace

TEST_F(NetMonitorItemTest, MenuListsThePrimaryInterfaceFirstWithAddressesRatesAndTotals)
{
    auto net = item({QStringLiteral("wlan0")});
    ASSERT_TRUE(net);
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"eth0", "wlan0"}));
    table.setCounter(QStringLiteral("eth0"), "rx_bytes", 993500000 + 3000);
    table.setCounter(QStringLiteral("eth0"), "tx_bytes", 1300000 + 1000);
    table.setCounter(QStringLiteral("eth0"), "rx_packets", 24230 + 4);
    tick(*net);

    const QString menu = openedMenu(*net);
    const QString expectedStart = QStringLiteral(
        "Network Interfaces\t\n"
        "Ethernet (eth0) \u2194 Internet\t\n"
        "IPv4:\t192.0.2.2\n"
        "graph of 30 values\n"
        "Incoming:\t%1/s\n"
        "Outgoing:\t%2/s\n"
        "Packets in/s:\t    4\n"
        "Packets out/s:\t    0\n"
        "Peak value in:\t%1/s\n"
        "Peak value out:\t%2/s\n"
        "-----\n"
        "Received:\t%3\n")
        .arg(CDP::displayTextForMemorySize(3000, false), CDP::displayTextForMemorySize(1000, false),
            CDP::displayTextForMemorySize(993503000));
    EXPECT_TRUE(menu.startsWith(expectedStart)) << menu.toStdString();
    // Without IPv4 address one "-" row; two IPv6 rows; no IPv6 row for eth0 above.
    EXPECT_TRUE(menu.contains(QStringLiteral("Wi-Fi (wlan0)\t\nIPv4:\t-\nIPv6:\tfe80::1\n\t2001:db8::5\ngraph of 30 values\n")))
        << menu.toStdString();
    EXPECT_EQ(toolTipOfRow(*net, QStringLiteral("2001:db8::5")), QStringLiteral("2001:db8::5: autoconf, temporary"));
    EXPECT_EQ(toolTipOfRow(*net, QStringLiteral("fe80::1")), QStringLiteral("fe80::1: (standard operation)"));

    // The bar: the summed rates on two lines, the pair in the graph.
    const auto& cells = net->menuBarImage()->menuBarCells();
    auto* text = dynamic_cast<QRNTextMenuBarCell*>(cells.at(0).get());
    auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(cells.at(1).get());
    ASSERT_TRUE(text && graph);
    EXPECT_EQ(text->stringValue(), QStringLiteral("\tI:\t%1/s").arg(CDP::displayTextForMemorySize(3000, true)));
    EXPECT_EQ(text->secondaryStringValue(), QStringLiteral("\tO:\t%1/s").arg(CDP::displayTextForMemorySize(1000, true)));
    const QRNBufferedGraph& history = graph->bufferedGraph();
    const quint32 newest = (history.currentIndex() + history.capacity() - 1) % history.capacity();
    EXPECT_EQ(history.historyValues()[newest], 3000.0f);
    EXPECT_EQ(history.secondaryHistoryValues()[newest], 1000.0f);
    EXPECT_TRUE(graph->showsOpposedGraphs()) << "the cell's own code asks for it";

    // As bits, every rate of the bar and the menu.
    net->setShowsReadingsAsBits(true);
    tick(*net);
    table.setCounter(QStringLiteral("eth0"), "rx_bytes", 993500000 + 3000 + 500);
    tick(*net);
    EXPECT_EQ(text->stringValue(), QStringLiteral("\tI:\t%1/s").arg(CDP::displayTextAsBitsForMemorySize(500, true)));
    EXPECT_TRUE(openedMenu(*net).contains(QStringLiteral("Peak value in:\t%1/s").arg(CDP::displayTextAsBitsForMemorySize(3000, false))));
}

TEST_F(NetMonitorItemTest, MenuFollowsTheNumberOfAddressesAndShowsALostInterfaceAsDown)
{
    auto net = item({QStringLiteral("eth0"), QStringLiteral("wlan0")});
    tick(*net);
    openedMenu(*net);
    QRNGraphMenuView* graph = net->graphViewOfInterface(QStringLiteral("eth0"));
    ASSERT_TRUE(graph);
    // The same number of addresses: rows are updated in place.
    table.addresses()[QStringLiteral("eth0")].ipv4 = {QStringLiteral("192.0.2.3")};
    tick(*net);
    EXPECT_TRUE(openedMenu(*net).contains(QStringLiteral("IPv4:\t192.0.2.3\n")));
    EXPECT_EQ(net->graphViewOfInterface(QStringLiteral("eth0")), graph);
    // One more address: the menu is built again, with a row for it.
    table.addresses()[QStringLiteral("eth0")].ipv4.append(QStringLiteral("198.51.100.1"));
    tick(*net);
    const QString menu = openedMenu(*net);
    EXPECT_NE(net->graphViewOfInterface(QStringLiteral("eth0")), graph);
    EXPECT_TRUE(menu.contains(QStringLiteral("IPv4:\t192.0.2.3\n\t198.51.100.1\n"))) << menu.toStdString();
    // The rebuilt menu still switches to its alternate rows; those of the old rows went with them.
    auto& statusMenu = static_cast<StatusMenu&>(*net->statusItem()->menu());
    statusMenu.showAlternatesFor(Qt::AltModifier);
    EXPECT_TRUE(MenuText::of(statusMenu).contains(QStringLiteral("Show Diagnostics Window")));
    statusMenu.showAlternatesFor(Qt::NoModifier);

    // wlan0 loses its addresses: out of the table, shown as down with its one empty address row.
    table.addresses()[QStringLiteral("wlan0")] = {};
    tick(*net);
    const QString down = openedMenu(*net);
    EXPECT_TRUE(down.contains(QStringLiteral("wlan0 - down\t\nIPv4:\t\ngraph of 30 values\nIncoming:\t\nOutgoing:\t\n"))) << down.toStdString();
}

TEST_F(NetMonitorItemTest, PrimaryInterfaceChangesAreProcessedOnceAfterTheyHaveSettled)
{
    auto net = item({QStringLiteral("wlan0")});
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"eth0", "wlan0"}));
    primary = QStringLiteral("wlan0");
    net->dynamicSystemConfiguration({QStringLiteral("State:/Network/Global/IPv4")});
    net->dynamicSystemConfiguration({QStringLiteral("State:/Network/Global/IPv4")});
    net->dynamicSystemConfiguration({QStringLiteral("State:/Network/Global/IPv4")});
    ASSERT_TRUE(eventsUntil([&] { return countOf(QStringLiteral("Processing network configuration change.\n")) > 0; }));
    eventsUntil([] { return false; }, 100);
    EXPECT_EQ(countOf(QStringLiteral("Processing network configuration change.\n")), 1);
    // eth0 was there only as the primary interface; wlan0 is configured and stays where it is.
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"wlan0"}));
    EXPECT_EQ(net->internetDeviceName(), QStringLiteral("wlan0"));
    tick(*net);
    EXPECT_TRUE(openedMenu(*net).contains(QStringLiteral("Wi-Fi (wlan0) \u2194 Internet")));

    // A primary interface that cannot be instrumented yet is waited for.
    primary = QStringLiteral("br0");
    EventLog::clear();
    net->dynamicSystemConfiguration({});
    ASSERT_TRUE(eventsUntil([&] {
        return countOf(QStringLiteral(">>> System is not ready yet to collect networt statistics for interface 'br0'.\n")) >= 2;
    }));
    table.addresses()[QStringLiteral("br0")] = {{QStringLiteral("10.10.0.2")}, {}, {}};
    table.advance();
    ASSERT_TRUE(eventsUntil([&] { return net->monitoredInterfaceNames().value(0) == QLatin1String("br0"); }));
}

TEST_F(NetMonitorItemTest, InterfacesThatGoAwayStayOfflineAndComeBackOrAreGivenUpAfterFifteenTries)
{
    auto net = item({QStringLiteral("eth0"), QStringLiteral("wlan0"), QStringLiteral("br0")});
    // br0 has no address: configured but offline from the start.
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"eth0", "wlan0"}));
    EXPECT_TRUE(net->offlineInterfaceNames().contains(QStringLiteral("br0")));

    net->equipmentWasRemoved({{QStringLiteral("Type"), QStringLiteral("Disk")}, {QStringLiteral("ID"), QStringLiteral("wlan0")}});
    EXPECT_EQ(net->monitoredInterfaceNames().size(), 2);
    net->equipmentWasRemoved({{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("wlan0")}});
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"eth0"}));
    EXPECT_TRUE(net->offlineInterfaceNames().contains(QStringLiteral("wlan0")));
    table.advance();
    net->equipmentWasAdded({{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("wlan0")}});
    EXPECT_EQ(net->monitoredInterfaceNames(), QStringList({"eth0", "wlan0"}));
    EXPECT_EQ(countOf(QStringLiteral(">>> now monitoring 'wlan0', instrumentation successful: yes\n")), 1);
    net->equipmentWasAdded({{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("veth9")}});
    EXPECT_EQ(countOf(QStringLiteral(">>> ignored because 'veth9' was not in the set of monitored offline objects.\n")), 1);

    // br0 appears but never gets an address: attempts 2 to 15, then the final word.
    net->equipmentWasAdded({{QStringLiteral("Type"), QStringLiteral("Net")}, {QStringLiteral("ID"), QStringLiteral("br0")}});
    const QString given = QStringLiteral("Could not successfully instrument added network interface 'br0' for monitoring. "
                                         "The interface may have been removed before the OS could configure it.\n");
    ASSERT_TRUE(eventsUntil([&] { return countOf(given) == 1; }));
    for (int attempt = 2; attempt <= 15; ++attempt) {
        EXPECT_EQ(countOf(QStringLiteral(">>> attempt %1 to instrument interface 'br0', instrumentation successful: no\n").arg(attempt)), 1)
            << attempt;
    }
    EXPECT_EQ(countOf(QStringLiteral(">>> attempt 16 to instrument interface 'br0', instrumentation successful: no\n")), 0);
}

TEST_F(NetMonitorItemTest, PublicAddressIsAskedOnlyWhileSwitchedOnAndItsRowsNameTheHostAsked)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    // Nothing listens there: the queries fail at once and leave no address.
    defaults.setObject(QStringLiteral("PreferencesTopic-WANCheckIPHostIPv4"), QStringLiteral("127.0.0.1:9"));
    defaults.setObject(QStringLiteral("PreferencesTopic-WANCheckIPHostIPv6"), QStringLiteral("[::1]:9"));
    auto net = item({QStringLiteral("eth0")});
    EXPECT_FALSE(net->wanIPAddress());
    EXPECT_FALSE(openedMenu(*net).contains(QStringLiteral("WAN")));

    net->handleChangeOfUserDefault(SettingsKey::parse(QStringLiteral("NetworkTopic-ShouldGetWANAddress")), true);
    ASSERT_TRUE(net->wanIPAddress());
    tick(*net);
    EXPECT_TRUE(openedMenu(*net).contains(QStringLiteral("WAN Address:\t-\nAsked:\t127.0.0.1:9, [::1]:9\n")));

    net->setWANAddressUpdateInterval(30);
    EXPECT_TRUE(net->hasWANUpdateTimer());
    net->setWANAddressUpdateInterval(-1);
    EXPECT_TRUE(net->hasWANUpdateTimer());
    net->setWANAddressUpdateInterval(0);
    EXPECT_FALSE(net->hasWANUpdateTimer());

    net->handleChangeOfUserDefault(SettingsKey::parse(QStringLiteral("NetworkTopic-ShouldGetWANAddress")), false);
    EXPECT_FALSE(net->wanIPAddress());
    EXPECT_FALSE(openedMenu(*net).contains(QStringLiteral("WAN")));
    defaults.removeObject(QStringLiteral("PreferencesTopic-WANCheckIPHostIPv4"));
    defaults.removeObject(QStringLiteral("PreferencesTopic-WANCheckIPHostIPv6"));
}

TEST(QRNNetMonitorItem, AddressModeNamesTheSetFlagsInMenuOrder)
{
    EXPECT_EQ(QRNNetMonitorItem::localizedIPv6AddressModeDescriptionForFlags(0), QStringLiteral("(standard operation)"));
    EXPECT_EQ(QRNNetMonitorItem::localizedIPv6AddressModeDescriptionForFlags(0x7df),
        QStringLiteral("anycast, tentative, optimistic, duplicated, detached, deprecated, autoconf, temporary, dynamic, secured"));
    EXPECT_EQ(QRNNetMonitorItem::localizedIPv6AddressModeDescriptionForFlags(0x20 | 0x800), QStringLiteral("(standard operation)"));
}
