#include "LaunchedController.h"

#include "configuration/TopicTree.h"
#include "configuration/WindowFrameAutosave.h"
#include "configuration/GUISwitchNoticeWindowController.h"

#include <QTreeWidget>

namespace {

class ConfigurationWindowTest : public LaunchedController {
protected:
    void suppressNotice() { defaults().setObject("PreferencesTopic-SuppressSwitchingNotice", true, UserDefaults::Domain::Host); }
};

TEST_F(ConfigurationWindowTest, ThePagesAreBuiltWhenTheWindowFirstOpens)
{
    defaults().setObject("ProcessorTopic-IsActive", true, UserDefaults::Domain::Host);
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", QRNCPUMonitorItem::defaultCellConfiguration(), UserDefaults::Domain::Host);
    defaults().setObject("SelectedTopicClass", "MemoryTopic");
    suppressNotice();
    launch();
    EXPECT_EQ(controller->configurationWindowController(), nullptr);
    // Dragging the item out of the bar has no page to untick.
    controller->requestDeactivationOfMonitorItem(liveItem("QRNCPUMonitorItem"));
    EXPECT_EQ(liveItem("QRNCPUMonitorItem"), nullptr);
    EXPECT_EQ(window(), nullptr);

    // Opened, the window shows the topic of the last run; each page reads
    // the settings as they are now.
    controller->setFullGUIEnabled(true);
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(windowController().selectedConfigurationTopic(), windowController().topicForClassName("MemoryTopic"));
    ASSERT_NE(windowController().topicForClassName("ProcessorTopic"), nullptr);
    EXPECT_FALSE(windowController().topicForClassName("ProcessorTopic")->isFeatureActive());
    EXPECT_EQ(defaults().integerForKey("MenuBarLayoutTopic-BarHistoryScaling"), 100);
    // Built once: closing and reopening keeps the same pages.
    ConfigurationWindow* built = window();
    window()->close();
    controller->openPreferences();
    EXPECT_EQ(window(), built);
}

TEST_F(ConfigurationWindowTest, SelectingATopicShowsItsPage)
{
    launch();
    // The window is built when first asked for.
    ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    windowController().selectTopicWithClassName("MemoryTopic");
    int rows = 0;
    for (QTreeWidgetItemIterator it(window()->topicOutline()); *it; ++it) {
        ++rows;
        EXPECT_TRUE((*it)->childCount() == 0 || (*it)->isExpanded()) << (*it)->text(0).toStdString();
    }
    EXPECT_EQ(rows, 12);

    ConfigurationTopic* memory = windowController().topicForClassName("MemoryTopic");
    EXPECT_EQ(windowController().selectedConfigurationTopic(), memory);
    EXPECT_EQ(windowController().visibleTopic(), memory);
    EXPECT_TRUE(memory->contentView()->isVisibleTo(window()));
    EXPECT_TRUE(window()->configurationBox()->isAncestorOf(memory->contentView()));
    // An unknown class changes nothing.
    windowController().selectTopicWithClassName("GraphicsTopic");
    EXPECT_EQ(windowController().selectedConfigurationTopic(), memory);

    // The user clicks another row: its page replaces the first.
    ConfigurationTopic* disk = windowController().topicForClassName("DiskTopic");
    window()->topicOutline()->setCurrentItem(window()->outlineItemAtIndexPath(
        *TopicTree::configurationIndexPathOfClassNamed("DiskTopic", windowController().configurationTopics())));
    EXPECT_EQ(windowController().visibleTopic(), disk);
    EXPECT_TRUE(disk->contentView()->isVisibleTo(window()));
    EXPECT_FALSE(memory->contentView()->isVisibleTo(window()));

    // A group has no page of its own.
    windowController().selectTopicWithClassName("ConfigurationTopic");
    EXPECT_TRUE(window()->emptyConfigurationView()->isVisibleTo(window()));
    EXPECT_FALSE(disk->contentView()->isVisibleTo(window()));
    window()->setSelectedTopicPaths({});
    EXPECT_EQ(windowController().selectedConfigurationTopic(), nullptr);
}

TEST_F(ConfigurationWindowTest, PreferencesOfAnItemOpenItsPage)
{
    defaults().setObject("ProcessorTopic-IsActive", true, UserDefaults::Domain::Host);
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", QRNCPUMonitorItem::defaultCellConfiguration(), UserDefaults::Domain::Host);
    suppressNotice();
    launch();
    EXPECT_EQ(window(), nullptr);
    ASSERT_NE(liveItem("QRNCPUMonitorItem"), nullptr);
    liveItem("QRNCPUMonitorItem")->openUserInterfaceForPreferenceSettings();
    EXPECT_TRUE(controller->isFullGUIEnabled());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(windowController().selectedConfigurationTopic()->className(), "ProcessorTopic");
    controller->openPreferences();
    EXPECT_EQ(windowController().selectedConfigurationTopic()->className(), "PreferencesTopic");
}

TEST_F(ConfigurationWindowTest, TopicAndFrameAreRememberedBetweenRuns)
{
    suppressNotice();
    launch();
    controller->openPreferences();
    window()->setGeometry(QRect(100, 120, 700, 500));
    window()->close();
    EXPECT_EQ(WindowFrameAutosave::storedFrame(), QRect(window()->pos(), QSize(700, 500)));
    windowController().selectTopicWithClassName("NetworkTopic");
    controller->applicationWillTerminate();
    EXPECT_EQ(defaults().stringForKey("SelectedTopicClass"), "NetworkTopic");

    controller.reset();
    launch();
    controller->setFullGUIEnabled(true);
    EXPECT_EQ(windowController().selectedConfigurationTopic()->className(), "NetworkTopic");
    EXPECT_EQ(window()->size(), QSize(700, 500));
    // A frame off every screen is not used.
    defaults().setObject(WindowFrameAutosave::frameDefaultsKey(), QVariantList{-5000, -5000, 700, 500});
    EXPECT_FALSE(WindowFrameAutosave::storedFrame());
}

TEST(SwitchNotice, PlacementAndCancelling)
{
    EXPECT_EQ(GUISwitchNoticeWindowController::windowOriginOnScreen(QRect(0, 0, 1000, 800), QSize(200, 100)), QPoint(700, 80));
    EXPECT_EQ(GUISwitchNoticeWindowController::windowOriginOnScreen(QRect(1280, 100, 1000, 800), QSize(300, 60)), QPoint(1880, 180));

    GUISwitchNoticeWindowController notice;
    int ends = 0;
    notice.runNotificationForGUIEnabled(false, [&] { ++ends; });
    EXPECT_TRUE(notice.isNotificationRunning());
    notice.cancelNotification();
    EXPECT_FALSE(notice.isNotificationRunning());
    EXPECT_FALSE(notice.window()->isVisible());
    notice.confirmEndOfNotification();
    EXPECT_EQ(ends, 0);
    // A second notice replaces the first, whose end action is dropped.
    notice.runNotificationForGUIEnabled(false, [&] { ++ends; });
    notice.runNotificationForGUIEnabled(true, [&] { ends += 10; });
    notice.confirmEndOfNotification();
    EXPECT_EQ(ends, 10);
}

} // namespace
