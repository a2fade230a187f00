#pragma once

#include <QByteArray>

#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cstring>

// Routing-socket messages as the kernel lays them out, for the parsers.
namespace RoutingMessages {

inline QByteArray attribute(quint16 type, const QByteArray& data)
{
    rtattr header {};
    header.rta_len = quint16(RTA_LENGTH(data.size()));
    header.rta_type = type;
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += data;
    bytes.append(QByteArray(RTA_ALIGN(header.rta_len) - header.rta_len, '\0'));
    return bytes;
}

template <typename Body>
QByteArray message(quint16 type, const Body& body, const QByteArray& attributes)
{
    nlmsghdr header {};
    header.nlmsg_type = type;
    QByteArray payload(reinterpret_cast<const char*>(&body), sizeof body);
    payload.append(QByteArray(NLMSG_ALIGN(sizeof body) - sizeof body, '\0'));
    payload += attributes;
    header.nlmsg_len = quint32(NLMSG_LENGTH(payload.size()));
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += payload;
    bytes.append(QByteArray(NLMSG_ALIGN(header.nlmsg_len) - header.nlmsg_len, '\0'));
    return bytes;
}

inline QByteArray link(quint16 type, const char* name)
{
    ifinfomsg body {};
    return message(type, body, attribute(IFLA_IFNAME, QByteArray(name, qsizetype(std::strlen(name) + 1))));
}

inline QByteArray address6(quint32 index, const QByteArray& address16, quint8 shortFlags, const QByteArray& more = {})
{
    ifaddrmsg body {};
    body.ifa_family = AF_INET6;
    body.ifa_flags = shortFlags;
    body.ifa_index = index;
    return message(RTM_NEWADDR, body, attribute(IFA_ADDRESS, address16) + more);
}

inline QByteArray flags32(quint32 flags)
{
    return attribute(IFA_FLAGS, QByteArray(reinterpret_cast<const char*>(&flags), sizeof flags));
}

} // namespace RoutingMessages
