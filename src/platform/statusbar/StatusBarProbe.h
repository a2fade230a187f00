#pragma once

#include <QDBusConnection>
#include <QString>

// What the desktop offers for showing status items, asked once at start-up
// before a status bar back end is chosen.
class StatusBarProbe {
public:
    static inline const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    // True when some program owns the StatusNotifierWatcher name on the bus.
    static bool isStatusNotifierWatcherRegistered(const QDBusConnection& bus);
    // True when DISPLAY names an X server that accepts a connection.
    static bool isX11DisplayAvailable();
};
