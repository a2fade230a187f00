#include "app/ApplicationDelegate.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/StatusMenu.h"
#include "support/TestMonitorItem.h"

#include <QWidgetAction>

#include <gtest/gtest.h>

namespace {

class MonitorItemBaseTest : public ::testing::Test {
protected:
    void SetUp() override { StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>()); }
    void TearDown() override
    {
        controller.reset();
        StatusBar::setSystemStatusBar(nullptr);
    }
    std::unique_ptr<ApplicationDelegate> controller = std::make_unique<ApplicationDelegate>();
};

TEST_F(MonitorItemBaseTest, MainMenuItemCarriesTheApplicationCommandsInOrder)
{
    QRNMainMenuMonitorItem item;
    ASSERT_NE(item.statusItem()->menu(), nullptr);
    EXPECT_EQ(MenuText::of(*item.statusItem()->menu()), "About Vistrel\n-----\nPreferences...\nVistrel Help\n-----\nQuit Vistrel\n");
    item.statusItem()->menu()->actions()[2]->trigger();
    EXPECT_TRUE(controller->isFullGUIEnabled());
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
