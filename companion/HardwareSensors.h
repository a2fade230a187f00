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
    bool packageIsTdie = false;  // it is a k10temp Tdie, which beats any Tctl
};

// Reads every hwmon chip under sys/class/hwmon and the thermal zones.
class HardwareSensors {
public:
    explicit HardwareSensors(const SystemFiles& files)
        : m_files(files)
    {
    }

    HardwareReadings read() const;

    // One hwmon folder: its driver name and the device it belongs to.
    struct Chip {
        std::string folder;      // "sys/class/hwmon/hwmon3"
        std::string name;        // "coretemp"
        std::string devicePath;  // where "device" leads; empty without one
        std::string displayName; // the name, numbered when several chips share it
    };
    // Ordered by name and device path, so that readings keep their order and
    // names when the kernel numbers the hwmon folders differently at the next
    // boot; chips of the same name are numbered from 1 in that order.
    std::vector<Chip> chips() const;

private:
    void readChip(const Chip& chip, HardwareReadings& readings) const;
    // The package temperature when no hwmon chip names one: the hottest
    // x86_pkg_temp zone, else the hottest thermal zone.
    void readThermalZones(HardwareReadings& readings) const;

    const SystemFiles& m_files;
};
