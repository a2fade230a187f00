#include "app/StatusBarChoice.h"

#include <gtest/gtest.h>

TEST(StatusBarChoice, EveryRequestOnEveryKindOfDesktop)
{
    using Mode = CommandLine::StatusBarMode;
    using BackEnd = StatusBarChoice::BackEnd;
    struct Case {
        Mode requested;
        bool watcher, x11;
        std::optional<BackEnd> expected;
    };
    const Case cases[] = {
        // Auto: the tray wins when a watcher runs, even on X; then the own bar; then nothing.
        {Mode::Auto, true, true, BackEnd::StatusNotifierTray},
        {Mode::Auto, true, false, BackEnd::StatusNotifierTray},
        {Mode::Auto, false, true, BackEnd::OwnBar},
        {Mode::Auto, false, false, BackEnd::Offscreen},
        // A forced tray falls back to XEmbed without a watcher, and needs X for that.
        {Mode::Tray, true, false, BackEnd::StatusNotifierTray},
        {Mode::Tray, false, true, BackEnd::XEmbedTray},
        {Mode::Tray, false, false, std::nullopt},
        // A forced bar ignores the watcher and needs X.
        {Mode::Bar, true, true, BackEnd::OwnBar},
        {Mode::Bar, true, false, std::nullopt},
        {Mode::Offscreen, true, true, BackEnd::Offscreen},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusBarChoice::backEndFor(c.requested, c.watcher, c.x11), c.expected)
            << int(c.requested) << " watcher=" << c.watcher << " x11=" << c.x11;
    }
}
