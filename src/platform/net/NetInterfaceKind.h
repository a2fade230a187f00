#pragma once

#include <QString>

// What sysfs tells about the kind of a network interface.
struct NetInterfaceFacts {
    int type = -1;            // ARPHRD_* from "type"
    QString deviceType;       // DEVTYPE of "uevent" (wlan, bridge, bond, vlan, wwan, wireguard, ...)
    bool hasWireless = false; // "wireless" or "phy80211" present
    bool hasBridge = false;   // "bridge" present
    bool hasBonding = false;  // "bonding" present
    bool hasTunFlags = false; // "tun_flags" present (tun and tap)
};

// The name a user knows an interface by, from its kind: "Ethernet", "Wi-Fi",
// "Bridge", "VPN", "Bond", "VLAN", "Cellular", ...; empty for loopback
// (never listed) and for kinds without a name of their own, which the
// callers show as "Link '<name>'".
namespace NetInterfaceKind {
QString displayName(const NetInterfaceFacts& facts);
} // namespace NetInterfaceKind
