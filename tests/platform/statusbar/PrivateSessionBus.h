#pragma once

#include <QProcess>
#include <QString>

#include <functional>

// A dbus-daemon of our own for one test, so that nothing reaches the user's
// session and every test starts with an empty bus.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Runs the event loop until the condition holds or the time is up.
bool processEventsUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
