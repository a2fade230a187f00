#include "instruments/QRNNetActivityInstrument.h"
#include "platform/log/LogCapture.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/registry/FixtureRegistry.h"
#include "platform/registry/LinuxRegistry.h"
#include "storage/QRNIORegistryEntry.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray block(quint32 inPackets, quint32 outPackets)
{
    QByteArray bytes(20, '\0');
    qToLittleEndian<quint32>(inPackets, bytes.data());
    qToLittleEndian<quint32>(7, bytes.data() + 4);
    qToLittleEndian<quint32>(outPackets, bytes.data() + 8);
    return bytes;
}

// A controller with the given link status (none: not published) and its interface.
QVariantMap controller(const QString& name, const QVariant& linkStatus, const QVariant& data)
{
    QVariantMap controllerProperties;
    if (linkStatus.isValid())
        controllerProperties.insert(QStringLiteral("IOLinkStatus"), linkStatus);
    QVariantMap interfaceProperties {{QStringLiteral("BSD Name"), name}};
    if (data.isValid()) {
        interfaceProperties.insert(QStringLiteral("IONetworkData"),
            QVariantMap {{QStringLiteral("IONetworkStatsKey"), QVariantMap {{QStringLiteral("Data"), data}}}});
    }
    const QVariantMap interface {{QStringLiteral("name"), name}, {QStringLiteral("class"), QStringLiteral("IONetworkInterface")},
        {QStringLiteral("label"), name}, {QStringLiteral("properties"), interfaceProperties}};
    return {{QStringLiteral("name"), QStringLiteral("controller")}, {QStringLiteral("class"), QStringLiteral("IOEthernetController")},
        {QStringLiteral("properties"), controllerProperties}, {QStringLiteral("children"), QVariantList {interface}}};
}

class NetActivityRegistry {
public:
    explicit NetActivityRegistry(const QVariantList& controllers)
    {
        auto registry = FixtureRegistry::fromPropertyList(QVariantMap {{QStringLiteral("name"), QStringLiteral("Root")},
            {QStringLiteral("class"), QStringLiteral("IORegistryEntry")}, {QStringLiteral("children"), controllers}});
        EXPECT_TRUE(registry);
        m_registry = registry.get();
        Registry::setShared(std::move(registry));
    }
    ~NetActivityRegistry() { Registry::setShared(nullptr); }
    FixtureRegistry& registry() { return *m_registry; }

private:
    FixtureRegistry* m_registry = nullptr;
};

constexpr qint64 Up = 3;
constexpr qint64 Down = 1;

} // namespace

TEST(QRNNetActivityInstrument, OnlyExactlyTwentyByteBlocksOfNamedInterfacesMakeInstruments)
{
    const QString sysroot = FixtureSysroot::fixture(QStringLiteral("network"));
    NetActivityRegistry fixture({controller("eth0", Up, block(10, 20)), controller("short0", Up, QByteArray(19, '\1')),
        controller("long0", Up, QByteArray(21, '\1')), controller("nodata0", Up, {}), controller("", Up, block(1, 1)),
        controller("text0", Up, QStringLiteral("twenty characters!!!"))});
    const auto all = QRNNetActivityInstrument::netActivityInstrumentsForAllHardwareInterfaces(sysroot);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->deviceIdentification(), QStringLiteral("eth0"));
    EXPECT_FALSE(all[0]->needsKernelAccess());
    EXPECT_EQ(all[0]->currentCounters(), (ActivityCounters {10, 20}));
    EXPECT_TRUE(QRNNetActivityInstrument::netActivityInstrumentForIdentification(QStringLiteral("eth0"), sysroot));
    EXPECT_FALSE(QRNNetActivityInstrument::netActivityInstrumentForIdentification(QStringLiteral("short0"), sysroot));
    EXPECT_FALSE(QRNNetActivityInstrument::netActivityInstrumentForIdentification(QString(), sysroot));
}

