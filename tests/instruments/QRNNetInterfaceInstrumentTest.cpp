#include "instruments/QRNNetInterfaceInstrument.h"
#include "platform/log/LogCapture.h"
#include "ScopedNetworkTable.h"

#include <gtest/gtest.h>

namespace {

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

} // namespace

TEST(QRNNetInterfaceInstrument, ActiveMeansCountersANameAndAnAddressAndLoopbackNeverIs)
{
    ScopedNetworkTable table;
    // Only a link-local address still counts; no address at all does not.
    table.addresses()[QStringLiteral("wlan0")] = {{}, {QStringLiteral("fe80::1")}, {0}};
    table.addresses()[QStringLiteral("br0")] = {};
    table.addresses()[QStringLiteral("en7")] = {{QStringLiteral("10.0.0.7")}, {}, {}};
    table.addresses()[QStringLiteral("sit0")] = {{QStringLiteral("10.0.0.8")}, {}, {}};
    // Addresses of an interface without counters do not make it active.
    table.addresses()[QStringLiteral("ghost0")] = {{QStringLiteral("10.0.0.9")}, {}, {}};

    EXPECT_EQ(QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("lo")), nullptr);
    EXPECT_EQ(sorted(QRNNetInterfaceInstrument::deviceNamesOfActiveInterfaces()),
        QStringList({"en7", "eth0", "sit0", "wlan0"}));
    EXPECT_EQ(QRNNetInterfaceInstrument::instrumentForDeviceName(QString()), nullptr);
    EXPECT_EQ(QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("br0")), nullptr);

    const auto en7 = QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("en7"));
    ASSERT_TRUE(en7);
    EXPECT_EQ(en7->localizedName(), QStringLiteral("Link 'en7'"));
    EXPECT_EQ(QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("eth0"))->localizedName(), QStringLiteral("Ethernet"));
    const auto wlan0 = QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("wlan0"));
    EXPECT_EQ(wlan0->readableIPv4Addresses(), QStringList());
    EXPECT_EQ(wlan0->readableIPv6Addresses(), QStringList({"fe80::1"}));
    EXPECT_EQ(wlan0->correspondingIPv6AddressFlags(), QList<quint32>({0}));

    // Losing its last address takes an interface out at the next refresh; its instrument then answers nothing.
    table.addresses().remove(QStringLiteral("en7"));
    table.refresh();
    NetInterfaceStatistics record {1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(en7->getAccumulatedStatistics(record));
    EXPECT_EQ(record, (NetInterfaceStatistics {1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(en7->localizedName().isEmpty());
    EXPECT_TRUE(en7->readableIPv4Addresses().isEmpty());
    EXPECT_TRUE(en7->description().contains(QStringLiteral("Accumulated values: <not available>")));
}

TEST(QRNNetInterfaceInstrument, CurrentValuesAreTheDifferenceOfTwoRefreshesAtLeastOneSecondApart)
{
    ScopedNetworkTable table;
    const auto eth0 = QRNNetInterfaceInstrument::initForDeviceName(QStringLiteral("eth0"));
    ASSERT_TRUE(eth0);
    NetInterfaceStatistics current;
    NetInterfaceStatistics accumulated;
    // Right after the first refresh there is nothing to compare with.
    EXPECT_FALSE(eth0->getCurrentStatistics(current));
    ASSERT_TRUE(eth0->getAccumulatedStatistics(accumulated));
    EXPECT_EQ(accumulated.inputBytes, 993500000u);

    table.setCounter(QStringLiteral("eth0"), "rx_bytes", 993500000 + 4096);
    table.setCounter(QStringLiteral("eth0"), "tx_packets", 15879 + 3);
    table.refresh();
    ASSERT_TRUE(eth0->getCurrentStatistics(current));
    EXPECT_EQ(current.inputBytes, 4096u);
    EXPECT_EQ(current.outputPackets, 3u);
    EXPECT_EQ(current.collisions, 0u);

    // A second refresh within the same second changes nothing, however many instruments sample.
    table.setCounter(QStringLiteral("eth0"), "rx_bytes", 993500000 + 10000);
    const auto again = QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("eth0"));
    eth0->collectNewSample();
    again->collectNewSample();
    ASSERT_TRUE(again->getCurrentStatistics(current));
    EXPECT_EQ(current.inputBytes, 4096u);
    // Nor does a clock that went back.
    table.setSeconds(900);
    eth0->collectNewSample();
    eth0->getCurrentStatistics(current);
    EXPECT_EQ(current.inputBytes, 4096u);

    // Counters that went round 2^64 still give the amount since the last refresh.
    table.setSeconds(2000);
    table.addresses()[QStringLiteral("en7")] = {{QStringLiteral("10.0.0.7")}, {}, {}};
    table.refresh();
    const auto en7 = QRNNetInterfaceInstrument::instrumentForDeviceName(QStringLiteral("en7"));
    ASSERT_TRUE(en7);
    EXPECT_FALSE(en7->getCurrentStatistics(current)) << "new in this refresh";
    table.setCounter(QStringLiteral("en7"), "rx_bytes", 99);
    table.refresh();
    ASSERT_TRUE(en7->getCurrentStatistics(current));
    EXPECT_EQ(current.inputBytes, 100u);
    EXPECT_TRUE(en7->description().contains(QStringLiteral("Current values: in: 0 packets, 0 errors, 100 bytes")));
}

TEST(QRNNetInterfaceInstrument, AMissingInterfaceListIsReportedAndRetriedWithinTheSameSecond)
{
    ScopedNetworkTable table;
    LogCapture log;
    QRNNetInterfaceInstrument::setSource({QStringLiteral("/nonexistent"), [] { return InterfaceAddressTable(); }, [] { return qint64(5); }});
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    EXPECT_TRUE(QRNNetInterfaceInstrument::deviceNamesOfActiveInterfaces().isEmpty());
    EXPECT_EQ(log.messages(LogLevel::Fault).count(QStringLiteral("QRNNetInterfaceInstrument: cannot list the network interfaces.")), 2);
}
