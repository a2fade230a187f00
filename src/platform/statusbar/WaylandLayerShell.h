#pragma once

#include <QHash>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class QMenu;
class QWidget;
class QWindow;
struct wl_display;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct xdg_popup;
struct xdg_surface;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

// The own bar and its menus on a Wayland compositor with the wlr layer
// shell (sway, Hyprland, Plasma): the bar is a panel surface along the top
// edge that reserves its height, its menus are popups of that panel. Qt 6.4
// cannot give one window a shell of its own, so these windows are created
// without any (Qt::BypassWindowManagerHint, honoured under
// QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT) and their surfaces get their roles
// here, on Qt's own connection to the compositor.
class WaylandLayerShell {
public:
    // Before the application object exists: lets windows go without a shell.
    static void prepareEnvironment();
    // The layer shell of this process' compositor; null when Qt does not run
    // on Wayland or the compositor has no layer shell.
    static WaylandLayerShell* instance();

    WaylandLayerShell(const WaylandLayerShell&) = delete;
    WaylandLayerShell& operator=(const WaylandLayerShell&) = delete;

    // Makes the window (created, not yet painted) a panel along the top edge,
    // `height` tall, that windows keep clear of. `configured` receives the
    // size the compositor gives it, now and whenever the output changes.
    bool attachBar(QWindow* window, int height, std::function<void(QSize)> configured);
    void detachBar(QWindow* window);
    // Before the menu (or notice) shows: Qt is to leave it without a shell of its own.
    static void prepareWindow(QWidget& window);
    // False where windows cannot fade (Wayland has no window opacity).
    static bool windowsFade();
    // Makes the shown menu a popup of the bar, placed under `anchor` (bar
    // coordinates) and holding the pointer until it closes, which a click
    // elsewhere does.
    bool attachMenu(QMenu& menu, QWindow* bar, const QRect& anchor);
    // Makes the shown menu, which has no window of Vistrel's to hang from (a
    // tray host drew the item), a surface above all windows where Qt placed
    // it, with the keyboard; it closes with a choice, Escape or another item.
    bool attachFreeMenu(QMenu& menu);
    // Makes the shown notice window a surface above all windows where Qt
    // placed it, which takes no input.
    bool attachNotice(QWidget& notice);

private:
    struct Bar;
    struct Popup;

    explicit WaylandLayerShell(wl_display* display);
    // Drops the menu's surface roles when it hides; its next showing is a new surface.
    void forgetOnHide(QMenu& menu, QWindow* window);
    bool attachOverlay(QWindow* window, const QRect& frame, bool keyboard);
    bool isComplete() const { return m_layerShell && m_wmBase; }

    static void announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void withdraw(void* data, wl_registry* registry, uint32_t name);
    static void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities);
    static void pointerButton(void* data, wl_pointer* pointer, uint32_t serial, uint32_t time, uint32_t button,
        uint32_t state);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    xdg_wm_base* m_wmBase = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    // A popup that holds the pointer names the press that opened it.
    uint32_t m_lastPressSerial = 0;
    QHash<QWindow*, std::shared_ptr<Bar>> m_bars;
    QHash<QWindow*, std::shared_ptr<Popup>> m_popups;
};
