#include "items/QRNSensorMonitorItem.h"

#include "extension/VLPAppleSiliconSensorEntry.h"
#include "extension/VLPPowerGadgetEntry.h"
#include "items/OpenedMenu.h"
#include "items/SensorReadings.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "platform/notifications/NotificationCenter.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"
#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <gtest/gtest.h>

namespace {

// A temperature as every row shows it: in the cells' unit and format.
QString degrees(double celsius)
{
    return QRNSensorMonitorItem::presentationStringForCentigradeValue(celsius);
}

const QStringList Cells {QStringLiteral("QRNTemperatureMenuBarCell:N"), QStringLiteral("QRNGraphMenuBarCell:1N")};

// The sensor item over a session the test steers, fed from a fixture machine.
class SensorItemTest : public ::testing::Test {
protected:
    void TearDown() override { QRNTemperatureMenuBarCell::setTemperatureUnit(0); }

    QRNSensorMonitorItem& item(const QString& machine, bool extended = true)
    {
        session.dataSet = sensorDataSetOf(FixtureSysroot::fixture(machine));
        EXPECT_TRUE(session.dataSet) << machine.toStdString();
        m_item = std::make_unique<QRNSensorMonitorItem>(session.instrument());
        EXPECT_TRUE(m_item->initWithCellConfiguration(Cells));
        set(SettingName::UseAppExtension, extended);
        // The first sample with sections builds the menu; the next fills the cells.
        tick();
        tick();
        return *m_item;
    }
    void set(QLatin1String name, const QVariant& value)
    {
        m_item->handleChangeOfUserDefault(SettingsKey(QLatin1String("SensorTopic"), name), value);
    }
    void tick()
    {
        m_item->sensorInstrument().collectNewSample();
        m_item->updateInterface();
    }
    QString menu() { return openedMenu(*m_item); }
    QRNTemperatureMenuBarCell& temperatureCell() const
    {
        return dynamic_cast<QRNTemperatureMenuBarCell&>(*m_item->menuBarImage()->menuBarCells().at(0));
    }
    QRNGraphMenuBarCell& graphCell() const
    {
        return dynamic_cast<QRNGraphMenuBarCell&>(*m_item->menuBarImage()->menuBarCells().at(1));
    }

    ScopedStatusBar bar;
    ScopedLocale locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    SteeredSession session;
    std::unique_ptr<QRNSensorMonitorItem> m_item;
};

// The status row of a thermal state: the cells' symbol and its name.
QString stateText(int state)
{
    static const char* const names[] = {"Nominal", "Fair", "Serious", "Critical"};
    return QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(
               QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(state))
        + u' ' + QLatin1String(names[state]) + u'\t';
}

float newestValue(const QRNBufferedGraph& graph)
{
    return graph.historyValues().at((graph.currentIndex() + graph.capacity() - 1) % graph.capacity());
}

float graphScale(const QRNBufferedGraph& graph)
{
    float delta = 0;
    graph.getForCurrentZoomModeValueDelta(&delta, nullptr);
    return delta;
}

} // namespace

TEST_F(SensorItemTest, LaptopShowsThePackageTemperatureAndItsSensorsButNoFans)
{
    QRNSensorMonitorItem& laptop = item(QStringLiteral("sensors-laptop"));
    EXPECT_EQ(temperatureCell().valueAsString().trimmed(), QStringLiteral("61℃"));
    EXPECT_FALSE(temperatureCell().shouldShowThermalState());
    EXPECT_FALSE(temperatureCell().isInNoDataMode());

    const QString text = menu();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Status\t\n") + stateText(0) + QStringLiteral("\n-----\n"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("Fan Revs")));
    // Chips in the order of their names, readings in channel order.
    EXPECT_TRUE(text.contains(QStringLiteral("Hardware Sensors\t\nBAT0 in0\t12.48 V\nacpitz temp1\t") + degrees(48)
        + QStringLiteral("\ncoretemp Package id 0\t") + degrees(61) + QStringLiteral("\ncoretemp Core 0\t") + degrees(58) + QStringLiteral("\n"))) << qPrintable(text);
    // Power and frequency only once the user permits them.
    EXPECT_FALSE(text.contains(QStringLiteral("Package temperature")));
    set(SettingName::PermitPowerGadget, true);
    tick();
    EXPECT_TRUE(menu().contains(QStringLiteral("Power and Frequency\t\nPackage temperature\t") + degrees(61) + QStringLiteral("\n"))) << qPrintable(menu());
    EXPECT_EQ(laptop.gadgetViews().size(), 1u);
}

