#include "app/StatusBarChoice.h"

#include <gtest/gtest.h>

namespace {
using Mode = CommandLine::StatusBarMode;
using BackEnd = StatusBarChoice::BackEnd;

struct Case {
    Mode requested;
    bool watcher;
    bool x11;
    std::optional<BackEnd> expected;
};

const char* nameOf(Mode mode)
{
    switch (mode) {
    case Mode::Auto: return "auto";
    case Mode::Bar: return "bar";
    case Mode::Tray: return "tray";
    case Mode::Offscreen: return "offscreen";
    }
    return "?";
}
} // namespace

TEST(StatusBarChoice, EveryRequestOnEveryKindOfDesktop)
{
    const std::vector<Case> cases = {
        // Auto: the tray wins when a watcher runs, even on X; then the own bar; then nothing.
        {Mode::Auto, true, true, BackEnd::StatusNotifierTray},
        {Mode::Auto, true, false, BackEnd::StatusNotifierTray},
        {Mode::Auto, false, true, BackEnd::OwnBar},
        {Mode::Auto, false, false, BackEnd::Offscreen},
        // A forced tray falls back to XEmbed without a watcher, and needs X for that.
        {Mode::Tray, true, true, BackEnd::StatusNotifierTray},
        {Mode::Tray, true, false, BackEnd::StatusNotifierTray},
        {Mode::Tray, false, true, BackEnd::XEmbedTray},
        {Mode::Tray, false, false, std::nullopt},
        // A forced bar ignores the watcher and needs X.
        {Mode::Bar, true, true, BackEnd::OwnBar},
        {Mode::Bar, false, true, BackEnd::OwnBar},
        {Mode::Bar, true, false, std::nullopt},
        {Mode::Bar, false, false, std::nullopt},
        // Offscreen is always possible and always chosen when asked for.
        {Mode::Offscreen, true, true, BackEnd::Offscreen},
        {Mode::Offscreen, false, false, BackEnd::Offscreen},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusBarChoice::backEndFor(c.requested, c.watcher, c.x11), c.expected)
            << nameOf(c.requested) << " watcher=" << c.watcher << " x11=" << c.x11;
    }
}