TEST(QRNNetActivityInstrument, AllZeroBlockOnALiveLinkSwitchesToTheKernelCountersOnADeadLinkItDoesNot)
{
    FixtureSysroot root(QStringLiteral("network"));
    const QByteArray zeros(20, '\0');
    // A parent without a link status counts as live.
    NetActivityRegistry fixture({controller("eth0", Up, zeros), controller("wlan0", Down, zeros),
        controller("br0", {}, zeros), controller("gone0", Up, zeros)});
    LogCapture log;
    const auto all = QRNNetActivityInstrument::netActivityInstrumentsForAllHardwareInterfaces(root.root());
    ASSERT_EQ(all.size(), 3u) << "gone0 has no kernel counters: rejected";
    EXPECT_TRUE(all[0]->needsKernelAccess());
    EXPECT_EQ(all[0]->currentCounters(), (ActivityCounters {24230, 15879}));
    EXPECT_FALSE(all[1]->needsKernelAccess());
    EXPECT_EQ(all[1]->deviceIdentification(), QStringLiteral("wlan0"));
    EXPECT_TRUE(all[2]->needsKernelAccess());
    EXPECT_TRUE(log.contains(LogLevel::Info, QStringLiteral("Network driver 'IOEthernetController' for interface 'eth0' does not provide valid statistics. Attempting kernel-based access.")));
    EXPECT_TRUE(log.contains(LogLevel::Fault, QStringLiteral("Kernel-based statistics access for interface 'gone0' also failed. The interface must be rejected.")));

    // The kernel's counters are 64 bits wide and drive the state.
    root.writeFile(QStringLiteral("sys/class/net/eth0/statistics/tx_packets"), "9000000000\n");
    all[0]->collectNewSample();
    EXPECT_EQ(all[0]->currentCounters(), (ActivityCounters {24230, 9000000000}));
    EXPECT_EQ(all[0]->currentActivity(), ActivityState::Outgoing);
    all[0]->collectNewSample();
    EXPECT_EQ(all[0]->currentActivity(), ActivityState::Idle);
}

TEST(QRNNetActivityInstrument, RegistryCountersAreReadAfreshAndA32BitWrapStillReadsAsTraffic)
{
    NetActivityRegistry fixture({controller("eth0", Up, block(0xFFFFFFF0, 5))});
    auto& registry = fixture.registry();
    const auto instrument = QRNNetActivityInstrument::netActivityInstrumentForIdentification(QStringLiteral("eth0"));
    ASSERT_TRUE(instrument);
    const auto setBlock = [&](const QByteArray& data) {
        registry.setProperty(registry.entryLabelled(QStringLiteral("eth0")), QStringLiteral("IONetworkData"),
            QVariantMap {{QStringLiteral("IONetworkStatsKey"), QVariantMap {{QStringLiteral("Data"), data}}}});
    };
    setBlock(block(0x10, 5));
    instrument->collectNewSample();
    EXPECT_EQ(instrument->currentActivity(), ActivityState::Incoming);
    instrument->collectNewSample();
    EXPECT_EQ(instrument->currentActivity(), ActivityState::Idle);
    // A block of the wrong size leaves the counters as they were.
    setBlock(QByteArray(21, '\1'));
    instrument->collectNewSample();
    EXPECT_EQ(instrument->currentCounters(), (ActivityCounters {0x10, 5}));
}

TEST(LinuxRegistry, PublishesEveryInterfaceWithItsCountersBlockBelowAControllerWithTheLinkStatus)
{
    FixtureSysroot root(QStringLiteral("network"));
    Registry::setShared(std::make_unique<LinuxRegistry>(root.root()));
    const auto interfaces = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IONetworkInterface"));
    ASSERT_TRUE(interfaces);
    QStringList names;
    for (const auto& entry : *interfaces)
        names.append(entry->stringValueWithName(QStringLiteral("BSD Name")).value_or(QString()));
    EXPECT_EQ(names, QStringList({"bond0", "br0", "en7", "eth0", "eth0.5", "lo", "sit0", "tun0", "wg0", "wlan0", "wwan0"}));

    const auto eth0 = (*interfaces)[3];
    EXPECT_EQ(eth0->parentServiceEntry()->integerValueWithName(QStringLiteral("IOLinkStatus")), 3);
    EXPECT_EQ((*interfaces)[0]->parentServiceEntry()->integerValueWithName(QStringLiteral("IOLinkStatus")), 1);
    const auto instrument = QRNNetActivityInstrument::initWithIORegistryEntry(eth0, root.root());
    ASSERT_TRUE(instrument);
    EXPECT_EQ(instrument->currentCounters(), (ActivityCounters {24230, 15879}));
    root.writeFile(QStringLiteral("sys/class/net/eth0/statistics/rx_packets"), "24240\n");
    instrument->collectNewSample();
    EXPECT_EQ(instrument->currentActivity(), ActivityState::Incoming);

    // The interface goes; a new one of the same name is a new entry, the old one reads as gone.
    root.writeFile(QStringLiteral("sys/class/net/eth0/ifindex"), "40\n");
    EXPECT_FALSE(eth0->properties());
    Registry::setShared(nullptr);
}
