#pragma once

#include <QProcess>
#include <QString>

// A dbus-daemon of the test's own, so tests never see (or disturb) the
// user's session bus.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon could not be started.
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
