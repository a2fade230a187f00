#include "VistrelProcess.h"
#include "XServer.h"

#include "platform/net/DefaultRoute.h"
#include "platform/net/InterfaceAddresses.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkItem, SwitchedOnInTheSettingsFileItAppearsAndItsMenuListsTheInterfaceOfTheDefaultRouteButNotLoopback)
{
    const QString primary = DefaultRoute::primaryInterface();
    const InterfaceAddressList addresses = InterfaceAddresses::systemAddresses().value(primary);
    if (primary.isEmpty() || addresses.ipv4.isEmpty())
        GTEST_SKIP() << "this machine has no default route through an interface with an IPv4 address";

    QVariantMap settings = VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("MemoryTopic-IsActive"), false},
        {QStringLiteral("NetworkTopic-MenuBarConfiguration"),
            QVariantList{QStringLiteral("QRNTextMenuBarCell:2"), QStringLiteral("QRNGraphMenuBarCell:2O")}},
    });
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const int placeholderLeft = ScreenWidth - ItemSpacing - BarHeight;

    // Another program switches the item on; two lines of rates and a graph
    // reach well left of the placeholder.
    settings.insert(QStringLiteral("NetworkTopic-IsActive"), true);
    vistrel.writeSettings(settings);
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return leftmostInk(screen, background) < placeholderLeft - 60;
    })) << qPrintable(vistrel.errorOutput());

    // The interface of the default route joins a second after the item starts.
    keepRunning(2000);
    ASSERT_TRUE(click(QPoint(ScreenWidth - ItemSpacing - 20, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNNetMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    // The Alt switch prints the menu again, filled.
    xdotool(QStringLiteral("keydown alt"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keyup alt"));
    const QString menu = vistrel.outputSince(QStringLiteral("the open menu now reads:"));
    EXPECT_TRUE(menu.contains(QStringLiteral("Network Interfaces"))) << qPrintable(menu);
    EXPECT_TRUE(menu.contains(QStringLiteral("(%1) \u2194 Internet").arg(primary))) << qPrintable(menu);
    EXPECT_TRUE(menu.contains(QStringLiteral("IPv4:\t%1").arg(addresses.ipv4.first()))) << qPrintable(menu);
    EXPECT_TRUE(menu.contains(QStringLiteral("Received:"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("(lo)"))) << qPrintable(menu);
    EXPECT_FALSE(menu.contains(QStringLiteral("127.0.0.1"))) << qPrintable(menu);
}

} // namespace
