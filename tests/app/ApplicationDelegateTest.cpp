#include "app/ApplicationDelegate.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "support/TestMonitorItem.h"

#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class ApplicationDelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
        UserDefaults::standardUserDefaults().clear();
        controller = std::make_unique<ApplicationDelegate>();
    }

    void TearDown() override
    {
        controller.reset();
        // Items retired by the controller are deleted from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StatusBar::setSystemStatusBar(nullptr);
        UserDefaults::standardUserDefaults().clear();
    }

    TestMonitorItem* item(const QString& className) const
    {
        return static_cast<TestMonitorItem*>(controller->activeMonitorItemWithClassName(className));
    }

    size_t itemCount() const
    {
        size_t count = 0;
        for (const auto& group : controller->activeTimers())
            count += group->items.size();
        return count;
    }

    TestMonitorItem::Registration registration;
    std::unique_ptr<ApplicationDelegate> controller;
    const QStringList cells = {QStringLiteral("QRNTextMenuBarCell:N")};
};

std::shared_ptr<CountingInstrument> counting()
{
    return std::make_shared<CountingInstrument>();
}

TEST(MonitorItemTable, MapsTopicsAndClassesBothWays)
{
    EXPECT_EQ(ApplicationDelegate::monitorItemTable().size(), 7u);
    EXPECT_EQ(ApplicationDelegate::monitorItemClassNameForTopicName(QStringLiteral("SensorTopic")), QStringLiteral("QRNSensorMonitorItem"));
    EXPECT_EQ(ApplicationDelegate::topicNameForMonitorItemClassName(QStringLiteral("QRNActivityMonitorItem")), QStringLiteral("ActivityTopic"));
    EXPECT_FALSE(ApplicationDelegate::monitorItemClassNameForTopicName(QStringLiteral("PreferencesTopic")));
    EXPECT_FALSE(ApplicationDelegate::topicNameForMonitorItemClassName(QString()));
}

TEST_F(ApplicationDelegateTest, GroupsItemsByRefreshInterval)
{
    controller->activate(true, QStringLiteral("TestOne"), cells);
    controller->activate(true, QStringLiteral("TestOther"), cells);
    ASSERT_EQ(controller->activeTimers().size(), 1u);
    EXPECT_EQ(controller->activeTimers()[0]->items.size(), 2u);

    controller->activate(true, QStringLiteral("TestSlow"), cells);
    controller->activate(true, QStringLiteral("TestFast"), cells);
    ASSERT_EQ(controller->activeTimers().size(), 3u);
    EXPECT_EQ(controller->activeTimers()[1]->interval, 5.0);
    EXPECT_EQ(controller->activeTimers()[1]->timer->interval(), 5000);
    EXPECT_EQ(controller->activeTimers()[2]->timer->interval(), 250);
    for (const auto& group : controller->activeTimers())
        EXPECT_TRUE(group->timer->isActive());
}

TEST_F(ApplicationDelegateTest, FirstTickOfANewGroupRunsBeforeActivationReturns)
{
    auto instrument = counting();
    TestMonitorItem::instrumentsForNextItems() = {instrument};

    controller->activate(true, QStringLiteral("TestOne"), cells);
    EXPECT_EQ(instrument->samples, 1);
    EXPECT_EQ(item(QStringLiteral("TestOne"))->menuBarUpdates, 1);

    // Joining an existing group waits for that group's next tick.
    auto second = counting();
    TestMonitorItem::instrumentsForNextItems() = {second};
    controller->activate(true, QStringLiteral("TestOther"), cells);
    EXPECT_EQ(second->samples, 0);
    EXPECT_EQ(item(QStringLiteral("TestOther"))->menuBarUpdates, 0);
    controller->updateItems(*controller->activeTimers()[0]);
    EXPECT_EQ(second->samples, 1);
    EXPECT_EQ(instrument->samples, 2);
}

TEST_F(ApplicationDelegateTest, SharedInstrumentIsSampledOncePerTick)
{
    auto shared = counting();
    auto own = counting();
    TestMonitorItem::instrumentsForNextItems() = {shared};
    controller->activate(true, QStringLiteral("TestOne"), cells);
    TestMonitorItem::instrumentsForNextItems() = {own, shared};
    controller->activate(true, QStringLiteral("TestOther"), cells);

    SamplingGroup& group = *controller->activeTimers()[0];
    shared->samples = own->samples = 0;
    controller->updateItems(group);
    controller->updateItems(group);
    EXPECT_EQ(shared->samples, 2);
    EXPECT_EQ(own->samples, 2);
    ASSERT_EQ(group.instruments.size(), 2u);
    EXPECT_EQ(group.instruments[0], shared);
    EXPECT_EQ(group.instruments[1], own);
}

