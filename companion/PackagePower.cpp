#include "PackagePower.h"

#include <algorithm>

std::optional<double> wattsBetween(const EnergyCounter& earlier, const EnergyCounter& later, std::uint64_t range)
{
    const double seconds = later.seconds - earlier.seconds;
    if (seconds <= 0)
        return std::nullopt;
    std::uint64_t used = 0;
    if (later.microjoules >= earlier.microjoules)
        used = later.microjoules - earlier.microjoules;
    else if (range > earlier.microjoules)
        used = range - earlier.microjoules + later.microjoules;
    else
        return std::nullopt;
    return double(used) / 1e6 / seconds;
}

std::vector<PowerReading> PackagePower::readPower(double now)
{
    std::vector<PowerReading> readings;
    for (const std::string& zone : m_files.entries("sys/class/powercap")) {
        // Top-level domains only ("intel-rapl:0"); subzones ("intel-rapl:0:0")
        // are parts of their package.
        if (zone.rfind("intel-rapl:", 0) != 0 || zone.find(':', 11) != std::string::npos)
            continue;
        const std::string base = "sys/class/powercap/" + zone;
        m_hasDomains = true;
        const std::optional<long long> energy = m_files.number(base + "/energy_uj");
        if (!energy) {
            if (m_files.isUnreadable(base + "/energy_uj"))
                m_energyUnreadable = true;
            continue;
        }
        const EnergyCounter current {std::uint64_t(*energy), now};
        const auto previous = m_previous.find(zone);
        if (previous != m_previous.end()) {
            const std::uint64_t range = std::uint64_t(m_files.number(base + "/max_energy_range_uj").value_or(0));
            if (const std::optional<double> watts = wattsBetween(previous->second, current, range)) {
                PowerReading reading;
                reading.name = m_files.text(base + "/name").value_or(zone);
                reading.watts = *watts;
                reading.limitWatts = double(m_files.number(base + "/constraint_0_power_limit_uw").value_or(0)) / 1e6;
                readings.push_back(std::move(reading));
            }
        }
        m_previous[zone] = current;
    }
    return readings;
}

std::optional<FrequencyReading> PackagePower::readFrequency() const
{
    double sum = 0, maximum = 0;
    int count = 0;
    for (const std::string& cpu : m_files.entries("sys/devices/system/cpu")) {
        if (cpu.size() < 4 || cpu.compare(0, 3, "cpu") != 0 || cpu[3] < '0' || cpu[3] > '9')
            continue;
        const std::string base = "sys/devices/system/cpu/" + cpu + "/cpufreq/";
        if (const std::optional<long long> kHz = m_files.number(base + "scaling_cur_freq")) {
            sum += double(*kHz) / 1000.0;
            ++count;
        }
        if (const std::optional<long long> kHz = m_files.number(base + "cpuinfo_max_freq"))
            maximum = std::max(maximum, double(*kHz) / 1000.0);
    }
    if (count == 0)
        return std::nullopt;
    return FrequencyReading {sum / count, maximum};
}
