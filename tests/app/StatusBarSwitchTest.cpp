#include "app/StatusBarSwitch.h"

#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "platform/statusbar/TestTray.h"
#include "platform/statusbar/TrayStatusBar.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace {

using BackEnd = StatusBarChoice::BackEnd;

class StatusBarSwitchTest : public ::testing::Test {
protected:
    void TearDown() override { StatusBar::setSystemStatusBar(nullptr); }

    // The own bar is stood in for by an offscreen one, which lays its items out the same way.
    StatusBarSwitch::Factory factory()
    {
        return [this](BackEnd backEnd) -> std::unique_ptr<StatusBar> {
            made.push_back(backEnd);
            if (backEnd == BackEnd::StatusNotifierTray)
                return std::make_unique<TrayStatusBar>(bus.address());
            return std::make_unique<OffscreenStatusBar>();
        };
    }

    PrivateSessionBus bus;
    QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), QStringLiteral("status-bar-switch-test"));
    std::vector<BackEnd> made;
};

TEST_F(StatusBarSwitchTest, ItemsMoveIntoATrayThatAppearsLaterAndBackOnceItHasGone)
{
    StatusBarSwitch bars(CommandLine::StatusBarMode::Auto, {true, true}, connection, factory());
    bars.setDepartureGrace(300);
    ASSERT_TRUE(bars.start());
    EXPECT_EQ(bars.backEnd(), BackEnd::OwnBar);
    auto item = StatusBar::systemStatusBar().statusItemWithLength(StatusItem::SquareLength);
    item->setTitle(QStringLiteral("M"));
    QMenu menu;
    menu.addAction(QStringLiteral("Row"));
    item->setMenu(&menu);
    item->popUpMenu();
    ASSERT_TRUE(menu.isVisible());

    auto tray = std::make_unique<TestTray>(bus.address());
    ASSERT_TRUE(tray->startWatcher());
    ASSERT_TRUE(processEventsUntil([&] { return tray->registeredItems().size() == 1; }));
    EXPECT_EQ(bars.backEnd(), BackEnd::StatusNotifierTray);
    EXPECT_EQ(item->statusBar(), &StatusBar::systemStatusBar());
    EXPECT_FALSE(menu.isVisible());

    // A tray that restarts within the grace keeps the items.
    tray.reset();
    tray = std::make_unique<TestTray>(bus.address());
    ASSERT_TRUE(tray->startWatcher());
    processEventsUntil([] { return false; }, 600);
    EXPECT_EQ(bars.backEnd(), BackEnd::StatusNotifierTray);
    EXPECT_EQ(made.size(), 2u);

    // Gone for good: back in the bar, laid out again.
    tray.reset();
    ASSERT_TRUE(processEventsUntil([&] { return bars.backEnd() == BackEnd::OwnBar; }));
    EXPECT_EQ(item->statusBar(), &StatusBar::systemStatusBar());
    EXPECT_FALSE(item->buttonFrameOnScreen().isEmpty());
    EXPECT_EQ(made, (std::vector<BackEnd>{BackEnd::OwnBar, BackEnd::StatusNotifierTray, BackEnd::OwnBar}));
}

TEST_F(StatusBarSwitchTest, TheOwnBarAndOffscreenModesNeverWatch)
{
    StatusBarSwitch bars(CommandLine::StatusBarMode::Bar, {true, true}, connection, factory());
    ASSERT_TRUE(bars.start());
    TestTray tray(bus.address());
    ASSERT_TRUE(tray.startWatcher());
    processEventsUntil([] { return false; }, 300);
    EXPECT_EQ(made, std::vector<BackEnd>{BackEnd::OwnBar});

    // A request nothing here can serve installs nothing.
    StatusBarSwitch none(CommandLine::StatusBarMode::Bar, {}, connection, factory());
    EXPECT_FALSE(none.start());
    EXPECT_EQ(made.size(), 1u);
}

} // namespace
