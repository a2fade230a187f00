#include "platform/statusbar/StatusBarProbe.h"

#include "platform/log/Log.h"

#include <QDBusConnectionInterface>

#include <future>
#include <memory>
#include <thread>

#include <wayland-client.h>
#include <xcb/xcb.h>

#include <cstring>
#include <optional>

namespace {

// Asks on a thread of its own, left behind when no answer comes in time: a
// server that accepted the connection but hangs would block the caller for good.
template <typename Answer, typename Ask>
std::optional<Answer> askAside(std::chrono::milliseconds timeout, Ask ask)
{
    auto answer = std::make_shared<std::promise<Answer>>();
    std::future<Answer> answered = answer->get_future();
    std::thread([answer, ask] { answer->set_value(ask()); }).detach();
    if (answered.wait_for(timeout) != std::future_status::ready)
        return std::nullopt;
    return answered.get();
}

} // namespace

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
    // xcb_connect waits for the server's answer without a time limit.
    const std::optional<bool> answers = askAside<bool>(timeout, [] {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool ok = connection && xcb_connection_has_error(connection) == 0;
        if (connection)
            xcb_disconnect(connection);
        return ok;
    });
    if (!answers)
        return Display::Silent;
    return *answers ? Display::Available : Display::Absent;
}

namespace {

void announceGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0)
        *static_cast<bool*>(data) = true;
}

void withdrawGlobal(void*, wl_registry*, uint32_t) {}

const wl_registry_listener globalsListener{announceGlobal, withdrawGlobal};

} // namespace

StatusBarProbe::WaylandDisplay StatusBarProbe::waylandDisplay(std::chrono::milliseconds timeout)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return WaylandDisplay::Absent;
    // A compositor that accepted the socket but hangs would block the round trip.
    return askAside<WaylandDisplay>(timeout, [] {
        wl_display* display = wl_display_connect(nullptr);
        if (!display)
            return WaylandDisplay::Absent;
        bool layerShell = false;
        wl_registry* registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &globalsListener, &layerShell);
        const bool answers = wl_display_roundtrip(display) >= 0;
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return !answers ? WaylandDisplay::Absent
            : layerShell ? WaylandDisplay::LayerShell
                         : WaylandDisplay::Plain;
    }).value_or(WaylandDisplay::Silent);
}
