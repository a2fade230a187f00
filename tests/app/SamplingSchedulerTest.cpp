#include "app/SamplingScheduler.h"
#include "support/ScopedStatusBar.h"
#include "support/TestMonitorItem.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

using InstrumentList = std::vector<std::shared_ptr<QRNSystemInstrument>>;

class SamplingSchedulerTest : public ::testing::Test {
protected:
    TestMonitorItem& add(const QString& name, double interval, InstrumentList instruments = {})
    {
        auto item = std::make_unique<TestMonitorItem>(name, QStringList {"QRNTextMenuBarCell:N"});
        item->setMonitorInstruments(std::move(instruments));
        return static_cast<TestMonitorItem&>(scheduler.add(std::move(item), interval));
    }

    ScopedStatusBar bar;
    SamplingScheduler scheduler;
};

std::shared_ptr<CountingInstrument> counting()
{
    return std::make_shared<CountingInstrument>();
}

TEST_F(SamplingSchedulerTest, GroupsItemsByIntervalAndTicksANewGroupAtOnce)
{
    auto first = counting(), second = counting();
    TestMonitorItem& one = add("One", 1.0, {first});
    EXPECT_EQ(first->samples, 1);
    EXPECT_EQ(one.menuBarUpdates, 1);
    // Joining an existing group waits for that group's next tick.
    TestMonitorItem& other = add("Other", 1.0, {second});
    EXPECT_EQ(second->samples, 0);
    EXPECT_EQ(other.menuBarUpdates, 0);
    scheduler.updateItems(*scheduler.groups()[0]);
    EXPECT_EQ(second->samples, 1);
    EXPECT_EQ(first->samples, 2);

    add("Slow", 5.0);
    add("Fast", 0.25);
    ASSERT_EQ(scheduler.groups().size(), 3u);
    EXPECT_EQ(scheduler.groups()[0]->items.size(), 2u);
    EXPECT_EQ(scheduler.groups()[1]->timer->interval(), 5000);
    EXPECT_EQ(scheduler.groups()[2]->timer->interval(), 250);
    for (const auto& group : scheduler.groups())
        EXPECT_TRUE(group->timer->isActive());
    EXPECT_EQ(scheduler.activeMonitorItemWithClassName("Other"), &other);
    EXPECT_EQ(scheduler.items().size(), 4u);
}

TEST_F(SamplingSchedulerTest, SharedInstrumentsAreSampledOnceAndRecollectedOnlyOnAReportedChange)
{
    auto shared = counting(), own = counting(), later = counting();
    TestMonitorItem& one = add("One", 1.0, {shared});
    add("Other", 1.0, {own, shared});
    SamplingGroup& group = *scheduler.groups()[0];
    shared->samples = own->samples = 0;
    scheduler.updateItems(group);
    EXPECT_EQ(shared->samples, 1);
    EXPECT_EQ(own->samples, 1);
    EXPECT_EQ(group.instruments, (InstrumentList {shared, own}));

    one.setMonitorInstruments({later});
    one.setHasChangedInstruments(false);
    scheduler.updateItems(group);
    EXPECT_EQ(later->samples, 0);
    one.setHasChangedInstruments(true);
    scheduler.updateItems(group);
    EXPECT_EQ(later->samples, 1);
    EXPECT_EQ(shared->samples, 3);
    EXPECT_FALSE(one.hasChangedInstruments());
}

TEST_F(SamplingSchedulerTest, RemovingTheLastItemOfAGroupStopsItsTimer)
{
    add("One", 1.0);
    add("Slow", 5.0);
    QPointer<QTimer> slowTimer = scheduler.groups()[1]->timer;
    EXPECT_EQ(scheduler.remove("Slow", 1.0), nullptr);
    std::unique_ptr<QRNMonitorItem> slow = scheduler.remove("Slow", 5.0);
    ASSERT_NE(slow, nullptr);
    EXPECT_EQ(slow->className(), "Slow");
    ASSERT_EQ(scheduler.groups().size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slowTimer.isNull());
    EXPECT_EQ(scheduler.remove("Slow", 5.0), nullptr);
    EXPECT_NE(scheduler.remove("One", 1.0), nullptr);
    EXPECT_TRUE(scheduler.isEmpty());
}

TEST(RefreshInstrumentation, KeepsSurvivorsInOrderAndAppendsNewOnesOnce)
{
    ScopedStatusBar bar;
    auto a = counting(), b = counting(), c = counting(), d = counting();
    std::vector<std::unique_ptr<QRNMonitorItem>> items;
    items.push_back(std::make_unique<TestMonitorItem>("A", QStringList()));
    items.push_back(std::make_unique<TestMonitorItem>("B", QStringList()));
    static_cast<TestMonitorItem&>(*items[0]).setMonitorInstruments({d, b});
    static_cast<TestMonitorItem&>(*items[1]).setMonitorInstruments({c, d, a});
    InstrumentList instruments = {a, counting(), b};
    SamplingScheduler::refreshInstrumentation(instruments, items);
    EXPECT_EQ(instruments, (InstrumentList {a, b, d, c}));
}

} // namespace
