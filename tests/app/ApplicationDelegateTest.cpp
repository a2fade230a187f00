#include "app/ApplicationDelegate.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "support/TestMonitorItem.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class ApplicationDelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
        defaults().clear();
        controller = std::make_unique<ApplicationDelegate>();
    }
    void TearDown() override
    {
        controller.reset();
        // Items retired by the controller are deleted from the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StatusBar::setSystemStatusBar(nullptr);
        defaults().clear();
    }
    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
    TestMonitorItem* item(const QString& className) const
    {
        return static_cast<TestMonitorItem*>(controller->activeMonitorItemWithClassName(className));
    }
    void activate(const char* className) { controller->activate(true, className, cells); }
    size_t itemCount() const
    {
        size_t count = 0;
        for (const auto& group : controller->activeTimers())
            count += group->items.size();
        return count;
    }

    TestMonitorItem::Registration registration;
    std::unique_ptr<ApplicationDelegate> controller;
    const QStringList cells = {"QRNTextMenuBarCell:N"};
};

std::shared_ptr<CountingInstrument> counting()
{
    return std::make_shared<CountingInstrument>();
}

TEST_F(ApplicationDelegateTest, GroupsItemsByRefreshIntervalAndSamplesANewGroupAtOnce)
{
    auto instrument = counting();
    TestMonitorItem::instrumentsForNextItems() = {instrument};
    activate("TestOne");
    EXPECT_EQ(instrument->samples, 1);
    EXPECT_EQ(item("TestOne")->menuBarUpdates, 1);
    // Joining an existing group waits for that group's next tick.
    auto second = counting();
    TestMonitorItem::instrumentsForNextItems() = {second};
    activate("TestOther");
    EXPECT_EQ(second->samples, 0);
    EXPECT_EQ(item("TestOther")->menuBarUpdates, 0);
    controller->updateItems(*controller->activeTimers()[0]);
    EXPECT_EQ(second->samples, 1);
    EXPECT_EQ(instrument->samples, 2);

    activate("TestSlow");
    activate("TestFast");
    ASSERT_EQ(controller->activeTimers().size(), 3u);
    EXPECT_EQ(controller->activeTimers()[0]->items.size(), 2u);
    EXPECT_EQ(controller->activeTimers()[1]->timer->interval(), 5000);
    EXPECT_EQ(controller->activeTimers()[2]->timer->interval(), 250);
    for (const auto& group : controller->activeTimers())
        EXPECT_TRUE(group->timer->isActive());
}

TEST_F(ApplicationDelegateTest, SharedInstrumentsAreSampledOnceAndRecollectedOnlyOnAReportedChange)
{
    auto shared = counting(), own = counting(), later = counting();
    TestMonitorItem::instrumentsForNextItems() = {shared};
    activate("TestOne");
    TestMonitorItem::instrumentsForNextItems() = {own, shared};
    activate("TestOther");
    SamplingGroup& group = *controller->activeTimers()[0];
    shared->samples = own->samples = 0;
    controller->updateItems(group);
    EXPECT_EQ(shared->samples, 1);
    EXPECT_EQ(own->samples, 1);
    EXPECT_EQ(group.instruments, (std::vector<std::shared_ptr<QRNSystemInstrument>>{shared, own}));

    TestMonitorItem* one = item("TestOne");
    one->setMonitorInstruments({later});
    one->setHasChangedInstruments(false);
    controller->updateItems(group);
    EXPECT_EQ(later->samples, 0);
    one->setHasChangedInstruments(true);
    controller->updateItems(group);
    EXPECT_EQ(later->samples, 1);
    EXPECT_EQ(shared->samples, 3);
    EXPECT_FALSE(one->hasChangedInstruments());
}

TEST(RefreshInstrumentation, KeepsSurvivorsInOrderAndAppendsNewOnesOnce)
{
    StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    auto a = counting(), b = counting(), c = counting(), d = counting();
    std::vector<std::unique_ptr<QRNMonitorItem>> items;
    items.push_back(std::make_unique<TestMonitorItem>("A", QStringList()));
    items.push_back(std::make_unique<TestMonitorItem>("B", QStringList()));
    static_cast<TestMonitorItem&>(*items[0]).setMonitorInstruments({d, b});
    static_cast<TestMonitorItem&>(*items[1]).setMonitorInstruments({c, d, a});
    std::vector<std::shared_ptr<QRNSystemInstrument>> instruments = {a, counting(), b};
    ApplicationDelegate::refreshInstrumentation(instruments, items);
    EXPECT_EQ(instruments, (std::vector<std::shared_ptr<QRNSystemInstrument>>{a, b, d, c}));
    items.clear();
    StatusBar::setSystemStatusBar(nullptr);
}

