#pragma once

#include "SystemFiles.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The energy counter of one RAPL domain turned into watts: the difference of
// two readings over the time between them, across the counter's wrap.
struct EnergyCounter {
    std::uint64_t microjoules = 0;
    double seconds = 0;  // monotonic time of the reading
};

// Watts between two readings of a counter that wraps to 0 after `range`
// microjoules; none when no time passed or the range is unknown and the
// counter went backwards.
std::optional<double> wattsBetween(const EnergyCounter& earlier, const EnergyCounter& later, std::uint64_t range);

struct PowerReading {
    std::string name;     // "package-0"
    double watts = 0;
    double limitWatts = 0;  // the long-term power limit, 0 when unknown
};

struct FrequencyReading {
    double averageMHz = 0;  // over the processors that report one
    double maximumMHz = 0;
};

// Package power from powercap RAPL and processor frequency from cpufreq.
class PackagePower {
public:
    explicit PackagePower(const SystemFiles& files)
        : m_files(files)
    {
    }

    // One reading per package domain; a domain appears from its second
    // reading on. `now` is monotonic seconds.
    std::vector<PowerReading> readPower(double now);
    // True once a domain exists whose energy counter this user may not read
    // (kernels since 5.10 keep energy_uj to root).
    bool isEnergyUnreadable() const { return m_energyUnreadable; }
    // True once a package domain was found, readable or not.
    bool hasDomains() const { return m_hasDomains; }
    std::optional<FrequencyReading> readFrequency() const;

private:
    const SystemFiles& m_files;
    std::map<std::string, EnergyCounter> m_previous;
    bool m_energyUnreadable = false;
    bool m_hasDomains = false;
};
