#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

// The addresses of one interface in the order the system lists them, as text,
// with one set of IPv6 flags per IPv6 address.
struct InterfaceAddressList {
    QStringList ipv4;
    QStringList ipv6;
    QList<quint32> ipv6Flags;
    bool operator==(const InterfaceAddressList&) const = default;
};

// Interface name -> addresses; an interface the system lists without any
// IPv4 or IPv6 address has an empty entry, one it does not list has none.
using InterfaceAddressTable = QHash<QString, InterfaceAddressList>;

namespace InterfaceAddresses {

// IPv6 address flag bits as the menus name them.
enum IPv6Flag : quint32 {
    Anycast = 0x1,
    Tentative = 0x2,
    Duplicated = 0x4,
    Detached = 0x8,
    Deprecated = 0x10,
    Autoconf = 0x40,
    Temporary = 0x80,
    Dynamic = 0x100,
    Optimistic = 0x200,
    Secured = 0x400,
};

// The kernel's IFA_F_* flags of an address in those bits. Linux has no
// anycast, detached or dynamic per-address flag; an address with a lifetime
// (not permanent) was configured automatically.
quint32 flagsForKernelFlags(quint32 kernelFlags, bool isLinkLocal);

// The IPv6 flags of every address in a dump of RTM_GETADDR messages, keyed by
// flagKey(interface index, 16 address bytes).
QHash<QByteArray, quint32> parseIPv6AddressMessages(const QByteArray& messages);
QByteArray flagKey(quint32 interfaceIndex, const void* address16);

// getifaddrs with the IPv6 flags from the kernel's routing socket.
InterfaceAddressTable systemAddresses();

} // namespace InterfaceAddresses
