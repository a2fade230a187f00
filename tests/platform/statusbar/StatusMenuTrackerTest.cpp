#include "platform/statusbar/StatusMenuTracker.h"

#include "platform/statusbar/StatusBar.h"

#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <map>

namespace {

// A bar whose buttons sit where the test puts them.
class FramedBar : public StatusBar {
public:
    QRect buttonFrame(const StatusItem& item) const override
    {
        const auto it = frames.find(&item);
        return it == frames.end() ? QRect() : it->second;
    }
    bool knowsButtonFrames() const override { return known; }

    std::map<const StatusItem*, QRect> frames;
    bool known = true;
};

// Three items side by side, their menus reporting to the tracker as the
// application's items do, every opening counted.
class StatusMenuTrackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tracker.mouseLocation = [this] { return pointer; };
        for (int i = 0; i < 3; ++i) {
            items[i] = bar.statusItemWithLength(StatusItem::SquareLength);
            bar.frames[items[i].get()] = QRect(100 + 30 * i, 0, 22, 22);
            menus[i].addAction(QStringLiteral("Row"));
            items[i]->setMenu(&menus[i]);
            StatusItem* item = items[i].get();
            QObject::connect(&menus[i], &QMenu::aboutToShow, [this, item] {
                ++openings;
                tracker.setItemWithOpenMenu(item);
            });
            QObject::connect(&menus[i], &QMenu::aboutToHide, [this] { tracker.setItemWithOpenMenu(nullptr); });
        }
    }
    void TearDown() override
    {
        for (QMenu& menu : menus)
            menu.hide();
    }

    QPoint over(int i) const { return bar.frames.at(items[i].get()).center(); }
    // Passes of the tracker with the event loop running in between.
    void trackFor(int passes)
    {
        for (int i = 0; i < passes; ++i) {
            tracker.track();
            QCoreApplication::processEvents();
        }
    }
    int openMenus() const
    {
        return int(std::count_if(std::begin(menus), std::end(menus), [](const QMenu& m) { return m.isVisible(); }));
    }

    FramedBar bar;
    StatusMenuTracker tracker;
    std::unique_ptr<StatusItem> items[3];
    QMenu menus[3];
    QPoint pointer;
    int openings = 0;
};

TEST_F(StatusMenuTrackerTest, HandsTheMenuOverOnceToTheOneItemUnderThePointer)
{
    pointer = over(0);
    items[0]->popUpMenu();
    ASSERT_TRUE(tracker.isTracking());
    trackFor(3);
    EXPECT_EQ(openings, 1);

    pointer = over(1);
    trackFor(10);
    EXPECT_TRUE(menus[1].isVisible());
    EXPECT_EQ(openMenus(), 1);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(tracker.itemWithOpenMenu(), items[1].get());

    // Between two buttons nothing changes.
    pointer = QPoint(over(1).x() + 15, 10);
    trackFor(3);
    EXPECT_EQ(openings, 2);

    // Opening another menu directly, as a click does, closes the open one.
    items[2]->popUpMenu();
    EXPECT_TRUE(menus[2].isVisible());
    EXPECT_EQ(openMenus(), 1);
}

TEST_F(StatusMenuTrackerTest, GuessedOrOverlappingFramesNeverOpenAnything)
{
    pointer = over(0);
    items[0]->popUpMenu();
    // A tray's frames are guesses: the pointer over one of them means nothing.
    bar.known = false;
    pointer = over(1);
    trackFor(5);
    EXPECT_EQ(openings, 1);
    EXPECT_TRUE(menus[0].isVisible());

    // Two buttons under the pointer: no way to tell which one is meant.
    bar.known = true;
    bar.frames[items[2].get()] = bar.frames[items[1].get()].adjusted(-5, 0, 5, 0);
    trackFor(5);
    EXPECT_EQ(openings, 1);
    EXPECT_EQ(openMenus(), 1);
}

TEST_F(StatusMenuTrackerTest, AMenuTheUserClosedIsNotReopenedBeforeThePointerLeavesIt)
{
    pointer = over(1);
    items[1]->popUpMenu();
    menus[1].hide();
    EXPECT_FALSE(tracker.isTracking());

    // Another menu opens (by keyboard, say) while the pointer still rests on the closed one.
    items[0]->popUpMenu();
    trackFor(5);
    EXPECT_FALSE(menus[1].isVisible());
    EXPECT_EQ(openings, 2);

    // Once the pointer has left it, sliding back onto it opens it again.
    pointer = over(0);
    trackFor(2);
    pointer = over(1);
    trackFor(2);
    EXPECT_TRUE(menus[1].isVisible());
    EXPECT_EQ(openings, 3);
}

} // namespace
