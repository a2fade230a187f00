#include "extension/QRNExtendableSensorInstrument.h"
#include "extension/SessionFixture.h"
#include "items/OpenedMenu.h"
#include "items/QRNSensorMonitorItem.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/linux/ThermalZones.h"
#include "settings/QRNHostUserDefaults.h"
#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <QTimer>

namespace {

// The real companion reads a desktop the test changes under it; the sensor
// item is sampled four times a second through the real session.
class SensorSessionTest : public SessionTest {
protected:
    SensorSessionTest()
    {
        machine.writeFile(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "97000\n");
        machine.writeFile(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_type"), "passive\n");
        machine.writeFile(QStringLiteral("sys/class/thermal/thermal_zone0/trip_point_0_temp"), "95000\n");
        sysroot = machine.root();
    }
    void SetUp() override
    {
        SessionTest::SetUp();
        QRNHostUserDefaults::setBool(true, SettingName::UseAppExtension);
        item = std::make_unique<QRNSensorMonitorItem>(std::make_shared<QRNExtendableSensorInstrument>(
            QRNExtendableSensorInstrument::currentSession(),
            [root = machine.root()] { return int(ThermalZones(Sysroot(root)).thermalState()); }));
        ASSERT_TRUE(item->initWithCellConfiguration({QStringLiteral("QRNTemperatureMenuBarCell:N")}));
        item->handleChangeOfUserDefault(SettingsKey::parse(QStringLiteral("SensorTopic-UseAppExtension")), true);
        QObject::connect(&ticks, &QTimer::timeout, [this] {
            item->sensorInstrument().collectNewSample();
            item->updateInterface();
        });
        ticks.start(250);
        session.start();
    }

    QRNTemperatureMenuBarCell& cell() const
    {
        return dynamic_cast<QRNTemperatureMenuBarCell&>(*item->menuBarImage()->menuBarCells().at(0));
    }
    // Seconds until the cell shows the text; none when it did not within the limit.
    std::optional<double> secondsUntilCellShows(const QString& text, double limit)
    {
        QElapsedTimer clock;
        clock.start();
        if (!waitFor([&] { return !cell().isInNoDataMode() && cell().valueAsString().trimmed() == text; }, limit))
            return std::nullopt;
        return clock.elapsed() / 1000.0;
    }

    ScopedStatusBar bar;
    ScopedLocale locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    FixtureSysroot machine {QStringLiteral("sensors-desktop")};
    std::unique_ptr<QRNSensorMonitorItem> item;
    QTimer ticks;
};

} // namespace

TEST_F(SensorSessionTest, FollowsTheMachineAndTheCompanionComingAndGoing)
{
    ASSERT_TRUE(secondsUntilCellShows(QStringLiteral("57.5℃"), 15));
    EXPECT_TRUE(openedMenu(*item).contains(QStringLiteral("Fan 'nct6775 fan 5'\t  640 RPM")));

    // A new temperature reaches the cell and the menu within two seconds.
    machine.writeFile(QStringLiteral("sys/class/hwmon/hwmon1/temp2_input"), "63000\n");
    const std::optional<double> seconds = secondsUntilCellShows(QStringLiteral("63℃"), 5);
    ASSERT_TRUE(seconds);
    EXPECT_LT(*seconds, 2.0);
    EXPECT_TRUE(openedMenu(*item).contains(QStringLiteral("k10temp Tdie\t") + QRNSensorMonitorItem::presentationStringForCentigradeValue(63)));

    // A fan that goes away takes its row along.
    machine.removeFile(QStringLiteral("sys/class/hwmon/hwmon0/fan5_input"));
    ASSERT_TRUE(waitFor([&] { return item->fanViews().size() == 4; }, 5));
    EXPECT_FALSE(openedMenu(*item).contains(QStringLiteral("fan 5")));

    // The companion dies: the cell crosses itself out over the thermal
    // state, and the menu loses the companion's sections at its next build.
    const qint64 first = session.appExtensionProcessID();
    ASSERT_GT(first, 0);
    ::kill(pid_t(first), SIGKILL);
    // The session notices the silence after its 17 silent ticks.
    ASSERT_TRUE(waitFor([&] { return cell().isInNoDataMode(); }, 30));
    EXPECT_EQ(cell().centigradeValue(), QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(ThermalZones::Fair));
    item->rebuildMenu();
    const QString fallback = openedMenu(*item);
    EXPECT_TRUE(fallback.contains(QStringLiteral("Fair"))) << qPrintable(fallback);
    EXPECT_FALSE(fallback.contains(QStringLiteral("Fan Revs"))) << qPrintable(fallback);

    // The session starts it again, and the temperatures come back by themselves.
    ASSERT_TRUE(secondsUntilCellShows(QStringLiteral("63℃"), 30));
    EXPECT_NE(session.appExtensionProcessID(), first);
    ASSERT_TRUE(waitFor([&] { return item->fanViews().size() == 4; }, 5));
}
