#include "app/ApplicationDelegate.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/StatusMenu.h"
#include "support/ScopedStatusBar.h"
#include "support/ScopedUserDefaults.h"
#include "support/TestMonitorItem.h"


#include <QWidgetAction>

#include <gtest/gtest.h>

namespace {

class MonitorItemBaseTest : public ::testing::Test {
protected:
    ScopedStatusBar bar;
    ScopedUserDefaults settings;
    std::unique_ptr<ApplicationDelegate> controller = std::make_unique<ApplicationDelegate>();
};

TEST_F(MonitorItemBaseTest, MainMenuItemCarriesTheApplicationCommandsInOrder)
{
    settings.defaults().setObject("PreferencesTopic-SuppressSwitchingNotice", true);
    controller->setFullGUIEnabled(false);
    controller->setMainMenuIconDisabled(false);
    auto* item = qobject_cast<QRNMainMenuMonitorItem*>(controller->mainMenuMonitorItem());
    ASSERT_NE(item, nullptr);
    QMenu* menu = item->statusItem()->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText::of(*menu), "About Vistrel\nCheck for Updates...\n-----\nPreferences...\nVistrel Help\n-----\nQuit Vistrel\n");
    // The commands reach the controller through the item's signals.
    int quits = 0;
    QObject::connect(item, &QRNMainMenuMonitorItem::quitRequested, [&quits] { ++quits; });
    menu->actions()[3]->trigger();
    EXPECT_TRUE(controller->isFullGUIEnabled());
    menu->actions()[6]->trigger();
    EXPECT_EQ(quits, 1);
}

TEST_F(MonitorItemBaseTest, MenuGrowsToItsWidestRowWithOneWidthKeepingRow)
{
    TestMonitorItem item("TestOne", {"x"});
    StatusMenu& menu = *item.menu();
    QRNTextPairView* row = item.addTextPairView("Uptime:", "1 day", &menu);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(item.addTextPairView("x", QString(), nullptr), nullptr);
    auto keepers = [&menu] {
        std::vector<int> widths;
        for (QAction* action : menu.actions()) {
            if (action->data().toInt() == QRNMonitorItem::WidthKeepingTag)
                widths.push_back(static_cast<QWidgetAction*>(action)->defaultWidget()->width());
        }
        return widths;
    };
    item.updateMenuWidthForTextPairViewsIfNeeded();
    ASSERT_EQ(keepers(), std::vector<int>{int(std::ceil(row->optimumWidth()))});
    const int first = keepers()[0];

    row->setRightStringValue("123 days, 23 hours and 59 minutes");
    item.updateMenuWidthForTextPairViewsIfNeeded();
    item.updateMenuWidthForTextPairViewsIfNeeded();
    ASSERT_EQ(keepers().size(), 1u);
    EXPECT_GT(keepers()[0], first);
    EXPECT_GE(menu.sizeHint().width(), keepers()[0]);
}

} // namespace
