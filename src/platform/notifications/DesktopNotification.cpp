#include "platform/notifications/DesktopNotification.h"

#include "platform/log/Log.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QVariantMap>

bool DesktopNotification::post(const QDBusConnection& bus, const QString& summary, const QString& body)
{
    if (!bus.isConnected()) {
        Log::info("%{public}@: no session bus, so no notification '%@'.", {QStringLiteral("DesktopNotification"), summary});
        return false;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // Application name, no notification to replace, no icon, summary, body,
    // no actions, no hints, the server's default display time.
    notify << QCoreApplication::applicationName() << 0u << QString() << summary << body << QStringList()
           << QVariantMap() << -1;
    return bus.send(notify);
}
