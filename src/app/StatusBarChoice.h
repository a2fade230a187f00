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

    // Auto prefers the tray when a StatusNotifierWatcher runs, else the own
    // bar on an X display, else offscreen. A forced tray without a watcher
    // falls back to the XEmbed tray. None when the forced choice cannot be
    // served here (no display for the bar or the XEmbed tray).
    static std::optional<BackEnd> backEndFor(CommandLine::StatusBarMode requested, bool watcherPresent,
        bool x11DisplayPresent);
};
