#pragma once

#include "SystemFiles.h"

#include <optional>
#include <string>
#include <vector>

// Quantity codes of the generic sensor records.
enum class Quantity : int { Temperature = 1, Voltage = 2, Current = 3, Power = 4, Frequency = 13 };

// One hwmon value in the unit of its quantity: degrees Celsius, millivolts,
// milliamperes or milliwatts.
struct SensorReading {
    std::string name;
    Quantity quantity = Quantity::Temperature;
    double value = 0;
    std::optional<double> minimum;
};

struct FanReading {
    std::string name;
    double rpm = 0;
    double maximumRPM = 0;  // 0 when the chip does not say
};

struct HardwareReadings {
    std::vector<SensorReading> sensors;
    std::vector<FanReading> fans;
    std::optional<double> packageCelsius;
    std::string packageKey;  // which file gave the package temperature
};

// Reads every hwmon chip under sys/class/hwmon and the thermal zones.
class HardwareSensors {
public:
    explicit HardwareSensors(const SystemFiles& files)
        : m_files(files)
    {
    }

    HardwareReadings read() const;

private:
    void readChip(const std::string& chip, HardwareReadings& readings) const;
    // The package temperature when no hwmon chip names one: the hottest
    // x86_pkg_temp zone, else the hottest thermal zone.
    void readThermalZones(HardwareReadings& readings) const;

    const SystemFiles& m_files;
};
