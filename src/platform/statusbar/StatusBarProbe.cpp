#include "platform/statusbar/StatusBarProbe.h"

#include "platform/log/Log.h"

#include <QDBusConnectionInterface>

#include <xcb/xcb.h>

bool StatusBarProbe::isStatusNotifierWatcherRegistered(const QDBusConnection& bus)
{
    if (!bus.isConnected()) {
        Log::info("%{public}@: no session bus (%@), so no StatusNotifierWatcher.",
            {QStringLiteral("StatusBarProbe"), bus.lastError().message()});
        return false;
    }
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(WatcherService);
    if (!reply.isValid()) {
        Log::error("%{public}@: could not ask the session bus for %@: %@.",
            {QStringLiteral("StatusBarProbe"), WatcherService, reply.error().message()});
        return false;
    }
    return reply.value();
}

bool StatusBarProbe::isX11DisplayAvailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = connection && xcb_connection_has_error(connection) == 0;
    if (connection)
        xcb_disconnect(connection);
    return ok;
}
