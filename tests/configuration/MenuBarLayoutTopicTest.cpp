#include "LaunchedController.h"

#include "configuration/MenuBarLayoutTopic.h"
#include "configuration/QRNMenuBarSimulatorView.h"

#include <QSlider>

namespace {

class MenuBarLayoutTopicTest : public LaunchedController {
protected:
    MenuBarLayoutTopic& layout() const
    {
        return *static_cast<MenuBarLayoutTopic*>(controller->topicForClassName(QLatin1String(MenuBarLayoutTopic::ClassName)));
    }
    static double widthOfFirst(const QRNMenuBarSimulatorView* view, const QString& code)
    {
        for (quint64 i = 0; i < view->countOfMenuBarCells(); ++i) {
            if (view->menuBarCellAtIndex(i)->stringCode() == code)
                return view->menuBarCellAtIndex(i)->width();
        }
        return 0;
    }
};

TEST_F(MenuBarLayoutTopicTest, UnsetWidthsStartAtAHundredPercent)
{
    defaults().setObject(QStringLiteral("MenuBarLayoutTopic-BarGraphScaling"), 150, UserDefaults::Domain::Host);
    launch();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarHistoryScaling")), 100);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarGraphScaling")), 150);
    // Launch applied the stored widths to the cell classes.
    EXPECT_DOUBLE_EQ(QRNGraphMenuBarCell::widthScalingFactor(), 1.0);
    EXPECT_DOUBLE_EQ(QRNNumericMenuBarCell::barChartWidthScalingFactor(), 1.5);
    // The layout page has a palette of examples and no item strip.
    EXPECT_EQ(layout().menuBarSimulatorView(), nullptr);
    ASSERT_NE(layout().menuBarSourceView(), nullptr);
    EXPECT_EQ(layout().menuBarSourceView()->countOfMenuBarCells(), 3u);
}

TEST_F(MenuBarLayoutTopicTest, AWidthChangeIsStoredAppliedAndShownOnEveryPage)
{
    launch();
    const QRNMenuBarSimulatorView* processorPalette = controller->topicForClassName(QStringLiteral("ProcessorTopic"))->menuBarSourceView();
    const double graphWidth = widthOfFirst(processorPalette, QStringLiteral("QRNGraphMenuBarCell:1N"));
    const double barWidth = widthOfFirst(processorPalette, QStringLiteral("QRNNumericMenuBarCell:B"));

    auto* slider = layout().contentView()->findChild<QSlider*>(QStringLiteral("BarHistoryScaling"));
    ASSERT_NE(slider, nullptr);
    slider->setValue(150);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarHistoryScaling")), 150);
    EXPECT_DOUBLE_EQ(QRNGraphMenuBarCell::widthScalingFactor(), 1.5);
    EXPECT_DOUBLE_EQ(widthOfFirst(processorPalette, QStringLiteral("QRNGraphMenuBarCell:1N")), graphWidth * 1.5);
    EXPECT_DOUBLE_EQ(processorPalette->menuBarCellAtIndex(1)->offset() + processorPalette->menuBarCellAtIndex(1)->width(),
        processorPalette->menuBarCellAtIndex(2)->offset());

    layout().setGraphScaling(200);
    EXPECT_DOUBLE_EQ(QRNNumericMenuBarCell::barChartWidthScalingFactor(), 2.0);
    EXPECT_DOUBLE_EQ(widthOfFirst(processorPalette, QStringLiteral("QRNNumericMenuBarCell:B")), barWidth * 2);
    EXPECT_EQ(layout().contentView()->findChild<QSlider*>(QStringLiteral("BarGraphScaling"))->value(), 200);

    layout().setVariableWidthsToDefault();
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarHistoryScaling")), 100);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarGraphScaling")), 100);
    EXPECT_EQ(slider->value(), 100);
    EXPECT_DOUBLE_EQ(widthOfFirst(processorPalette, QStringLiteral("QRNGraphMenuBarCell:1N")), graphWidth);
}

TEST_F(MenuBarLayoutTopicTest, TheMainMenuIconAndDecimalPlacesSwitches)
{
    launch();
    ASSERT_NE(controller->mainMenuMonitorItem(), nullptr);
    layout().setSuppressesMainMenuIcon(true);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon")));
    EXPECT_EQ(controller->mainMenuMonitorItem(), nullptr);
    // Nothing else is in the bar, so the placeholder keeps the application reachable.
    EXPECT_NE(controller->placeholderItem(), nullptr);
    layout().setSuppressesMainMenuIcon(false);
    EXPECT_NE(controller->mainMenuMonitorItem(), nullptr);

    layout().setSuppressesDecimalPlaces(true);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("MenuBarLayoutTopic-BarSuppressDecimalPlaces")));
    EXPECT_EQ(QRNNumericMenuBarCell::stringForValue(0.634), QStringLiteral(" 63%"));
}

} // namespace
