#pragma once

#include "platform/hotplug/DeviceWatch.h"

#include <QSet>

#include <memory>

class QSocketNotifier;
class RtnetlinkSocket;

// Posted (no user info) when an address or a route of any interface changed:
// the moment to look again for the primary interface and its addresses.
inline constexpr const char* NetworkConfigurationDidChangeNotification = "NetworkConfigurationDidChange";

// Network interfaces as the kernel's routing socket announces them: a link
// that appears or goes away, and every change of addresses and routes, read
// on a socket notifier of the main loop.
class RtnetlinkWatch : public DeviceWatch {
    Q_OBJECT
public:
    RtnetlinkWatch();
    ~RtnetlinkWatch() override;

    bool isWatching() const;
    // How many watches follow the kernel now: while one does, every change of
    // addresses is announced and readers may keep what they read.
    static int activeWatchCount();
    QStringList presentDevices() const override;

    // What one batch of routing messages means: links that appeared, links
    // that went away, and whether addresses or routes changed.
    struct Changes {
        QStringList added;
        QStringList removed;
        bool configurationChanged = false;
    };
    static Changes parse(const QByteArray& messages);

Q_SIGNALS:
    void configurationChanged();

private:
    void readMessages();
    QSet<QString> dumpLinks() const;

    std::unique_ptr<RtnetlinkSocket> m_socket;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QSet<QString> m_links;
};
