#include "HardwareSensors.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace {

struct Family {
    const char* prefix;
    Quantity quantity;
    double divisor;  // from the kernel's unit to the record's
};

// hwmon units: millidegrees, millivolts, milliamperes, microwatts.
constexpr Family Families[] = {
    {"temp", Quantity::Temperature, 1000.0},
    {"in", Quantity::Voltage, 1.0},
    {"curr", Quantity::Current, 1.0},
    {"power", Quantity::Power, 1000.0},
};

// The channel numbers N of the files "<prefix>N_input" among the names.
std::vector<int> channels(const std::vector<std::string>& names, const std::string& prefix)
{
    std::vector<int> numbers;
    const std::string suffix = "_input";
    for (const std::string& name : names) {
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0
            || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size() - suffix.size();
        int number = 0;
        const auto [end, error] = std::from_chars(first, last, number);
        if (error == std::errc() && end == last)
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool isPackageLabel(const std::string& chip, const std::string& label)
{
    if (chip == "coretemp")
        return label.rfind("Package id ", 0) == 0;
    if (chip == "k10temp")
        return label == "Tdie" || label == "Tctl";
    return false;
}

}

std::vector<HardwareSensors::Chip> HardwareSensors::chips() const
{
    std::vector<Chip> chips;
    for (const std::string& entry : m_files.entries("sys/class/hwmon")) {
        Chip chip;
        chip.folder = "sys/class/hwmon/" + entry;
        chip.name = m_files.text(chip.folder + "/name").value_or(entry);
        chip.devicePath = m_files.resolved(chip.folder + "/device");
        chips.push_back(std::move(chip));
    }
    std::stable_sort(chips.begin(), chips.end(), [](const Chip& a, const Chip& b) {
        return std::tie(a.name, a.devicePath) < std::tie(b.name, b.devicePath);
    });
    for (auto first = chips.begin(); first != chips.end();) {
        const auto last = std::find_if(first, chips.end(), [&](const Chip& chip) { return chip.name != first->name; });
        int number = 1;
        for (auto chip = first; chip != last; ++chip)
            chip->displayName = last - first == 1 ? chip->name : chip->name + " " + std::to_string(number++);
        first = last;
    }
    return chips;
}

HardwareReadings HardwareSensors::read() const
{
    HardwareReadings readings;
    for (const Chip& chip : chips())
        readChip(chip, readings);
    if (!readings.packageCelsius)
        readThermalZones(readings);
    return readings;
}

void HardwareSensors::readChip(const Chip& chip, HardwareReadings& readings) const
{
    const std::vector<std::string> names = m_files.entries(chip.folder);
    for (const Family& family : Families) {
        for (const int channel : channels(names, family.prefix)) {
            const std::string base = chip.folder + "/" + family.prefix + std::to_string(channel);
            const std::optional<long long> raw = m_files.number(base + "_input");
            if (!raw)
                continue;
            const std::string label = m_files.text(base + "_label").value_or(family.prefix + std::to_string(channel));
            SensorReading reading;
            reading.name = chip.displayName + " " + label;
            reading.quantity = family.quantity;
            reading.value = double(*raw) / family.divisor;
            if (const std::optional<long long> minimum = m_files.number(base + "_min"))
                reading.minimum = double(*minimum) / family.divisor;
            // k10temp reports Tctl with a fan-control offset on some parts;
            // Tdie, where present, is the true die temperature. Of several
            // processor packages the hottest counts.
            if (family.quantity == Quantity::Temperature && isPackageLabel(chip.name, label)) {
                const bool tdie = label == "Tdie";
                const bool better = !readings.packageCelsius || (tdie && !readings.packageIsTdie)
                    || (tdie == readings.packageIsTdie && reading.value > *readings.packageCelsius);
                if (better) {
                    readings.packageCelsius = reading.value;
                    readings.packageKey = base.substr(base.find("hwmon/") + 6) + "_input (" + chip.displayName + " " + label + ")";
                    readings.packageIsTdie = tdie;
                }
            }
            readings.sensors.push_back(std::move(reading));
        }
    }
    for (const int channel : channels(names, "fan")) {
        const std::string base = chip.folder + "/fan" + std::to_string(channel);
        const std::optional<long long> rpm = m_files.number(base + "_input");
        if (!rpm)
            continue;
        FanReading fan;
        fan.name = m_files.text(base + "_label").value_or(chip.displayName + " fan " + std::to_string(channel));
        fan.rpm = double(*rpm);
        fan.maximumRPM = double(m_files.number(base + "_max").value_or(0));
        readings.fans.push_back(std::move(fan));
    }
}

void HardwareSensors::readThermalZones(HardwareReadings& readings) const
{
    std::optional<double> hottestPackage, hottestAny;
    std::string packageZone, anyZone;
    for (const std::string& zone : m_files.entries("sys/class/thermal")) {
        if (zone.rfind("thermal_zone", 0) != 0)
            continue;
        const std::optional<long long> milli = m_files.number("sys/class/thermal/" + zone + "/temp");
        if (!milli)
            continue;
        const double celsius = double(*milli) / 1000.0;
        if (m_files.text("sys/class/thermal/" + zone + "/type").value_or("") == "x86_pkg_temp"
            && (!hottestPackage || celsius > *hottestPackage)) {
            hottestPackage = celsius;
            packageZone = zone;
        }
        if (!hottestAny || celsius > *hottestAny) {
            hottestAny = celsius;
            anyZone = zone;
        }
    }
    readings.packageCelsius = hottestPackage ? hottestPackage : hottestAny;
    readings.packageKey = hottestPackage ? packageZone : anyZone;
}
