#include "platform/net/InterfaceAddresses.h"

#include "platform/net/RtnetlinkSocket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

namespace {

void collectIPv6Flags(quint16 type, const char* payload, size_t length, QHash<QByteArray, quint32>& flags)
{
    if (type != RTM_NEWADDR || length < sizeof(ifaddrmsg))
        return;
    ifaddrmsg message;
    std::memcpy(&message, payload, sizeof message);
    if (message.ifa_family != AF_INET6)
        return;
    quint32 kernelFlags = message.ifa_flags;
    QByteArray address;
    RtnetlinkSocket::forEachAttribute(payload + NLMSG_ALIGN(sizeof message), length - NLMSG_ALIGN(sizeof message),
        [&](quint16 attribute, const char* data, size_t size) {
            if (attribute == IFA_FLAGS && size >= sizeof(quint32))
                std::memcpy(&kernelFlags, data, sizeof(quint32));
            // IFA_ADDRESS is the local address except on point-to-point links, where IFA_LOCAL is.
            else if ((attribute == IFA_LOCAL || (attribute == IFA_ADDRESS && address.isEmpty())) && size == 16)
                address = QByteArray(data, 16);
        });
    if (address.isEmpty())
        return;
    const bool linkLocal = quint8(address[0]) == 0xfe && (quint8(address[1]) & 0xc0) == 0x80;
    flags.insert(InterfaceAddresses::flagKey(message.ifa_index, address.constData()),
        InterfaceAddresses::flagsForKernelFlags(kernelFlags, linkLocal));
}

QString addressText(int family, const void* address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (!::inet_ntop(family, address, text, sizeof text))
        return {};
    return QString::fromLatin1(text);
}

} // namespace

quint32 InterfaceAddresses::flagsForKernelFlags(quint32 kernel, bool isLinkLocal)
{
    quint32 flags = 0;
    if (kernel & IFA_F_TENTATIVE)
        flags |= Tentative;
    if (kernel & IFA_F_DADFAILED)
        flags |= Duplicated;
    if (kernel & IFA_F_DEPRECATED)
        flags |= Deprecated;
    if (kernel & IFA_F_TEMPORARY)
        flags |= Temporary;
    if (kernel & IFA_F_OPTIMISTIC)
        flags |= Optimistic;
    if (kernel & IFA_F_STABLE_PRIVACY)
        flags |= Secured;
    if ((!(kernel & IFA_F_PERMANENT) && !isLinkLocal) || (kernel & IFA_F_MANAGETEMPADDR))
        flags |= Autoconf;
    return flags;
}

QByteArray InterfaceAddresses::flagKey(quint32 interfaceIndex, const void* address16)
{
    QByteArray key(reinterpret_cast<const char*>(&interfaceIndex), sizeof interfaceIndex);
    key.append(static_cast<const char*>(address16), 16);
    return key;
}

QHash<QByteArray, quint32> InterfaceAddresses::parseIPv6AddressMessages(const QByteArray& messages)
{
    QHash<QByteArray, quint32> flags;
    RtnetlinkSocket::forEachMessage(messages, [&](quint16 type, const char* payload, size_t length) {
        collectIPv6Flags(type, payload, length, flags);
    });
    return flags;
}

InterfaceAddressTable InterfaceAddresses::systemAddresses()
{
    QHash<QByteArray, quint32> flags;
    RtnetlinkSocket socket;
    // Without the routing socket every address reads as in standard operation.
    socket.dump(RTM_GETADDR, AF_INET6, [&](quint16 type, const char* payload, size_t length) {
        collectIPv6Flags(type, payload, length, flags);
    });

    InterfaceAddressTable table;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return table;
    for (const ifaddrs* record = list; record; record = record->ifa_next) {
        if (!record->ifa_name)
            continue;
        InterfaceAddressList& entry = table[QString::fromLocal8Bit(record->ifa_name)];
        if (!record->ifa_addr)
            continue;
        if (record->ifa_addr->sa_family == AF_INET) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(record->ifa_addr);
            const QString text = addressText(AF_INET, &address->sin_addr);
            if (!text.isEmpty())
                entry.ipv4.append(text);
        } else if (record->ifa_addr->sa_family == AF_INET6) {
            const auto* address = reinterpret_cast<const sockaddr_in6*>(record->ifa_addr);
            const QString text = addressText(AF_INET6, &address->sin6_addr);
            if (text.isEmpty())
                continue;
            entry.ipv6.append(text);
            entry.ipv6Flags.append(flags.value(flagKey(::if_nametoindex(record->ifa_name), &address->sin6_addr)));
        }
    }
    ::freeifaddrs(list);
    return table;
}
