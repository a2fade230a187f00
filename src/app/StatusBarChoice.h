#pragma once

#include "app/CommandLine.h"

#include <optional>

// Which status bar back end serves the user's request on this desktop.
struct StatusBarChoice {
    enum class BackEnd {
        StatusNotifierTray,  // StatusNotifierItem objects, shown by the watcher's hosts
        XEmbedTray,          // icons docked in an XEmbed system tray
        OwnBar,              // Vistrel's own bar window
        Offscreen,           // nowhere
    };

    // What the display can hold besides a tray host on the bus.
    struct Display {
        bool ownBar = false;  // an X display, or a Wayland compositor with a layer shell
        bool xembed = false;  // an X display that Vistrel draws on
    };

    // Auto prefers the tray when a StatusNotifierWatcher runs, else the own
    // bar where the display can hold it, else offscreen. A forced tray
    // without a watcher falls back to the XEmbed tray. None when the forced
    // choice cannot be served here.
    static std::optional<BackEnd> backEndFor(CommandLine::StatusBarMode requested, bool watcherPresent,
        Display display);
};
