#include "platform/statusbar/WaylandLayerShell.h"

#include "platform/log/Log.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>
#include "xdg-shell-client-protocol.h"
// The generated header names a parameter "namespace", a C++ keyword.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

#include <cstring>

namespace {

const QString Category = QStringLiteral("WaylandLayerShell");

wl_surface* surfaceOf(QWindow* window)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!window || !native)
        return nullptr;
    window->create();
    return static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
}

void answerPing(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener wmBaseListener{answerPing};

} // namespace

struct WaylandLayerShell::Bar {
    zwlr_layer_surface_v1* surface = nullptr;
    std::function<void(QSize)> configured;

    ~Bar() { zwlr_layer_surface_v1_destroy(surface); }

    static void configure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t width, uint32_t height)
    {
        zwlr_layer_surface_v1_ack_configure(surface, serial);
        static_cast<Bar*>(data)->configured(QSize(int(width), int(height)));
    }
    static void closed(void*, zwlr_layer_surface_v1*)
    {
        Log::info("%{public}@: the compositor closed the bar (its output went away).", {Category});
    }
    static constexpr zwlr_layer_surface_v1_listener listener{configure, closed};
};

// A menu's roles: a popup of the bar, or a free surface of its own.
struct WaylandLayerShell::Popup {
    xdg_surface* surface = nullptr;
    xdg_popup* popup = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    QPointer<QMenu> menu;

    ~Popup()
    {
        if (popup)
            xdg_popup_destroy(popup);
        if (surface)
            xdg_surface_destroy(surface);
        if (layer)
            zwlr_layer_surface_v1_destroy(layer);
    }

    // Hiding the menu ends these roles; not from inside their own events.
    void dismiss()
    {
        QMetaObject::invokeMethod(qApp, [menu = menu] {
            if (menu)
                menu->hide();
        }, Qt::QueuedConnection);
    }

    static void configureSurface(void*, xdg_surface* surface, uint32_t serial) { xdg_surface_ack_configure(surface, serial); }
    static void configurePopup(void*, xdg_popup*, int32_t, int32_t, int32_t, int32_t) {}
    static void done(void* data, xdg_popup*) { static_cast<Popup*>(data)->dismiss(); }
    static void configureLayer(void*, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t, uint32_t)
    {
        zwlr_layer_surface_v1_ack_configure(layer, serial);
    }
    static void closed(void* data, zwlr_layer_surface_v1*) { static_cast<Popup*>(data)->dismiss(); }
    static constexpr xdg_surface_listener surfaceListener{configureSurface};
    static constexpr xdg_popup_listener popupListener{.configure = configurePopup, .popup_done = done, .repositioned = nullptr};
    static constexpr zwlr_layer_surface_v1_listener layerListener{configureLayer, closed};
};

void WaylandLayerShell::prepareEnvironment()
{
    qputenv("QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT", "1");
}

WaylandLayerShell* WaylandLayerShell::instance()
{
    // Made once and kept to the end: its objects live on Qt's connection,
    // which is gone by the time static objects are destroyed.
    static WaylandLayerShell* const shell = [] () -> WaylandLayerShell* {
        if (QGuiApplication::platformName() != QLatin1String("wayland"))
            return nullptr;
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        auto* display = static_cast<wl_display*>(native ? native->nativeResourceForIntegration("wl_display") : nullptr);
        if (!display)
            return nullptr;
        return new WaylandLayerShell(display);
    }();
    return shell && shell->isComplete() ? shell : nullptr;
}

WaylandLayerShell::WaylandLayerShell(wl_display* display)
    : m_display(display)
{
    static constexpr wl_registry_listener registryListener{announce, withdraw};
    m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    // Globals first, then the seat's capabilities.
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    if (!m_layerShell)
        Log::info("%{public}@: the compositor offers no layer shell.", {Category});
}

void WaylandLayerShell::announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* self = static_cast<WaylandLayerShell*>(data);
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        self->m_layerShell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        self->m_wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(self->m_wmBase, &wmBaseListener, nullptr);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat) {
        // Version 1: its only event is the capabilities.
        static constexpr wl_seat_listener seatListener{.capabilities = seatCapabilities, .name = nullptr};
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(self->m_seat, &seatListener, self);
    }
}

void WaylandLayerShell::withdraw(void*, wl_registry*, uint32_t) {}

