#include "platform/net/NetDeviceTable.h"
#include "platform/net/NetInterfaceReader.h"

#include <gtest/gtest.h>

namespace {

// As a 6.x kernel writes it, with a long name, a counter past 32 bits and
// names outside ASCII, which the kernel passes through as bytes.
constexpr std::string_view Sample =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n"
    "    lo: 2578506   14841    0    0    0     0          0         0  2578506   14841    0    0    0     0       0          0\n"
    "  eth0: 1763820216   40100    3    0    0     0          0         0  2078243   25101    4    0    0     5       0          0\n"
    "veth0123456789a: 18446744073709551615 7 0 0 0 0 0 0 1 2 0 0 0 0 0 0\n"
    "  w\xc3\xa4rme: 10 1 0 0 0 0 0 0 20 2 0 0 0 0 0 0\n";

} // namespace

TEST(NetDeviceTable, ReadsEveryInterfacesCountersAndLeavesOutLinesThatAreNoRows)
{
    NetDeviceTable table;
    ASSERT_TRUE(table.parse(Sample));
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.find(QStringLiteral("eth0")), (NetInterfaceStatistics {40100, 3, 1763820216, 25101, 4, 2078243, 5}));
    EXPECT_EQ(table.find(QStringLiteral("veth0123456789a"))->inputBytes, 18446744073709551615ull);
    EXPECT_EQ(table.find(QStringLiteral("wärme"))->outputBytes, 20u);
    EXPECT_EQ(table.find(QStringLiteral("eth")), std::nullopt) << "a prefix is another name";
    EXPECT_EQ(table.find(QStringLiteral("eth0 ")), std::nullopt);

    // Damaged rows go; the rest still counts, and a parse forgets the last one.
    const std::string damaged = std::string(Sample.substr(0, Sample.find("    lo:")))
        + "  eth0: 1 2 3\n"                                            // too few counters
        + "  eth1: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n"         // too many
        + "  eth2: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 x16\n"          // not a number
        + "  eth3: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 99999999999999999999\n" // past 64 bits
        + "      : 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"           // no name
        + "no colon at all\n"
        + "  eth4: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16";             // no line end
    ASSERT_TRUE(table.parse(damaged));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.find(QStringLiteral("eth4")), (NetInterfaceStatistics {2, 3, 1, 10, 11, 9, 14}));
    EXPECT_EQ(table.find(QStringLiteral("lo")), std::nullopt);

    EXPECT_FALSE(table.parse("")) << "empty";
    EXPECT_FALSE(table.parse("MemTotal: 100 kB\n")) << "another file";
    EXPECT_FALSE(table.parse(Sample.substr(0, Sample.find('\n') + 1))) << "cut after the first header line";
}

TEST(NetDeviceTable, TheKernelsTableAgreesWithTheInterfaceFoldersOfThisMachine)
{
    const NetInterfaceReader reader;
    const NetDeviceTable* table = reader.allStatistics();
    ASSERT_NE(table, nullptr) << "/proc/net/dev";
    const QStringList names = reader.interfaceNames();
    ASSERT_FALSE(names.isEmpty());
    QStringList withCounters;
    for (const QString& name : names) {
        // Read one after the other, so counters may only have grown in between;
        // entries of the folder that are no interface (bonding_masters) have no counters.
        const std::optional<NetInterfaceStatistics> fromTable = table->find(name);
        const std::optional<NetInterfaceStatistics> fromFolder = reader.statistics(name);
        if (!fromFolder)
            continue;
        withCounters.append(name);
        ASSERT_TRUE(fromTable) << name.toStdString();
        EXPECT_LE(fromTable->inputBytes, fromFolder->inputBytes) << name.toStdString();
        EXPECT_LE(fromTable->outputPackets, fromFolder->outputPackets) << name.toStdString();
        EXPECT_LE(fromFolder->inputBytes - fromTable->inputBytes, 1u << 20) << name.toStdString();
        EXPECT_EQ(fromTable->inputErrors, fromFolder->inputErrors) << name.toStdString();
        EXPECT_EQ(fromTable->collisions, fromFolder->collisions) << name.toStdString();
    }
    EXPECT_EQ(table->size(), std::size_t(withCounters.size()));
    // A refresh takes the names from the table: the interfaces with counters, in the same order.
    EXPECT_EQ(reader.interfaceNames(table), withCounters);
}