TEST_F(ApplicationDelegateTest, InstrumentListIsRecomputedOnlyAfterAnItemReportsAChange)
{
    auto first = counting();
    auto second = counting();
    TestMonitorItem::instrumentsForNextItems() = {first};
    controller->activate(true, QStringLiteral("TestOne"), cells);
    SamplingGroup& group = *controller->activeTimers()[0];
    TestMonitorItem* one = item(QStringLiteral("TestOne"));

    // A change the item does not report leaves the group's list alone.
    one->setMonitorInstruments({second});
    one->setHasChangedInstruments(false);
    controller->updateItems(group);
    EXPECT_EQ(first->samples, 2);
    EXPECT_EQ(second->samples, 0);

    one->setHasChangedInstruments(true);
    controller->updateItems(group);
    EXPECT_EQ(first->samples, 2);
    EXPECT_EQ(second->samples, 1);
    EXPECT_FALSE(one->hasChangedInstruments());
}

TEST(RefreshInstrumentation, KeepsSurvivorsInOrderAndAppendsNewOnesOnce)
{
    StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    auto a = counting(), b = counting(), c = counting(), d = counting();
    std::vector<std::unique_ptr<QRNMonitorItem>> items;
    auto first = std::make_unique<TestMonitorItem>(QStringLiteral("A"), QStringList());
    first->setMonitorInstruments({d, b});
    auto second = std::make_unique<TestMonitorItem>(QStringLiteral("B"), QStringList());
    second->setMonitorInstruments({c, d, a});
    items.push_back(std::move(first));
    items.push_back(std::move(second));

    std::vector<std::shared_ptr<QRNSystemInstrument>> instruments = {a, std::make_shared<CountingInstrument>(), b};
    ApplicationDelegate::refreshInstrumentation(instruments, items);
    const std::vector<std::shared_ptr<QRNSystemInstrument>> expected = {a, b, d, c};
    EXPECT_EQ(instruments, expected);
    items.clear();
    StatusBar::setSystemStatusBar(nullptr);
}

TEST_F(ApplicationDelegateTest, PlaceholderShowsExactlyWhenNothingElseDoes)
{
    MonitorItemClasses::shared().createMainMenuItem = [] {
        return std::make_unique<TestMonitorItem>(QStringLiteral("MainMenu"), QStringList());
    };
    for (bool items : {false, true}) {
        for (bool mainMenu : {false, true}) {
            SCOPED_TRACE(testing::Message() << "items " << items << " main menu " << mainMenu);
            UserDefaults::standardUserDefaults().setObject(
                QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), !mainMenu);
            controller = std::make_unique<ApplicationDelegate>();
            if (items)
                controller->activate(true, QStringLiteral("TestOne"), cells);
            controller->activateAllConfiguredMonitorItems();
            EXPECT_EQ(controller->mainMenuMonitorItem() != nullptr, mainMenu);
            EXPECT_EQ(controller->placeholderItem() != nullptr, !items && !mainMenu);
            // Whatever the combination, something is always in the bar.
            EXPECT_FALSE(StatusBar::systemStatusBar().statusItems().empty());

            // Taking the last item away brings the placeholder back unless the main-menu item stays.
            if (items)
                controller->requestDeactivationOfMonitorItem(item(QStringLiteral("TestOne")));
            controller->setMainMenuIconDisabled(true);
            EXPECT_NE(controller->placeholderItem(), nullptr);
            controller->setMainMenuIconDisabled(false);
            EXPECT_EQ(controller->placeholderItem(), nullptr);
        }
    }
}

TEST_F(ApplicationDelegateTest, PlaceholderItemAndItsMenu)
{
    UserDefaults::standardUserDefaults().setObject(QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true);
    UserDefaults::standardUserDefaults().setObject(QStringLiteral("PassedFirstStart"), ApplicationDelegate::FirstStartVersionCode);
    controller->applicationDidFinishLaunching();
    EXPECT_FALSE(controller->isFullGUIEnabled());
    StatusItem* placeholder = controller->placeholderItem();
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->title(), QString(QChar(0x2327)));
    EXPECT_EQ(placeholder->length(), StatusItem::SquareLength);
    EXPECT_EQ(StatusBar::systemStatusBar().statusItems(), std::vector<StatusItem*>{placeholder});

    QMenu* menu = placeholder->menu();
    ASSERT_NE(menu, nullptr);
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Vistrel (no monitor items active)"));
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Preferences..."));
    EXPECT_GE(menu->minimumWidth(), int(StatusBar::Thickness));

    // Choosing "Preferences..." brings up the full interface.
    actions[2]->trigger();
    EXPECT_TRUE(controller->isFullGUIEnabled());
    ASSERT_NE(controller->configurationWindow(), nullptr);
    EXPECT_TRUE(controller->configurationWindow()->isVisible());
    controller->configurationWindow()->close();
    EXPECT_FALSE(controller->isFullGUIEnabled());
    EXPECT_FALSE(controller->configurationWindow()->isVisible());
}

