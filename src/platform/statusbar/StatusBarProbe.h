#pragma once

#include <QDBusConnection>
#include <QString>

#include <chrono>

// What the desktop offers for showing status items, asked once at start-up
// before a status bar back end is chosen.
class StatusBarProbe {
public:
    static inline const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    // True when some program owns the StatusNotifierWatcher name on the bus.
    static bool isStatusNotifierWatcherRegistered(const QDBusConnection& bus);
    enum class Display { Available, Absent, Silent };
    static constexpr std::chrono::milliseconds X11Timeout{5000};

    // Available when DISPLAY names an X server that accepts a connection;
    // Silent when it accepted the socket but did not answer in time.
    static Display x11Display(std::chrono::milliseconds timeout = X11Timeout);

    enum class WaylandDisplay { Absent, Plain, LayerShell, Silent };
    // Plain when WAYLAND_DISPLAY names a compositor that answers; LayerShell
    // when it also offers the wlr layer shell that the own bar is made of.
    static WaylandDisplay waylandDisplay(std::chrono::milliseconds timeout = X11Timeout);
};
