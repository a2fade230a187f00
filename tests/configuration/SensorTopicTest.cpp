#include "LaunchedController.h"

#include "configuration/SensorTopic.h"
#include "extension/QRNExtendableSensorInstrument.h"
#include "extension/VistrelPlusSession.h"
#include "items/QRNSensorMonitorItem.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

class SensorTopicTest : public LaunchedController {
protected:
    void SetUp() override
    {
        LaunchedController::SetUp();
        defaults().setObject("SensorTopic-IsActive", true, UserDefaults::Domain::Host);
        defaults().setObject("SensorTopic-MenuBarConfiguration", QStringList {"QRNTemperatureMenuBarCell:N"}, UserDefaults::Domain::Host);
        defaults().setObject("SensorTopic-ShowFanSpeedGraphs", true, UserDefaults::Domain::Host);
        launch();
        ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    }
    void TearDown() override
    {
        QRNExtendableSensorInstrument::sharedSensorInstrument()->setShouldUseExtendedAccess(false);
        LaunchedController::TearDown();
    }
    SensorTopic& topic() const { return static_cast<SensorTopic&>(*windowController().topicForClassName("SensorTopic")); }
    QRNSensorMonitorItem* item() const { return static_cast<QRNSensorMonitorItem*>(liveItem("QRNSensorMonitorItem")); }
    template <typename Widget>
    Widget* control(const char* name) const { return topic().contentView()->findChild<Widget*>(name); }
};

} // namespace

TEST_F(SensorTopicTest, SwitchesShowTheStoredSettingsAndReachTheLiveItemAtOnce)
{
    ASSERT_NE(item(), nullptr);
    EXPECT_EQ(control<QLabel>("unavailableNote"), nullptr);
    EXPECT_TRUE(control<QCheckBox>("featureSwitch")->isEnabled());
    // The stored setting reached the item when it was made, and the page shows it.
    EXPECT_TRUE(item()->showsFanSpeedGraphs());
    EXPECT_TRUE(control<QCheckBox>("fanSpeedGraphs")->isChecked());

    control<QCheckBox>("useAppExtension")->click();
    EXPECT_TRUE(defaults().boolForKey("SensorTopic-UseAppExtension"));
    EXPECT_TRUE(item()->shouldUseExtendedAccess());
    EXPECT_TRUE(item()->sensorInstrument().shouldUseExtendedAccess());
    control<QCheckBox>("fanSpeedGraphs")->click();
    EXPECT_FALSE(item()->showsFanSpeedGraphs());
    control<QCheckBox>("fixRangeFanGraphs")->click();
    EXPECT_TRUE(item()->hasFixRangeFanSpeedGraphs());
    control<QCheckBox>("permitPowerGadget")->click();
    EXPECT_TRUE(item()->isPermittingPowerGadget());
    control<QCheckBox>("permitARMGadget")->click();
    EXPECT_TRUE(item()->isPermittingARMGadget());
    // The permissions reach Vistrel Plus through the shared settings too.
    EXPECT_TRUE(VistrelPlusSession::applicationGroupSuite().boolForKey(QStringLiteral("PowerGadgetActive")));
    EXPECT_TRUE(VistrelPlusSession::applicationGroupSuite().boolForKey(QStringLiteral("ARMMonitoringActive")));

    // Without a connected Vistrel Plus the page says what the item shows instead.
    EXPECT_FALSE(SensorTopic::canUseExtendedAccess());
    EXPECT_FALSE(SensorTopic::isPowerGadgetAvailable());
    EXPECT_TRUE(control<QLabel>("appExtensionAvailability")->text().contains(QStringLiteral("thermal state")));
    control<QPushButton>("checkAppExtensionStatus")->click();
    EXPECT_EQ(windowController().visibleTopic()->className(), QStringLiteral("VistrelPlusTopic"));
}
