#include "platform/hotplug/RtnetlinkWatch.h"

#include "platform/log/Log.h"
#include "platform/net/RtnetlinkSocket.h"
#include "platform/notifications/NotificationCenter.h"

#include <QSocketNotifier>

#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> activeWatches {0};

QString linkName(const char* payload, size_t length)
{
    if (length < sizeof(ifinfomsg))
        return {};
    QString name;
    RtnetlinkSocket::forEachAttribute(payload + NLMSG_ALIGN(sizeof(ifinfomsg)), length - NLMSG_ALIGN(sizeof(ifinfomsg)),
        [&](quint16 type, const char* data, size_t size) {
            if (type == IFLA_IFNAME)
                name = QString::fromLocal8Bit(data, qstrnlen(data, size));
        });
    return name;
}

void apply(RtnetlinkWatch::Changes& changes, quint16 type, const char* payload, size_t length)
{
    switch (type) {
    case RTM_NEWLINK:
    case RTM_DELLINK: {
        const QString name = linkName(payload, length);
        if (name.isEmpty())
            return;
        QStringList& into = type == RTM_NEWLINK ? changes.added : changes.removed;
        QStringList& other = type == RTM_NEWLINK ? changes.removed : changes.added;
        // The last word on a link within one batch counts.
        other.removeAll(name);
        if (!into.contains(name))
            into.append(name);
        break;
    }
    case RTM_NEWADDR:
    case RTM_DELADDR:
    case RTM_NEWROUTE:
    case RTM_DELROUTE: changes.configurationChanged = true; break;
    default: break;
    }
}

} // namespace

RtnetlinkWatch::RtnetlinkWatch()
    : m_socket(std::make_unique<RtnetlinkSocket>(RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE))
{
    if (!m_socket->isOpen()) {
        Log::fault("%{public}@: could not open the kernel's routing socket; network interfaces are not followed.",
            {QStringLiteral("RtnetlinkWatch")});
        return;
    }
    // Joined before the dump, so a link that appears in between is not missed.
    m_links = dumpLinks();
    m_notifier = std::make_unique<QSocketNotifier>(m_socket->descriptor(), QSocketNotifier::Read);
    ++activeWatches;
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &RtnetlinkWatch::readMessages);
}

RtnetlinkWatch::~RtnetlinkWatch()
{
    if (m_notifier)
        --activeWatches;
}

int RtnetlinkWatch::activeWatchCount()
{
    return activeWatches;
}

bool RtnetlinkWatch::isWatching() const
{
    return m_notifier != nullptr;
}

QStringList RtnetlinkWatch::presentDevices() const
{
    QStringList names(m_links.cbegin(), m_links.cend());
    names.sort();
    return names;
}

QSet<QString> RtnetlinkWatch::dumpLinks() const
{
    QSet<QString> links;
    RtnetlinkSocket dumper;
    dumper.dump(RTM_GETLINK, AF_UNSPEC, [&](quint16 type, const char* payload, size_t length) {
        if (type == RTM_NEWLINK) {
            const QString name = linkName(payload, length);
            if (!name.isEmpty())
                links.insert(name);
        }
    });
    return links;
}

RtnetlinkWatch::Changes RtnetlinkWatch::parse(const QByteArray& messages)
{
    Changes changes;
    RtnetlinkSocket::forEachMessage(messages, [&](quint16 type, const char* payload, size_t length) {
        apply(changes, type, payload, length);
    });
    return changes;
}

void RtnetlinkWatch::readMessages()
{
    Changes changes;
    bool overrun = false;
    m_socket->receivePending([&](quint16 type, const char* payload, size_t length) { apply(changes, type, payload, length); },
        &overrun);
    if (overrun) {
        // Messages were lost: compare with the kernel's list instead.
        const QSet<QString> now = dumpLinks();
        changes.added.clear();
        changes.removed.clear();
        for (const QString& name : now)
            changes.added.append(name);
        for (const QString& name : std::as_const(m_links)) {
            if (!now.contains(name))
                changes.removed.append(name);
        }
        changes.configurationChanged = true;
    }
    for (const QString& name : std::as_const(changes.removed)) {
        if (m_links.remove(name))
            Q_EMIT deviceDeparted(name);
    }
    for (const QString& name : std::as_const(changes.added)) {
        if (!m_links.contains(name)) {
            m_links.insert(name);
            Q_EMIT deviceArrived(name);
        }
    }
    if (changes.configurationChanged) {
        Q_EMIT configurationChanged();
        NotificationCenter::defaultCenter().post(QLatin1String(NetworkConfigurationDidChangeNotification));
    }
}
