#include "platform/linux/ThermalZones.h"

#include "platform/linux/FixtureSysroot.h"

#include <gtest/gtest.h>

namespace {

using Zone = ThermalZones::Zone;

Zone zone(long long milliCelsius, std::vector<ThermalZones::TripPoint> trips)
{
    return {milliCelsius, std::move(trips)};
}

const std::vector<ThermalZones::TripPoint> LaptopTrips {
    {QStringLiteral("active"), 60000}, {QStringLiteral("passive"), 90000},
    {QStringLiteral("hot"), 100000}, {QStringLiteral("critical"), 105000}};

} // namespace

TEST(ThermalZones, AZoneCountsByTheHighestTripPointItReached)
{
    EXPECT_EQ(ThermalZones::stateOfZone(zone(75000, LaptopTrips)), ThermalZones::Nominal);  // only the fan trip
    EXPECT_EQ(ThermalZones::stateOfZone(zone(90000, LaptopTrips)), ThermalZones::Fair);     // reaching a trip counts
    EXPECT_EQ(ThermalZones::stateOfZone(zone(101000, LaptopTrips)), ThermalZones::Serious);
    EXPECT_EQ(ThermalZones::stateOfZone(zone(110000, LaptopTrips)), ThermalZones::Critical);
    // Trip points in any order, and a zone without any.
    EXPECT_EQ(ThermalZones::stateOfZone(zone(101000, {{"critical", 105000}, {"hot", 100000}})), ThermalZones::Serious);
    EXPECT_EQ(ThermalZones::stateOfZone(zone(150000, {})), ThermalZones::Nominal);
    // Firmware writes 0 or -273.2 °C for a trip point it does not use.
    EXPECT_EQ(ThermalZones::stateOfZone(zone(40000, {{"critical", 0}, {"hot", -273200}})), ThermalZones::Nominal);

    // The worst zone decides, each against its own trip points: 80 °C is
    // fair for a zone whose passive trip is 70 °C, not for one at 90 °C.
    EXPECT_EQ(ThermalZones::stateOfZones({zone(85000, LaptopTrips), zone(80000, {{"passive", 70000}})}), ThermalZones::Fair);
    EXPECT_EQ(ThermalZones::stateOfZones({}), ThermalZones::Nominal);
}

TEST(ThermalZones, ReadsZonesAndTripPointsThroughTheSysroot)
{
    FixtureSysroot root(QStringLiteral("sensors-laptop"));
    const ThermalZones zones(Sysroot(root.root()));
    const std::vector<Zone> read = zones.read();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].milliCelsius, 61000);
    ASSERT_EQ(read[1].tripPoints.size(), 2u);
    EXPECT_EQ(read[1].tripPoints[0].type, QStringLiteral("passive"));
    EXPECT_EQ(read[1].tripPoints[0].milliCelsius, 95000);
    EXPECT_EQ(zones.thermalState(), ThermalZones::Nominal);

    root.writeFile(QStringLiteral("sys/class/thermal/thermal_zone1/temp"), "97000\n");
    EXPECT_EQ(zones.thermalState(), ThermalZones::Fair);
    root.writeFile(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "104000\n");
    EXPECT_EQ(zones.thermalState(), ThermalZones::Critical);

    // A zone whose device is off answers its temperature with an error: it
    // drops out instead of counting as 0 °C or ending the scan.
    root.writeFile(QStringLiteral("sys/class/thermal/thermal_zone0/temp"), "");
    EXPECT_EQ(zones.read().size(), 1u);
    EXPECT_EQ(zones.thermalState(), ThermalZones::Fair);

    EXPECT_EQ(ThermalZones(Sysroot(FixtureSysroot::fixture(QStringLiteral("sensors-none")))).read().size(), 0u);
}
