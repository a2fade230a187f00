#pragma once

#include <QProcess>
#include <QString>

#include <functional>

// A dbus-daemon of a test's own: nothing reaches the user's session and every test starts with an empty bus.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // Empty when the daemon could not be started.
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Runs the event loop until the condition holds or the time is up.
bool processEventsUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
