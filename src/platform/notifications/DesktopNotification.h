#pragma once

#include <QDBusConnection>
#include <QString>

// A message in the desktop's notification area, sent to the notification
// server of the session bus (org.freedesktop.Notifications).
class DesktopNotification {
public:
    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");

    // Sent without waiting for the server; false when the bus is not
    // connected or the message could not be sent.
    static bool post(const QDBusConnection& bus, const QString& summary, const QString& body);
};
