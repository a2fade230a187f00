#include "LaunchedController.h"

#include "configuration/ConfigurationWindowController.h"
#include "configuration/GUISwitchNoticeWindowController.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTreeWidget>

namespace {

class ConfigurationWindowTest : public LaunchedController {};

TEST_F(ConfigurationWindowTest, TheOutlineShowsTheWholeTreeExpanded)
{
    launch();
    QTreeWidget* outline = window()->topicOutline();
    ASSERT_EQ(outline->topLevelItemCount(), int(controller->configurationTopics().size()));
    int rows = 0;
    for (QTreeWidgetItemIterator it(outline); *it; ++it) {
        ++rows;
        if ((*it)->childCount() > 0) {
            EXPECT_TRUE((*it)->isExpanded()) << (*it)->text(0).toStdString();
        }
    }
    EXPECT_EQ(rows, 12);
}

TEST_F(ConfigurationWindowTest, SelectingATopicShowsItsPage)
{
    launch();
    controller->selectTopicWithClassName(QStringLiteral("MemoryTopic"));
    ConfigurationTopic* memory = controller->topicForClassName(QStringLiteral("MemoryTopic"));
    EXPECT_EQ(controller->selectedConfigurationTopic(), memory);
    EXPECT_EQ(controller->visibleTopic(), memory);
    EXPECT_TRUE(memory->contentView()->isVisibleTo(window()));
    EXPECT_TRUE(window()->configurationBox()->isAncestorOf(memory->contentView()));

    // An unknown class changes nothing.
    controller->selectTopicWithClassName(QStringLiteral("GraphicsTopic"));
    EXPECT_EQ(controller->selectedConfigurationTopic(), memory);

    // The user clicks another row: its page replaces the first.
    ConfigurationTopic* disk = controller->topicForClassName(QStringLiteral("DiskTopic"));
    window()->topicOutline()->setCurrentItem(window()->outlineItemAtIndexPath(
        *ApplicationDelegate::configurationIndexPathOfClassNamed(QStringLiteral("DiskTopic"), controller->configurationTopics())));
    EXPECT_EQ(controller->visibleTopic(), disk);
    EXPECT_TRUE(disk->contentView()->isVisibleTo(window()));
    EXPECT_FALSE(memory->contentView()->isVisibleTo(window()));

    // A group has no page of its own.
    controller->selectTopicWithClassName(QStringLiteral("ConfigurationTopic"));
    EXPECT_TRUE(window()->emptyConfigurationView()->isVisibleTo(window()));
    EXPECT_FALSE(disk->contentView()->isVisibleTo(window()));

    window()->setSelectedTopicPaths({});
    EXPECT_EQ(controller->selectedConfigurationTopic(), nullptr);
}

TEST_F(ConfigurationWindowTest, PreferencesOfAnItemOpenItsPage)
{
    defaults().setObject(QStringLiteral("ProcessorTopic-IsActive"), true, UserDefaults::Domain::Host);
    defaults().setObject(QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QRNCPUMonitorItem::defaultCellConfiguration(),
        UserDefaults::Domain::Host);
    defaults().setObject(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true, UserDefaults::Domain::Host);
    launch();
    EXPECT_FALSE(window()->isVisible());
    QRNMonitorItem* processor = liveItem(QStringLiteral("QRNCPUMonitorItem"));
    ASSERT_NE(processor, nullptr);

    processor->openUserInterfaceForPreferenceSettings();
    EXPECT_TRUE(controller->isFullGUIEnabled());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), QStringLiteral("ProcessorTopic"));

    controller->openPreferences();
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), QStringLiteral("PreferencesTopic"));
}

TEST_F(ConfigurationWindowTest, TheSelectedTopicIsRememberedBetweenRuns)
{
    launch();
    controller->selectTopicWithClassName(QStringLiteral("NetworkTopic"));
    controller->applicationWillTerminate();
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("SelectedTopicClass")), QStringLiteral("NetworkTopic"));

    controller.reset();
    launch();
    EXPECT_EQ(controller->selectedConfigurationTopic()->className(), QStringLiteral("NetworkTopic"));
}