TEST_F(SensorItemTest, DesktopListsFiveFansTheDieTemperatureAndTheVoltages)
{
    QRNSensorMonitorItem& desktop = item(QStringLiteral("sensors-desktop"));
    EXPECT_EQ(temperatureCell().valueAsString().trimmed(), QStringLiteral("57.5℃"));  // Tdie, not the offset Tctl
    const QString text = menu();
    EXPECT_TRUE(text.contains(QStringLiteral("Fan Revs\t\nFan 'nct6775 fan 1'\t 1180 RPM\nFan 'nct6775 fan 2'\t  860 RPM\n"
                                             "Fan 'nct6775 fan 3'\t    0 RPM\nFan 'nct6775 fan 4'\t 1520 RPM\nFan 'nct6775 fan 5'\t  640 RPM\n")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("nct6775 Vcore\t1.21 V\nnct6775 +3.3V\t3.34 V\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("k10temp Tctl\t") + degrees(67.5) + QStringLiteral("\nk10temp Tdie\t") + degrees(57.5) + QStringLiteral("\n"))) << qPrintable(text);
    EXPECT_EQ(desktop.fanViews().size(), 5u);
    EXPECT_TRUE(desktop.fanGraphs().empty());
}

TEST_F(SensorItemTest, ServerKeepsItsTwoPackagesApartAndInDeviceOrder)
{
    item(QStringLiteral("sensors-server"));
    // The hotter of the two packages is the main temperature.
    EXPECT_EQ(temperatureCell().valueAsString().trimmed(), QStringLiteral("71℃"));
    const QString text = menu();
    // hwmon0 is the second package's chip: the names follow the devices, not
    // the kernel's folder numbers, so they stay put across boots.
    EXPECT_TRUE(text.contains(QStringLiteral("coretemp 1 Package id 0\t") + degrees(55) + QStringLiteral("\ncoretemp 1 Core 0\t") + degrees(53) + QStringLiteral("\ncoretemp 1 Core 1\t") + degrees(54) + QStringLiteral("\ncoretemp 2 Package id 1\t") + degrees(71) + QStringLiteral("\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Fan 'FAN1'\t 8400 RPM\nFan 'FAN2'\t 8550 RPM\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("nct7904 P1-DIMMA1 Temp\t") + degrees(29))) << qPrintable(text);
}

TEST_F(SensorItemTest, AMachineWithoutSensorsHasOnlyItsThermalState)
{
    QRNSensorMonitorItem& bare = item(QStringLiteral("sensors-none"));
    const QString text = menu();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Status\t\n") + stateText(0) + QStringLiteral("\n-----\n-----\nPreferences..."))) << qPrintable(text);
    EXPECT_TRUE(bare.fanViews().empty());
    EXPECT_TRUE(bare.siliconViews().empty());
}

TEST_F(SensorItemTest, WithoutExtendedAccessTheCellsShowTheThermalState)
{
    session.thermalState = 2;
    QRNSensorMonitorItem& item = this->item(QStringLiteral("sensors-desktop"), false);
    EXPECT_TRUE(temperatureCell().shouldShowThermalState());
    EXPECT_FALSE(temperatureCell().isInNoDataMode());
    EXPECT_EQ(temperatureCell().centigradeValue(), 100.0);
    EXPECT_FALSE(menu().contains(QStringLiteral("Fan Revs")));
    EXPECT_TRUE(menu().contains(QStringLiteral("Serious")));

    // Wanted, but the app extension is gone: the cells cross themselves out
    // and the graph follows the thermal state meanwhile.
    session.connected = false;
    NotificationCenter::defaultCenter().post(QStringLiteral("AppExtensionDidChange"));
    EXPECT_EQ(item.sensorInstrument().numberOfFans(), 0u);
    set(SettingName::UseAppExtension, true);
    tick();
    EXPECT_FALSE(temperatureCell().shouldShowThermalState());
    EXPECT_TRUE(temperatureCell().isInNoDataMode());
    EXPECT_EQ(newestValue(graphCell().bufferedGraph()), 100.0f);

    // It comes back: temperatures again, and the fan section with them.
    session.connected = true;
    tick();
    EXPECT_EQ(item.fanViews().size(), 5u);
    tick();
    EXPECT_FALSE(temperatureCell().isInNoDataMode());
    EXPECT_EQ(temperatureCell().valueAsString().trimmed(), QStringLiteral("57.5℃"));
}

TEST_F(SensorItemTest, TemperaturesInTheMenuFollowTheUnitOfTheCells)
{
    item(QStringLiteral("sensors-laptop"));
    QRNTemperatureMenuBarCell::setTemperatureUnit(1);
    tick();
    EXPECT_EQ(temperatureCell().valueAsString().trimmed(), QStringLiteral("141.8℉"));
    EXPECT_TRUE(menu().contains(QStringLiteral("coretemp Package id 0\t141.8℉"))) << qPrintable(menu());
}

TEST_F(SensorItemTest, FanGraphsSpanTheFansRangeOrZoomToTheirValues)
{
    QRNSensorMonitorItem& desktop = item(QStringLiteral("sensors-desktop"));
    set(SettingName::ShowFanSpeedGraphs, true);
    tick();
    ASSERT_EQ(desktop.fanGraphs().size(), 5u);
    EXPECT_TRUE(desktop.fanGraphs()[0]->zoomsLocally());
    // Zooming: the scale is the spread of what the graph holds.
    EXPECT_FLOAT_EQ(graphScale(desktop.fanGraphs()[0]->bufferedGraph()), 1180.0f);

    set(SettingName::UseFixRangeFanGraphs, true);
    tick();
    ASSERT_EQ(desktop.fanGraphs().size(), 5u);
    EXPECT_FALSE(desktop.fanGraphs()[0]->zoomsLocally());
    EXPECT_FLOAT_EQ(graphScale(desktop.fanGraphs()[0]->bufferedGraph()), 2400.0f);  // fan1_max
    EXPECT_FLOAT_EQ(graphScale(desktop.fanGraphs()[3]->bufferedGraph()), 3000.0f);
    // A fan that does not tell its maximum zooms rather than drawing flat.
    EXPECT_TRUE(desktop.fanGraphs()[1]->zoomsLocally());
    EXPECT_TRUE(menu().contains(QStringLiteral("Fan 'nct6775 fan 1'\t 1180 RPM\n"))) << qPrintable(menu());
}

TEST_F(SensorItemTest, ANewFanRebuildsTheMenuAtMostOnceASecond)
{
    FixtureSysroot machine(QStringLiteral("sensors-desktop"));
    QRNSensorMonitorItem& desktop = item(QStringLiteral("sensors-desktop"));
    ASSERT_EQ(desktop.fanViews().size(), 5u);
    const auto fanCount = [&](int fans) {
        machine.writeFile(QStringLiteral("sys/class/hwmon/hwmon0/fan6_input"), "500\n");
        machine.writeFile(QStringLiteral("sys/class/hwmon/hwmon0/fan7_input"), "700\n");
        if (fans < 7)
            machine.removeFile(QStringLiteral("sys/class/hwmon/hwmon0/fan7_input"));
        session.dataSet = sensorDataSetOf(machine.root());
    };
    // The menu was last rebuilt for a change of entries two seconds ago.
    desktop.setTimeOfRebuildDuringUpdate(QDateTime::currentDateTimeUtc().addSecs(-2));
    LogCapture log;
    fanCount(6);
    tick();
    EXPECT_EQ(desktop.fanViews().size(), 6u);
    EXPECT_FALSE(log.contains(LogLevel::Default, QStringLiteral("Throttling synchronization of sensor menu user interface")));
    fanCount(7);
    tick();
    EXPECT_EQ(desktop.fanViews().size(), 6u);
    EXPECT_TRUE(log.contains(LogLevel::Default, QStringLiteral("Throttling synchronization of sensor menu user interface")));
    // The rows it has still show their fans meanwhile.
    EXPECT_TRUE(menu().contains(QStringLiteral("Fan 'nct6775 fan 6'\t  500 RPM"))) << qPrintable(menu());
}

TEST(SensorItemTexts, ValuesOfTheSectionsInTheUsersLocale)
{
    ScopedLocale locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    VLPAppleSiliconSensorEntry power;
    power.quantityType = 4;
    power.currentValue = 1234;
    EXPECT_EQ(QRNSensorMonitorItem::localizedValueForAppleSiliconSensorEntry(&power), QStringLiteral("1.23 W"));
    power.quantityType = 99;
    EXPECT_EQ(QRNSensorMonitorItem::localizedValueForAppleSiliconSensorEntry(&power), QString());
    EXPECT_EQ(QRNSensorMonitorItem::localizedValueForAppleSiliconSensorEntry(nullptr), QString());

    VLPPowerGadgetEntry frequency;
    frequency.quantityType = 13;
    frequency.value = 2400.7;
    EXPECT_EQ(QRNSensorMonitorItem::localizedValueForIntelPowerGadgetEntry(frequency), CDP::displayTextForFrequency(2'400'000'000ULL));
    frequency.quantityType = 7;
    EXPECT_EQ(QRNSensorMonitorItem::localizedValueForIntelPowerGadgetEntry(frequency), std::nullopt);

    EXPECT_EQ(QRNSensorMonitorItem::fanSpeedText(1200.4), QStringLiteral(" 1200 RPM"));
    EXPECT_EQ(QRNSensorMonitorItem::presentationStringForThermalState(3),
        QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(125.0) + QStringLiteral(" Critical"));
}

TEST_F(SensorItemTest, AReadingAtItsLowestBoundShowsAsABoundInTheLabelColour)
{
    FixtureSysroot machine(QStringLiteral("sensors-desktop"));
    machine.writeFile(QStringLiteral("sys/class/hwmon/hwmon0/in0_input"), "800\n");
    QRNSensorMonitorItem& desktop = item(QStringLiteral("sensors-desktop"));
    session.dataSet = sensorDataSetOf(machine.root());
    tick();
    EXPECT_TRUE(menu().contains(QStringLiteral("nct6775 Vcore\t\u2264 0.80 V\nnct6775 +3.3V\t3.34 V"))) << qPrintable(menu());
    const auto row = [&](const QString& name) -> const QRNTextPairView* {
        for (const auto& view : desktop.siliconViews())
            if (view && view->leftTextCell().stringValue() == name)
                return view;
        return nullptr;
    };
    ASSERT_TRUE(row(QStringLiteral("nct6775 Vcore")));
    ASSERT_TRUE(row(QStringLiteral("nct6775 +3.3V")));
    EXPECT_EQ(row(QStringLiteral("nct6775 Vcore"))->rightTextCell().textColor(), MenuBarColor(MenuBarColor::System::Label));
    EXPECT_EQ(row(QStringLiteral("nct6775 +3.3V"))->rightTextCell().textColor(), MenuBarColor(MenuBarColor::System::Text));
}
