#include "app/StatusBarChoice.h"

std::optional<StatusBarChoice::BackEnd> StatusBarChoice::backEndFor(CommandLine::StatusBarMode requested,
    bool watcherPresent, Display display)
{
    using Mode = CommandLine::StatusBarMode;
    switch (requested) {
    case Mode::Offscreen:
        return BackEnd::Offscreen;
    case Mode::Bar:
        if (display.ownBar)
            return BackEnd::OwnBar;
        return std::nullopt;
    case Mode::Tray:
        if (watcherPresent)
            return BackEnd::StatusNotifierTray;
        if (display.xembed)
            return BackEnd::XEmbedTray;
        return std::nullopt;
    case Mode::Auto:
        if (watcherPresent)
            return BackEnd::StatusNotifierTray;
        return display.ownBar ? BackEnd::OwnBar : BackEnd::Offscreen;
    }
    return std::nullopt;
}
