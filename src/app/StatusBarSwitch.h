#pragma once

#include "app/StatusBarChoice.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QDBusServiceWatcher;
class StatusBar;

// Keeps the status bar back end that serves the user's request as the
// desktop changes: in the auto and tray modes it watches the bus for a
// StatusNotifierWatcher, moves the status items into the tray when one
// appears and back to the fallback once it has been gone for a while (a
// panel that restarts keeps its items).
class StatusBarSwitch : public QObject {
    Q_OBJECT
public:
    static constexpr int DepartureGraceMs = 3000;

    using Factory = std::function<std::unique_ptr<StatusBar>(StatusBarChoice::BackEnd)>;

    // The factory makes the bar of each back end.
    StatusBarSwitch(CommandLine::StatusBarMode mode, StatusBarChoice::Display display, const QDBusConnection& bus, Factory factory);
    ~StatusBarSwitch() override;

    // Installs the back end for the desktop as it is now; false, and nothing
    // installed, when none serves the request.
    bool start();
    std::optional<StatusBarChoice::BackEnd> backEnd() const { return m_backEnd; }
    void setDepartureGrace(int milliseconds) { m_departure.setInterval(milliseconds); }

private:
    // Switches to the back end for a watcher present or not, if it differs.
    void follow(bool watcherPresent);

    CommandLine::StatusBarMode m_mode;
    StatusBarChoice::Display m_display;
    QDBusConnection m_bus;
    Factory m_factory;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    QTimer m_departure;
    std::optional<StatusBarChoice::BackEnd> m_backEnd;
};