TEST_F(ApplicationDelegateTest, PlaceholderShowsExactlyWhenNothingElseDoes)
{
    MonitorItemClasses::shared().createMainMenuItem = [] { return std::make_unique<TestMonitorItem>("MainMenu", QStringList()); };
    for (bool items : {false, true}) {
        for (bool mainMenu : {false, true}) {
            SCOPED_TRACE(testing::Message() << "items " << items << " main menu " << mainMenu);
            defaults().setObject("MenuBarLayoutTopic-BarSuppressMainMenuIcon", !mainMenu);
            controller = std::make_unique<ApplicationDelegate>();
            if (items)
                activate("TestOne");
            controller->activateAllConfiguredMonitorItems();
            EXPECT_EQ(controller->mainMenuMonitorItem() != nullptr, mainMenu);
            EXPECT_EQ(controller->placeholderItem() != nullptr, !items && !mainMenu);
            EXPECT_FALSE(StatusBar::systemStatusBar().statusItems().empty());
            // Taking the last item away brings the placeholder back unless the main-menu item stays.
            if (items)
                controller->requestDeactivationOfMonitorItem(item("TestOne"));
            controller->setMainMenuIconDisabled(true);
            EXPECT_NE(controller->placeholderItem(), nullptr);
            controller->setMainMenuIconDisabled(false);
            EXPECT_EQ(controller->placeholderItem(), nullptr);
        }
    }
}

TEST_F(ApplicationDelegateTest, DeactivationDropsEmptyGroupsAndActivationRefusesWhatCannotBeCreated)
{
    defaults().setObject("MenuBarLayoutTopic-BarSuppressMainMenuIcon", true);
    LogCapture log;
    controller->activate(true, "QRNNoSuchMonitorItem", cells);
    controller->activate(true, QString(), cells);
    controller->activate(true, "TestOne", std::nullopt);
    // An empty configuration creates no item.
    controller->activate(true, "TestOne", QStringList());
    EXPECT_TRUE(controller->activeTimers().empty());
    EXPECT_TRUE(log.entries().empty());

    activate("TestOne");
    activate("TestSlow");
    QPointer<QTimer> slowTimer = controller->activeTimers()[1]->timer;
    controller->activate(false, "TestSlow", std::nullopt);
    ASSERT_EQ(controller->activeTimers().size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slowTimer.isNull());
    // Deactivating what is not live does nothing.
    controller->activate(false, "TestSlow", std::nullopt);
    controller->activate(false, "TestFast", std::nullopt);
    EXPECT_EQ(itemCount(), 1u);
    controller->requestDeactivationOfMonitorItem(item("TestOne"));
    EXPECT_TRUE(controller->activeTimers().empty());
    EXPECT_NE(controller->placeholderItem(), nullptr);
}

TEST_F(ApplicationDelegateTest, DraggingAnItemOutOfTheBarDeactivatesItAndStoresThat)
{
    MonitorItemClasses& classes = MonitorItemClasses::shared();
    const QString name = "QRNCPUMonitorItem";
    std::optional<MonitorItemClass> previous;
    if (const MonitorItemClass* existing = classes.find(name))
        previous = *existing;
    classes.add({name, 1.0, [name](const QStringList& c) { return std::make_unique<TestMonitorItem>(name, c); },
        [name](const QRNMonitorItem& item) { return item.className() == name; }});

    defaults().setObject("ProcessorTopic-IsActive", true);
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", QVariantList{cells.first()});
    // A configuration that is not a list is never activated.
    defaults().setObject("MemoryTopic-IsActive", true);
    defaults().setObject("MemoryTopic-MenuBarConfiguration", cells.first());
    controller->activateAllConfiguredMonitorItems();
    TestMonitorItem* processor = item(name);
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->cells, cells);
    EXPECT_EQ(itemCount(), 1u);

    processor->statusItem()->setVisible(false);
    EXPECT_EQ(itemCount(), 0u);
    EXPECT_EQ(defaults().objectForKey("ProcessorTopic-IsActive"), QVariant(false));
    classes.remove(name);
    if (previous)
        classes.add(*previous);
}

} // namespace
