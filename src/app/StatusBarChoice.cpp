#include "app/StatusBarChoice.h"

std::optional<StatusBarChoice::BackEnd> StatusBarChoice::backEndFor(CommandLine::StatusBarMode requested,
    bool watcherPresent, bool x11DisplayPresent)
{
    using Mode = CommandLine::StatusBarMode;
    switch (requested) {
    case Mode::Offscreen:
        return BackEnd::Offscreen;
    case Mode::Bar:
        if (x11DisplayPresent)
            return BackEnd::OwnBar;
        return std::nullopt;
    case Mode::Tray:
        if (watcherPresent)
            return BackEnd::StatusNotifierTray;
        if (x11DisplayPresent)
            return BackEnd::XEmbedTray;
        return std::nullopt;
    case Mode::Auto:
        if (watcherPresent)
            return BackEnd::StatusNotifierTray;
        return x11DisplayPresent ? BackEnd::OwnBar : BackEnd::Offscreen;
    }
    return std::nullopt;
}
