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
    const QRect placeholder(ScreenWidth - ItemSpacing - BarHeight, 0, BarHeight, BarHeight);
    const QRect left(0, 0, placeholder.left() - ItemSpacing, BarHeight);
    EXPECT_EQ(inkIn(screen, left, background), 0);

    // Another program switches the item on: the running Vistrel follows.
    settings.insert(QStringLiteral("MemoryTopic-IsActive"), true);
    vistrel.writeSettings(settings);
    // A pie and a bar side by side reach further left than the placeholder.
    auto itemShows = [&] {
        screen = grabScreen();
        return inkIn(screen, QRect(ScreenWidth - 60, 0, 60 - ItemSpacing - BarHeight, BarHeight), background) > 5
            && inkIn(screen, QRect(0, 0, ScreenWidth - 60, BarHeight), background) == 0;
    };
    ASSERT_TRUE(waitUntil(itemShows)) << qPrintable(vistrel.errorOutput());
    const QImage before = screen.copy(ScreenWidth - 60, 0, 60, BarHeight);

    ASSERT_TRUE(vistrel.restart());
    ASSERT_TRUE(waitUntil(itemShows)) << qPrintable(vistrel.errorOutput());
    // The same cells, so the item starts at the same place.
    const QImage after = screen.copy(ScreenWidth - 60, 0, 60, BarHeight);
    auto leftmostInk = [&](const QImage& image) {
        int x = 0;
        while (x < image.width() && inkIn(image, QRect(x, 0, 1, BarHeight), background) == 0)
            ++x;
        return x;
    };
    EXPECT_NEAR(leftmostInk(after), leftmostInk(before), 1);
    EXPECT_LT(leftmostInk(before), 60 - ItemSpacing - BarHeight);
}

} // namespace
