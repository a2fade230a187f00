#include "app/ApplicationDelegate.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedMonitorItemClass.h"
#include "support/ScopedStatusBar.h"
#include "support/ScopedUserDefaults.h"
#include "support/TestMonitorItem.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class ApplicationDelegateTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        controller.reset();
        // Items retired by the controller are deleted from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static UserDefaults& defaults() { return ScopedUserDefaults::defaults(); }
    TestMonitorItem* item(const QString& className) const
    {
        return static_cast<TestMonitorItem*>(controller->activeMonitorItemWithClassName(className));
    }
    void activate(const QString& className) { controller->activate(true, className, cells); }

    ScopedStatusBar bar;
    ScopedUserDefaults settings;
    TestItemClasses classes;
    std::unique_ptr<ApplicationDelegate> controller = std::make_unique<ApplicationDelegate>();
    const QStringList cells = {"QRNTextMenuBarCell:N"};
};

TEST_F(ApplicationDelegateTest, ItemsJoinTheGroupOfTheirTableInterval)
{
    activate(TestItemClasses::One);
    activate(TestItemClasses::Other);
    activate(TestItemClasses::Slow);
    const auto& groups = controller->scheduler().groups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0]->items.size(), 2u);
    EXPECT_EQ(groups[1]->interval, 5.0);
}

TEST_F(ApplicationDelegateTest, PlaceholderShowsExactlyWhenNothingElseDoes)
{
    for (bool items : {false, true}) {
        for (bool mainMenu : {false, true}) {
            SCOPED_TRACE(testing::Message() << "items " << items << " main menu " << mainMenu);
            defaults().setObject("MenuBarLayoutTopic-BarSuppressMainMenuIcon", !mainMenu);
            controller = std::make_unique<ApplicationDelegate>();
            if (items)
                activate(TestItemClasses::One);
            controller->activateAllConfiguredMonitorItems();
            EXPECT_EQ(controller->mainMenuMonitorItem() != nullptr, mainMenu);
            EXPECT_EQ(controller->placeholderItem() != nullptr, !items && !mainMenu);
            EXPECT_FALSE(StatusBar::systemStatusBar().statusItems().empty());
            // Taking the last item away brings the placeholder back unless the main-menu item stays.
            if (items)
                controller->requestDeactivationOfMonitorItem(item(TestItemClasses::One));
            controller->setMainMenuIconDisabled(true);
            EXPECT_NE(controller->placeholderItem(), nullptr);
            controller->setMainMenuIconDisabled(false);
            EXPECT_EQ(controller->placeholderItem(), nullptr);
        }
    }
}

TEST_F(ApplicationDelegateTest, ActivationRefusesWhatCannotBeCreatedAndDeactivationWhatIsNotLive)
{
    defaults().setObject("MenuBarLayoutTopic-BarSuppressMainMenuIcon", true);
    LogCapture log;
    controller->activate(true, "QRNNoSuchMonitorItem", cells);
    controller->activate(true, QString(), cells);
    controller->activate(true, TestItemClasses::One, std::nullopt);
    // An empty configuration creates no item, nor does a class this version lacks.
    controller->activate(true, TestItemClasses::One, QStringList());
    {
        const ScopedMonitorItemFactory lacking("QRNNetMonitorItem", {});
        controller->activate(true, "QRNNetMonitorItem", cells);
    }
    EXPECT_TRUE(controller->scheduler().isEmpty());
    EXPECT_TRUE(log.entries().empty());

    activate(TestItemClasses::One);
    controller->activate(false, TestItemClasses::Slow, std::nullopt);
    controller->activate(false, TestItemClasses::Fast, std::nullopt);
    EXPECT_EQ(controller->scheduler().items().size(), 1u);
    controller->requestDeactivationOfMonitorItem(item(TestItemClasses::One));
    EXPECT_TRUE(controller->scheduler().isEmpty());
    EXPECT_NE(controller->placeholderItem(), nullptr);
}

TEST_F(ApplicationDelegateTest, DraggingAnItemOutOfTheBarDeactivatesItAndStoresThat)
{
    defaults().setObject("ProcessorTopic-IsActive", true);
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", QVariantList {cells.first()});
    // A configuration that is not a list is never activated.
    defaults().setObject("MemoryTopic-IsActive", true);
    defaults().setObject("MemoryTopic-MenuBarConfiguration", cells.first());
    controller->activateAllConfiguredMonitorItems();
    TestMonitorItem* processor = item(TestItemClasses::One);
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->cells, cells);
    EXPECT_EQ(controller->scheduler().items().size(), 1u);

    processor->statusItem()->setVisible(false);
    EXPECT_TRUE(controller->scheduler().items().empty());
    EXPECT_EQ(defaults().objectForKey("ProcessorTopic-IsActive"), QVariant(false));
}

TEST_F(ApplicationDelegateTest, AClosingMenuEndsTrackingOnlyWhenItIsTheOpenOne)
{
    activate(TestItemClasses::One);
    activate(TestItemClasses::Other);
    StatusMenuTracker& tracker = controller->menuTracker();
    Q_EMIT item(TestItemClasses::One)->menuOpened(item(TestItemClasses::One));
    ASSERT_EQ(tracker.itemWithOpenMenu(), item(TestItemClasses::One)->statusItem());
    // The second menu opens before the first has reported its closing.
    Q_EMIT item(TestItemClasses::Other)->menuOpened(item(TestItemClasses::Other));
    Q_EMIT item(TestItemClasses::One)->menuClosed(item(TestItemClasses::One));
    EXPECT_EQ(tracker.itemWithOpenMenu(), item(TestItemClasses::Other)->statusItem());
    EXPECT_TRUE(tracker.isTracking());
    Q_EMIT item(TestItemClasses::Other)->menuClosed(item(TestItemClasses::Other));
    EXPECT_FALSE(tracker.isTracking());
}

TEST_F(ApplicationDelegateTest, PagesAreHandedBackOnlyWhileNoWindowOrMenuIsInUse)
{
    defaults().setObject("PreferencesTopic-SuppressSwitchingNotice", true);
    activate(TestItemClasses::One);
    TestMonitorItem* one = item(TestItemClasses::One);
    const IdlePageRelease& release = controller->idlePageRelease();
    controller->setFullGUIEnabled(false);
    EXPECT_TRUE(release.isWaiting());
    Q_EMIT one->menuOpened(one);
    EXPECT_FALSE(release.isWaiting());
    Q_EMIT one->menuClosed(one);
    EXPECT_TRUE(release.isWaiting());
    controller->setFullGUIEnabled(true);
    EXPECT_FALSE(release.isWaiting());
    // A menu closing while the window is open does not start the wait.
    Q_EMIT one->menuOpened(one);
    Q_EMIT one->menuClosed(one);
    EXPECT_FALSE(release.isWaiting());
}

} // namespace