TEST_F(ConfigurationWindowTest, TheWindowFrameIsRememberedBetweenRuns)
{
    defaults().setObject(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true, UserDefaults::Domain::Host);
    launch();
    controller->openPreferences();
    window()->setGeometry(QRect(100, 120, 700, 500));
    window()->close();
    EXPECT_EQ(ConfigurationWindowController::storedFrame(), QRect(window()->pos(), QSize(700, 500)));

    controller.reset();
    launch();
    controller->openPreferences();
    EXPECT_EQ(window()->size(), QSize(700, 500));

    // A frame off every screen is not used.
    defaults().setObject(ConfigurationWindowController::frameDefaultsKey(), QVariantList{-5000, -5000, 700, 500});
    EXPECT_FALSE(ConfigurationWindowController::storedFrame());
}

class SwitchNoticeTest : public LaunchedController {
protected:
    GUISwitchNoticeWindowController& notice() const { return *controller->switchNoticeWindowController(); }
};

TEST_F(SwitchNoticeTest, ClosingTheWindowDuringTheEnablingNoticeShowsTheDisablingOne)
{
    launch();
    // Launch ends in menu-bar only with its own notice; let it end.
    notice().confirmEndOfNotification();
    controller->openPreferences();
    ASSERT_TRUE(notice().isNotificationRunning());
    EXPECT_EQ(notice().switchNoticeMessage()->text(), QStringLiteral("Switching to normal App controls"));
    EXPECT_TRUE(window()->isVisible());

    window()->close();
    EXPECT_FALSE(controller->isFullGUIEnabled());
    EXPECT_TRUE(notice().isNotificationRunning());
    EXPECT_TRUE(notice().window()->isVisible());
    EXPECT_EQ(notice().switchNoticeMessage()->text(), QStringLiteral("Switching to 'menu-bar only'"));

    // Reopening before the notice ends keeps the window: the cancelled
    // notice's end action never runs.
    controller->openPreferences();
    EXPECT_EQ(notice().switchNoticeMessage()->text(), QStringLiteral("Switching to normal App controls"));
    notice().confirmEndOfNotification();
    EXPECT_TRUE(window()->isVisible());
    EXPECT_FALSE(notice().window()->isVisible());
}

TEST_F(SwitchNoticeTest, TheNoticeEndsByItselfAndThenLeavesTheFullInterface)
{
    launch();
    notice().confirmEndOfNotification();
    controller->openPreferences();
    notice().confirmEndOfNotification();
    controller->setFullGUIEnabled(false);
    // Menu-bar only comes when the notice has faded.
    EXPECT_TRUE(window()->isVisible());
    const bool ended = [&] {
        QElapsedTimer clock;
        clock.start();
        while (notice().isNotificationRunning() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return !notice().isNotificationRunning();
    }();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(window()->isVisible());
    EXPECT_FALSE(notice().window()->isVisible());
    EXPECT_DOUBLE_EQ(notice().window()->windowOpacity(), 1.0);
}

TEST_F(SwitchNoticeTest, ASuppressedNoticeSwitchesAtOnce)
{
    launch();
    notice().confirmEndOfNotification();
    defaults().setObject(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true, UserDefaults::Domain::Host);
    controller->openPreferences();
    EXPECT_FALSE(notice().isNotificationRunning());
    window()->close();
    EXPECT_FALSE(notice().isNotificationRunning());
    EXPECT_FALSE(window()->isVisible());
}

TEST(SwitchNoticePlacement, NearTheTopRightCorner)
{
    EXPECT_EQ(GUISwitchNoticeWindowController::windowOriginOnScreen(QRect(0, 0, 1000, 800), QSize(200, 100)), QPoint(700, 80));
    EXPECT_EQ(GUISwitchNoticeWindowController::windowOriginOnScreen(QRect(1280, 100, 1000, 800), QSize(300, 60)),
        QPoint(1280 + 600, 100 + 80));
}

TEST(SwitchNoticeCancel, TheEndActionRunsOnlyAtTheEnd)
{
    GUISwitchNoticeWindowController notice;
    int ends = 0;
    notice.runNotificationForGUIEnabled(false, [&] { ++ends; });
    EXPECT_TRUE(notice.isNotificationRunning());
    notice.cancelNotification();
    EXPECT_FALSE(notice.isNotificationRunning());
    EXPECT_FALSE(notice.window()->isVisible());
    notice.confirmEndOfNotification();
    EXPECT_EQ(ends, 0);

    notice.runNotificationForGUIEnabled(false, [&] { ++ends; });
    // A second notice replaces the first, whose end action is dropped.
    notice.runNotificationForGUIEnabled(true, [&] { ends += 10; });
    notice.confirmEndOfNotification();
    EXPECT_EQ(ends, 10);
}

} // namespace
