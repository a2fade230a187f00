#include "app/StatusBarChoice.h"

#include <gtest/gtest.h>

TEST(StatusBarChoice, EveryRequestOnEveryKindOfDesktop)
{
    using Mode = CommandLine::StatusBarMode;
    using BackEnd = StatusBarChoice::BackEnd;
    const StatusBarChoice::Display x11{true, true};
    const StatusBarChoice::Display layerShell{true, false};  // sway, Plasma on Wayland
    const StatusBarChoice::Display none{};                   // GNOME on Wayland, no display at all
    struct Case {
        Mode requested;
        bool watcher;
        StatusBarChoice::Display display;
        std::optional<BackEnd> expected;
    };
    const Case cases[] = {
        // Auto: the tray wins when a watcher runs, even on X; then the own bar; then nothing.
        {Mode::Auto, true, x11, BackEnd::StatusNotifierTray},
        {Mode::Auto, true, none, BackEnd::StatusNotifierTray},
        {Mode::Auto, false, x11, BackEnd::OwnBar},
        {Mode::Auto, false, layerShell, BackEnd::OwnBar},
        {Mode::Auto, false, none, BackEnd::Offscreen},
        // A forced tray falls back to XEmbed without a watcher, and needs X for that.
        {Mode::Tray, true, none, BackEnd::StatusNotifierTray},
        {Mode::Tray, false, x11, BackEnd::XEmbedTray},
        {Mode::Tray, false, layerShell, std::nullopt},
        // A forced bar ignores the watcher and needs a display that holds a panel.
        {Mode::Bar, true, x11, BackEnd::OwnBar},
        {Mode::Bar, true, layerShell, BackEnd::OwnBar},
        {Mode::Bar, true, none, std::nullopt},
        {Mode::Offscreen, true, x11, BackEnd::Offscreen},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusBarChoice::backEndFor(c.requested, c.watcher, c.display), c.expected)
            << int(c.requested) << " watcher=" << c.watcher << " bar=" << c.display.ownBar
            << " xembed=" << c.display.xembed;
    }
}
