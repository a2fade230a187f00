#include "platform/statusbar/StatusBarProbe.h"

#include "platform/log/Log.h"

#include <QDBusConnectionInterface>

#include <future>
#include <memory>
#include <thread>

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

StatusBarProbe::Display StatusBarProbe::x11Display(std::chrono::milliseconds timeout)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return Display::Absent;
    // xcb_connect waits for the server's answer without a time limit, so it
    // runs on a thread of its own, left behind when no answer comes in time.
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    std::thread([answer] {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool ok = connection && xcb_connection_has_error(connection) == 0;
        if (connection)
            xcb_disconnect(connection);
        answer->set_value(ok);
    }).detach();
    if (answered.wait_for(timeout) != std::future_status::ready)
        return Display::Silent;
    return answered.get() ? Display::Available : Display::Absent;
}