TEST_F(ApplicationDelegateTest, DeactivatingTheLastItemOfAGroupDropsTheGroup)
{
    UserDefaults::standardUserDefaults().setObject(QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true);
    controller->activate(true, QStringLiteral("TestOne"), cells);
    controller->activate(true, QStringLiteral("TestSlow"), cells);
    QPointer<QTimer> slowTimer = controller->activeTimers()[1]->timer;

    controller->activate(false, QStringLiteral("TestSlow"), std::nullopt);
    ASSERT_EQ(controller->activeTimers().size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slowTimer.isNull());

    // Deactivating what is not live does nothing.
    controller->activate(false, QStringLiteral("TestSlow"), std::nullopt);
    controller->activate(false, QStringLiteral("TestFast"), std::nullopt);
    EXPECT_EQ(itemCount(), 1u);

    controller->requestDeactivationOfMonitorItem(item(QStringLiteral("TestOne")));
    EXPECT_TRUE(controller->activeTimers().empty());
    EXPECT_NE(controller->placeholderItem(), nullptr);
}

TEST_F(ApplicationDelegateTest, ActivationRefusesWhatCannotBeCreated)
{
    LogCapture log;
    controller->activate(true, QStringLiteral("QRNNoSuchMonitorItem"), cells);
    controller->activate(true, QString(), cells);
    controller->activate(true, QStringLiteral("TestOne"), std::nullopt);
    // The test classes, like real ones, create nothing from an empty configuration.
    controller->activate(true, QStringLiteral("TestOne"), QStringList());
    EXPECT_TRUE(controller->activeTimers().empty());
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(ApplicationDelegateTest, DraggingAnItemOutOfTheBarDeactivatesItAndStoresThat)
{
    MonitorItemClasses& classes = MonitorItemClasses::shared();
    const MonitorItemClass* test = classes.find(QStringLiteral("TestOne"));
    MonitorItemClass asProcessor = *test;
    asProcessor.name = QStringLiteral("QRNCPUMonitorItem");
    asProcessor.create = [](const QStringList& cells) -> std::unique_ptr<QRNMonitorItem> {
        return std::make_unique<TestMonitorItem>(QStringLiteral("QRNCPUMonitorItem"), cells);
    };
    asProcessor.isInstance = [](const QRNMonitorItem& item) { return item.className() == QStringLiteral("QRNCPUMonitorItem"); };
    std::optional<MonitorItemClass> previous;
    if (const MonitorItemClass* existing = classes.find(asProcessor.name))
        previous = *existing;
    classes.add(asProcessor);

    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(QStringLiteral("ProcessorTopic-IsActive"), true);
    defaults.setObject(QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNTextMenuBarCell:N")});
    // A configuration that is not a list is never activated.
    defaults.setObject(QStringLiteral("MemoryTopic-IsActive"), true);
    defaults.setObject(QStringLiteral("MemoryTopic-MenuBarConfiguration"), QStringLiteral("QRNTextMenuBarCell:N"));
    controller->activateAllConfiguredMonitorItems();
    TestMonitorItem* processor = item(QStringLiteral("QRNCPUMonitorItem"));
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->cells, QStringList{QStringLiteral("QRNTextMenuBarCell:N")});
    EXPECT_EQ(itemCount(), 1u);

    processor->statusItem()->setVisible(false);
    EXPECT_EQ(itemCount(), 0u);
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("ProcessorTopic-IsActive")), QVariant(false));

    classes.remove(asProcessor.name);
    if (previous)
        classes.add(*previous);
}

TEST_F(ApplicationDelegateTest, MovingTheMouseOverANeighbourHandsTheOpenMenuOver)
{
    controller->activate(true, QStringLiteral("TestOne"), cells);
    controller->activate(true, QStringLiteral("TestOther"), cells);
    TestMonitorItem* one = item(QStringLiteral("TestOne"));
    TestMonitorItem* other = item(QStringLiteral("TestOther"));
    const QRect oneFrame = one->statusItem()->buttonFrameOnScreen();
    const QRect otherFrame = other->statusItem()->buttonFrameOnScreen();
    ASSERT_FALSE(oneFrame.isEmpty());
    ASSERT_FALSE(oneFrame.intersects(otherFrame));

    QPoint mouse = oneFrame.center();
    controller->mouseLocation = [&mouse] { return mouse; };
    one->openAttachedMenu();
    ASSERT_TRUE(one->isMenuVisible());
    EXPECT_EQ(controller->itemWithOpenMenu(), one);
    EXPECT_TRUE(controller->isTrackingMenu());
    EXPECT_TRUE(one->statusItem()->isHighlighted());

    // Hovering over the item whose menu is open changes nothing.
    controller->trackMouseWhileMenuOpen();
    EXPECT_TRUE(one->isMenuVisible());

    mouse = otherFrame.center();
    controller->trackMouseWhileMenuOpen();
    EXPECT_FALSE(one->isMenuVisible());
    EXPECT_FALSE(one->statusItem()->isHighlighted());
    QCoreApplication::processEvents();
    EXPECT_TRUE(other->isMenuVisible());
    EXPECT_EQ(controller->itemWithOpenMenu(), other);
    EXPECT_EQ(other->menuUpdates, 1);

    other->closeAttachedMenu();
    EXPECT_EQ(controller->itemWithOpenMenu(), nullptr);
    EXPECT_FALSE(controller->isTrackingMenu());
}

} // namespace
