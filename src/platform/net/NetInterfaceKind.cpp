#include "platform/net/NetInterfaceKind.h"

#include <QCoreApplication>

namespace {

// ARPHRD_* values of <linux/if_arp.h>.
constexpr int EtherType = 1;
constexpr int InfiniBandType = 32;
constexpr int PPPType = 512;
constexpr int LoopbackType = 772;

QString text(const char* source)
{
    return QCoreApplication::translate("NetInterfaceKind", source);
}

} // namespace

QString NetInterfaceKind::displayName(const NetInterfaceFacts& facts)
{
    if (facts.type == LoopbackType)
        return {};
    const QString& devtype = facts.deviceType;
    if (facts.hasWireless || devtype == QLatin1String("wlan"))
        return text("Wi-Fi");
    if (devtype == QLatin1String("wwan"))
        return text("Cellular");
    if (facts.hasBridge || devtype == QLatin1String("bridge"))
        return text("Bridge");
    if (facts.hasBonding || devtype == QLatin1String("bond"))
        return text("Bond");
    if (devtype == QLatin1String("vlan"))
        return text("VLAN");
    if (facts.hasTunFlags || devtype == QLatin1String("wireguard"))
        return text("VPN");
    switch (facts.type) {
    case EtherType:
        // Ethernet devices without a more special kind, virtual ones included
        // (the veth of a container is its Ethernet).
        return devtype.isEmpty() ? text("Ethernet") : QString();
    case InfiniBandType: return text("InfiniBand");
    case PPPType: return text("PPP");
    default: return {};
    }
}