void WaylandLayerShell::seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities)
{
    auto* self = static_cast<WaylandLayerShell*>(data);
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (pointer && !self->m_pointer) {
        // Version 1 sends these five events only.
        static constexpr wl_pointer_listener pointerListener{
            .enter = [](void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {},
            .leave = [](void*, wl_pointer*, uint32_t, wl_surface*) {},
            .motion = [](void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {},
            .button = pointerButton,
            .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
            .frame = nullptr,
            .axis_source = nullptr,
            .axis_stop = nullptr,
            .axis_discrete = nullptr,
            .axis_value120 = nullptr,
        };
        self->m_pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(self->m_pointer, &pointerListener, self);
    } else if (!pointer && self->m_pointer) {
        wl_pointer_destroy(self->m_pointer);
        self->m_pointer = nullptr;
    }
}

void WaylandLayerShell::pointerButton(void* data, wl_pointer*, uint32_t serial, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        static_cast<WaylandLayerShell*>(data)->m_lastPressSerial = serial;
}

bool WaylandLayerShell::attachBar(QWindow* window, int height, std::function<void(QSize)> configured)
{
    wl_surface* surface = surfaceOf(window);
    if (!surface)
        return false;
    auto bar = std::make_shared<Bar>();
    bar->configured = std::move(configured);
    bar->surface = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_TOP,
        "vistrel");
    zwlr_layer_surface_v1_add_listener(bar->surface, &Bar::listener, bar.get());
    zwlr_layer_surface_v1_set_anchor(bar->surface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT
            | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(bar->surface, 0, uint32_t(height));
    zwlr_layer_surface_v1_set_exclusive_zone(bar->surface, height);
    m_bars.insert(window, bar);
    // The compositor answers the bare commit with the first configure, which
    // must be acknowledged before Qt attaches its first picture.
    wl_surface_commit(surface);
    wl_display_roundtrip(m_display);
    return true;
}

void WaylandLayerShell::detachBar(QWindow* window)
{
    m_bars.remove(window);
}

void WaylandLayerShell::prepareWindow(QWidget& window)
{
    if (!window.windowFlags().testFlag(Qt::BypassWindowManagerHint))
        window.setWindowFlag(Qt::BypassWindowManagerHint);
}

bool WaylandLayerShell::windowsFade()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void WaylandLayerShell::forgetOnHide(QMenu& menu, QWindow* window)
{
    QObject::connect(&menu, &QMenu::aboutToHide, &menu, [this, window] { m_popups.remove(window); },
        Qt::SingleShotConnection);
}

bool WaylandLayerShell::attachMenu(QMenu& menu, QWindow* barWindow, const QRect& anchor)
{
    const auto bar = m_bars.value(barWindow);
    QWindow* window = menu.windowHandle();
    wl_surface* surface = surfaceOf(window);
    if (!bar || !surface)
        return false;
    auto popup = std::make_shared<Popup>();
    popup->menu = &menu;
    popup->surface = xdg_wm_base_get_xdg_surface(m_wmBase, surface);
    xdg_surface_add_listener(popup->surface, &Popup::surfaceListener, popup.get());
    xdg_positioner* positioner = xdg_wm_base_create_positioner(m_wmBase);
    xdg_positioner_set_size(positioner, std::max(1, window->width()), std::max(1, window->height()));
    xdg_positioner_set_anchor_rect(positioner, anchor.x(), anchor.y(), std::max(1, anchor.width()), std::max(1, anchor.height()));
    xdg_positioner_set_anchor(positioner, XDG_POSITIONER_ANCHOR_BOTTOM_LEFT);
    xdg_positioner_set_gravity(positioner, XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT);
    // The menu's left edge 3 points left of the button, as on the X11 bar.
    xdg_positioner_set_offset(positioner, -3, 0);
    xdg_positioner_set_constraint_adjustment(positioner, XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_X
            | XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_Y);
    popup->popup = xdg_surface_get_popup(popup->surface, nullptr, positioner);
    xdg_positioner_destroy(positioner);
    xdg_popup_add_listener(popup->popup, &Popup::popupListener, popup.get());
    zwlr_layer_surface_v1_get_popup(bar->surface, popup->popup);
    if (m_seat && m_lastPressSerial != 0)
        xdg_popup_grab(popup->popup, m_seat, m_lastPressSerial);
    m_popups.insert(window, popup);
    forgetOnHide(menu, window);
    // As with the bar: configured and acknowledged before Qt's first picture.
    wl_surface_commit(surface);
    wl_display_roundtrip(m_display);
    return true;
}

bool WaylandLayerShell::attachFreeMenu(QMenu& menu)
{
    QWindow* window = menu.windowHandle();
    if (!attachOverlay(window, menu.geometry(), true))
        return false;
    m_popups[window]->menu = &menu;
    forgetOnHide(menu, window);
    return true;
}

bool WaylandLayerShell::attachNotice(QWidget& notice)
{
    return attachOverlay(notice.windowHandle(), notice.geometry(), false);
}

bool WaylandLayerShell::attachOverlay(QWindow* window, const QRect& frame, bool keyboard)
{
    // A surface shown again is a fresh one to Qt; its old role goes first.
    m_popups.remove(window);
    wl_surface* surface = surfaceOf(window);
    if (!surface)
        return false;
    auto popup = std::make_shared<Popup>();
    popup->layer = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, surface, nullptr,
        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "vistrel-overlay");
    zwlr_layer_surface_v1_add_listener(popup->layer, &Popup::layerListener, popup.get());
    zwlr_layer_surface_v1_set_anchor(popup->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_size(popup->layer, uint32_t(std::max(1, frame.width())), uint32_t(std::max(1, frame.height())));
    // Placed from the output's corner, over any panel, where Qt fitted it on the screen.
    zwlr_layer_surface_v1_set_exclusive_zone(popup->layer, -1);
    zwlr_layer_surface_v1_set_margin(popup->layer, frame.top(), 0, 0, frame.left());
    zwlr_layer_surface_v1_set_keyboard_interactivity(popup->layer, keyboard ? 1 : 0);
    m_popups.insert(window, popup);
    wl_surface_commit(surface);
    wl_display_roundtrip(m_display);
    return true;
}
