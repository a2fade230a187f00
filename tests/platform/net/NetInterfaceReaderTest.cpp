#include "platform/net/DefaultRoute.h"
#include "platform/net/NetInterfaceReader.h"
#include "platform/linux/FixtureSysroot.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QString network()
{
    return FixtureSysroot::fixture(QStringLiteral("network"));
}

} // namespace

TEST(NetInterfaceReader, NamesEachKindAsUsersKnowItAndLeavesLoopbackAndUnknownKindsUnnamed)
{
    const NetInterfaceReader reader(network());
    const std::pair<const char*, const char*> expected[] = {
        {"lo", ""}, {"eth0", "Ethernet"}, {"wlan0", "Wi-Fi"}, {"br0", "Bridge"}, {"bond0", "Bond"},
        {"eth0.5", "VLAN"}, {"wwan0", "Cellular"}, {"wg0", "VPN"}, {"tun0", "VPN"},
        // A tunnel type and an Ethernet device of a special kind get the generic name from the table.
        {"sit0", ""}, {"en7", ""}, {"missing", ""}, {"../../..", ""}};
    for (const auto& [name, display] : expected)
        EXPECT_EQ(reader.displayName(QLatin1String(name)), QLatin1String(display)) << name;
    EXPECT_EQ(reader.interfaceNames(),
        QStringList({"bond0", "br0", "en7", "eth0", "eth0.5", "lo", "sit0", "tun0", "wg0", "wlan0", "wwan0"}));
}

TEST(NetInterfaceReader, ReadsAllSevenCountersOrNoneAndTheLinkState)
{
    FixtureSysroot root(QStringLiteral("network"));
    const NetInterfaceReader reader(root.root());
    const std::optional<NetInterfaceStatistics> eth0 = reader.statistics(QStringLiteral("eth0"));
    ASSERT_TRUE(eth0);
    EXPECT_EQ(*eth0, (NetInterfaceStatistics {24230, 1, 993500000, 15879, 2, 1300000, 3}));
    // Full 64-bit counters.
    EXPECT_EQ(reader.statistics(QStringLiteral("en7"))->inputBytes, std::numeric_limits<quint64>::max());

    root.removeFile(QStringLiteral("sys/class/net/eth0/statistics/collisions"));
    EXPECT_FALSE(reader.statistics(QStringLiteral("eth0")));
    root.writeFile(QStringLiteral("sys/class/net/eth0/statistics/collisions"), "12abc\n");
    EXPECT_FALSE(reader.statistics(QStringLiteral("eth0")));
    root.writeFile(QStringLiteral("sys/class/net/eth0/statistics/collisions"), "\n");
    EXPECT_FALSE(reader.statistics(QStringLiteral("eth0")));

    // Bit 0: the link state is known; bit 1: carrier and not down.
    EXPECT_EQ(reader.linkStatus(QStringLiteral("eth0")), 3u);
    EXPECT_EQ(reader.linkStatus(QStringLiteral("bond0")), 1u);
    EXPECT_EQ(reader.linkStatus(QStringLiteral("wlan0")), 1u);
    EXPECT_EQ(reader.linkStatus(QStringLiteral("missing")), 0u);
}

TEST(NetInterfaceReader, StatisticsBlockKeepsTheLowHalvesOfFiveCountersInDriverOrder)
{
    const NetInterfaceReader reader(network());
    const QByteArray block = reader.statisticsBlock(QStringLiteral("en7"));
    ASSERT_EQ(block.size(), 20);
    const auto at = [&](int i) { return qFromLittleEndian<quint32>(block.constData() + 4 * i); };
    // Input packets 2^32 - 1, input errors, output packets 2^32 (low half 0), output errors, collisions.
    EXPECT_EQ(at(0), 0xFFFFFFFFu);
    EXPECT_EQ(at(1), 0u);
    EXPECT_EQ(at(2), 0u);
    EXPECT_EQ(at(3), 0u);
    EXPECT_EQ(at(4), 0u);
    EXPECT_EQ(qFromLittleEndian<quint32>(reader.statisticsBlock(QStringLiteral("eth0")).constData() + 16), 3u);
    EXPECT_TRUE(reader.statisticsBlock(QStringLiteral("missing")).isEmpty());
}

TEST(DefaultRoute, PrimaryInterfaceIsTheUpDefaultRouteWithTheLowestMetric)
{
    // br0's default route has the lowest metric but is not up; wlan0's costs more than eth0's.
    EXPECT_EQ(DefaultRoute::primaryInterface(network()), QStringLiteral("eth0"));
    EXPECT_EQ(DefaultRoute::primaryInterfaceInRouteTable("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                                         "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n"),
        QString());
    EXPECT_EQ(DefaultRoute::primaryInterfaceInRouteTable("header\neth0\t00000000\tbroken\n"), QString());
    EXPECT_EQ(DefaultRoute::primaryInterfaceInRouteTable(""), QString());
    EXPECT_EQ(DefaultRoute::primaryInterface(QStringLiteral("/nonexistent")), QString());
}
