#include "platform/statusbar/StatusMenu.h"

#include <gtest/gtest.h>

TEST(StatusMenu, AlternatesFollowTheModifierAndOnlyTheRowsOfTheMenuAsItIsNow)
{
    StatusMenu menu;
    QAction* preferences = menu.addAction(QStringLiteral("Preferences..."));
    QAction* diagnostics = menu.addAction(QStringLiteral("Show Diagnostics Window"));
    menu.addAlternate(preferences, diagnostics);
    menu.showAlternatesFor(Qt::AltModifier);
    EXPECT_FALSE(preferences->isVisible());
    EXPECT_TRUE(diagnostics->isVisible());

    // Items empty and fill their menus again when their rows change; the
    // rows of before are gone and must not be touched.
    menu.clear();
    QAction* again = menu.addAction(QStringLiteral("Preferences..."));
    QAction* againAlternate = menu.addAction(QStringLiteral("Show Diagnostics Window"));
    menu.addAlternate(again, againAlternate);
    menu.showAlternatesFor(Qt::NoModifier);
    EXPECT_TRUE(again->isVisible());
    EXPECT_FALSE(againAlternate->isVisible());
}
