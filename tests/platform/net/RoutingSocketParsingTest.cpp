#include "platform/hotplug/RtnetlinkWatch.h"
#include "platform/net/InterfaceAddresses.h"
#include "RoutingMessages.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

namespace {

QByteArray address(const char* text)
{
    QByteArray bytes(16, '\0');
    ::inet_pton(AF_INET6, text, bytes.data());
    return bytes;
}

quint32 flagsOf(const QHash<QByteArray, quint32>& table, quint32 index, const char* text)
{
    const QByteArray bytes = address(text);
    const QByteArray key = InterfaceAddresses::flagKey(index, bytes.constData());
    EXPECT_TRUE(table.contains(key)) << text;
    return table.value(key);
}

} // namespace

TEST(InterfaceAddresses, KernelAddressFlagsBecomeTheMenusFlagBits)
{
    using namespace InterfaceAddresses;
    EXPECT_EQ(flagsForKernelFlags(IFA_F_PERMANENT, false), 0u);
    EXPECT_EQ(flagsForKernelFlags(IFA_F_PERMANENT | IFA_F_TENTATIVE, false), quint32(Tentative));
    EXPECT_EQ(flagsForKernelFlags(IFA_F_PERMANENT | IFA_F_DADFAILED | IFA_F_TENTATIVE, false), quint32(Duplicated | Tentative));
    // A kernel-made address has a lifetime: configured automatically.
    EXPECT_EQ(flagsForKernelFlags(IFA_F_DEPRECATED, false), quint32(Deprecated | Autoconf));
    EXPECT_EQ(flagsForKernelFlags(IFA_F_TEMPORARY, false), quint32(Temporary | Autoconf));
    EXPECT_EQ(flagsForKernelFlags(IFA_F_PERMANENT | IFA_F_STABLE_PRIVACY | IFA_F_OPTIMISTIC, false), quint32(Secured | Optimistic));
    // The link-local address is not autoconfigured in the menu's sense, whatever its lifetime.
    EXPECT_EQ(flagsForKernelFlags(0, true), 0u);
    EXPECT_EQ(flagsForKernelFlags(IFA_F_PERMANENT | IFA_F_MANAGETEMPADDR, false), quint32(Autoconf));
}

TEST(InterfaceAddresses, DumpGivesEachIPv6AddressItsFullFlagsAndSurvivesBrokenMessages)
{
    using namespace RoutingMessages;
    ifaddrmsg v4 {};
    v4.ifa_family = AF_INET;
    v4.ifa_index = 2;
    const QByteArray dump = address6(2, address("2001:db8::1"), IFA_F_PERMANENT)
        // The 32-bit attribute wins over the 8-bit field, which cannot hold the higher flags.
        + address6(2, address("2001:db8::2"), IFA_F_PERMANENT, flags32(IFA_F_PERMANENT | IFA_F_STABLE_PRIVACY))
        + address6(3, address("fe80::1"), IFA_F_PERMANENT | IFA_F_TENTATIVE)
        // IPv4 and link messages are not addresses of interest.
        + message(RTM_NEWADDR, v4, attribute(IFA_ADDRESS, QByteArray(4, '\1')))
        + link(RTM_NEWLINK, "eth0");
    const QHash<QByteArray, quint32> flags = InterfaceAddresses::parseIPv6AddressMessages(dump);
    EXPECT_EQ(flags.size(), 3);
    EXPECT_EQ(flagsOf(flags, 2, "2001:db8::1"), 0u);
    EXPECT_EQ(flagsOf(flags, 2, "2001:db8::2"), quint32(InterfaceAddresses::Secured));
    EXPECT_EQ(flagsOf(flags, 3, "fe80::1"), quint32(InterfaceAddresses::Tentative));

    // A message whose length runs past the end, or is shorter than its header, ends the walk.
    for (int cut = 1; cut < dump.size(); cut += 7)
        InterfaceAddresses::parseIPv6AddressMessages(dump.left(cut));
    QByteArray lying = dump;
    lying[0] = char(0xff);
    lying[1] = char(0x7f);
    EXPECT_TRUE(InterfaceAddresses::parseIPv6AddressMessages(lying).isEmpty());
    QByteArray tiny = dump;
    tiny[0] = 4;
    tiny[1] = 0;
    EXPECT_TRUE(InterfaceAddresses::parseIPv6AddressMessages(tiny).isEmpty());
}

TEST(RtnetlinkWatch, LinkMessagesNameArrivalsAndDeparturesWithTheLastWordWinning)
{
    using namespace RoutingMessages;
    ifaddrmsg body {};
    const RtnetlinkWatch::Changes changes = RtnetlinkWatch::parse(link(RTM_NEWLINK, "veth0") + link(RTM_NEWLINK, "veth1")
        + link(RTM_NEWLINK, "veth0") + link(RTM_DELLINK, "veth1") + link(RTM_DELLINK, "eth9") + link(RTM_NEWLINK, "eth9"));
    EXPECT_EQ(changes.added, QStringList({"veth0", "eth9"}));
    EXPECT_EQ(changes.removed, QStringList({"veth1"}));
    EXPECT_FALSE(changes.configurationChanged);

    EXPECT_TRUE(RtnetlinkWatch::parse(message(RTM_DELADDR, body, {})).configurationChanged);
    rtmsg route {};
    EXPECT_TRUE(RtnetlinkWatch::parse(message(RTM_NEWROUTE, route, {})).configurationChanged);
    // A link without a name, or a name attribute cut short, names nothing.
    ifinfomsg nameless {};
    EXPECT_TRUE(RtnetlinkWatch::parse(message(RTM_NEWLINK, nameless, {})).added.isEmpty());
    EXPECT_TRUE(RtnetlinkWatch::parse(link(RTM_NEWLINK, "veth0").left(20)).added.isEmpty());
}
