#pragma once

#include "SystemFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ProcessReading {
    int processID = 0;
    std::string name;
    double cpuUsage = 0;     // fraction of one processor over the last interval
    double memoryUsage = 0;  // fraction of physical memory
    std::uint64_t residentBytes = 0;
};

struct TopProcessLists {
    std::vector<ProcessReading> byProcessor;
    std::vector<ProcessReading> byMemory;
};

// The busiest processes from <root>/proc: by processor time used since the
// previous reading and by resident memory.
class TopProcesses {
public:
    static constexpr std::size_t ListLength = 5;

    explicit TopProcesses(const SystemFiles& files);

    // `now` is monotonic seconds; processor use needs two readings, so the
    // first reading's processor list counts every process as idle. A process
    // that started since the previous reading counts from its start.
    TopProcessLists read(double now);

    struct Stat {
        std::string name;
        std::uint64_t processorTicks = 0;  // user + system
        std::uint64_t residentPages = 0;
    };
    // A /proc/<pid>/stat line; the name may hold spaces and parentheses,
    // so the fields are counted from the last ")". None when malformed.
    static std::optional<Stat> parseStat(std::string_view line);

private:
    const SystemFiles& m_files;
    std::unordered_map<int, std::uint64_t> m_previousTicks;
    double m_previousTime = -1;
    double m_ticksPerSecond;
    double m_pageSize;
};
