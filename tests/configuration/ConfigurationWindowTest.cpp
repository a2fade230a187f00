#include "LaunchedController.h"

#include "configuration/ConfigurationWindowController.h"
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
    EXPECT_EQ(window(), nullptr);
    EXPECT_TRUE(controller->configurationTopics().empty());
    // Dragging the item out of the bar has no page to untick.
    controller->requestDeactivationOfMonitorItem(liveItem("QRNCPUMonitorItem"));
    EXPECT_EQ(liveItem("QRNCPUMonitorItem"), nullptr);
    EXPECT_EQ(window(), nullptr);

    // Opened, the window shows the topic of the last run; each page reads
    // the settings as they are now.
    controller->setFullGUIEnabled(true);
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(controller->selectedConfigurationTopic(), controller->topicForClassName("MemoryTopic"));
    ASSERT_NE(controller->topicForClassName("ProcessorTopic"), nullptr);
    EXPECT_FALSE(controller->topicForClassName("ProcessorTopic")->isFeatureActive());
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
    // Selecting a topic builds the window.
    controller->selectTopicWithClassName("MemoryTopic");
    ASSERT_NE(window(), nullptr);
    int rows = 0;
    for (QTreeWidgetItemIterator it(window()->topicOutline()); *it; ++it) {
        ++rows;
        EXPECT_TRUE((*it)->childCount() == 0 || (*it)->isExpanded()) << (*it)->text(0).toStdString();
    }
    EXPECT_EQ(rows, 12);

    ConfigurationTopic* memory = controller->topicForClassName("MemoryTopic");
    EXPECT_EQ(controller->selectedConfigurationTopic(), memory);
    EXPECT_EQ(controller->visibleTopic(), memory);
    EXPECT_TRUE(memory->contentView()->isVisibleTo(window()));
    EXPECT_TRUE(window()->configurationBox()->isAncestorOf(memory->contentView()));
    // An unknown class changes nothing.
    controller->selectTopicWithClassName("GraphicsTopic");
    EXPECT_EQ(controller->selectedConfigurationTopic(), memory);

    // The user clicks another row: its page replaces the first.
    ConfigurationTopic* disk = controller->topicForClassName("DiskTopic");
    window()->topicOutline()->setCurrentItem(window()->outlineItemAtIndexPath(
        *ApplicationDelegate::configurationIndexPathOfClassNamed("DiskTopic", controller->configurationTopics())));
    EXPECT_EQ(controller->visibleTopic(), disk);
    EXPECT_TRUE(disk->contentView()->isVisibleTo(window()));
    EXPECT_FALSE(memory->contentView()->isVisibleTo(window()));

    // A group has no page of its own.
    controller->selectTopicWithClassName("ConfigurationTopic");
    EXPECT_TRUE(window()->emptyConfigurationView()->isVisibleTo(window()));
    EXPECT_FALSE(disk->contentView()->isVisibleTo(window()));
    window()->setSelectedTopicPaths({});
    EXPECT_EQ(controller->selectedConfigurationTopic(), nullptr);
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
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), "ProcessorTopic");
    controller->openPreferences();
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), "PreferencesTopic");
}

TEST_F(ConfigurationWindowTest, TopicAndFrameAreRememberedBetweenRuns)
{
    suppressNotice();
    launch();
    controller->selectTopicWithClassName("NetworkTopic");
    controller->openPreferences();
    window()->setGeometry(QRect(100, 120, 700, 500));
    window()->close();
    EXPECT_EQ(ConfigurationWindowController::storedFrame(), QRect(window()->pos(), QSize(700, 500)));
    controller->selectTopicWithClassName("NetworkTopic");
    controller->applicationWillTerminate();
    EXPECT_EQ(defaults().stringForKey("SelectedTopicClass"), "NetworkTopic");

    controller.reset();
    launch();
    controller->setFullGUIEnabled(true);
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), "NetworkTopic");
    EXPECT_EQ(window()->size(), QSize(700, 500));
    // A frame off every screen is not used.
    defaults().setObject(ConfigurationWindowController::frameDefaultsKey(), QVariantList{-5000, -5000, 700, 500});
    EXPECT_FALSE(ConfigurationWindowController::storedFrame());
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
