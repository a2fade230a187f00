#include "VistrelProcess.h"
#include "XServer.h"

#include <gtest/gtest.h>

namespace {

TEST(Settings, AnItemSwitchedOnWhileRunningAppearsAndStaysAfterARestart)
{
    QVariantMap settings = VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("MemoryTopic-MenuBarConfiguration"),
            QVariantList{QStringLiteral("QRNNumericMenuBarCell:P"), QStringLiteral("QRNNumericMenuBarCell:B")}},
    });
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const int placeholderLeft = ScreenWidth - ItemSpacing - BarHeight;
    EXPECT_EQ(inkIn(screen, QRect(0, 0, placeholderLeft - ItemSpacing, BarHeight), background), 0);

    // Another program switches the item on: the running Vistrel follows. A
    // pie and a bar side by side reach further left than the placeholder.
    settings.insert(QStringLiteral("MemoryTopic-IsActive"), true);
    vistrel.writeSettings(settings);
    const QRect item(ScreenWidth - 60, 0, 60, BarHeight);
    auto itemShows = [&] {
        screen = grabScreen();
        return inkIn(screen, QRect(item.left(), 0, placeholderLeft - item.left(), BarHeight), background) > 5
            && inkIn(screen, QRect(0, 0, item.left(), BarHeight), background) == 0;
    };
    ASSERT_TRUE(waitUntil(itemShows)) << qPrintable(vistrel.errorOutput());
    const int before = leftmostInk(screen.copy(item), background);
    EXPECT_LT(before, placeholderLeft - item.left());

    // The same cells after a restart, so the item starts at the same place.
    ASSERT_TRUE(vistrel.restart());
    ASSERT_TRUE(waitUntil(itemShows)) << qPrintable(vistrel.errorOutput());
    EXPECT_NEAR(leftmostInk(screen.copy(item), background), before, 1);
}

} // namespace
