#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// One processor's cumulative tick counters in the order of the kernel's
// processor load record that the load instrument is written against.
enum ProcessorTickIndex : std::size_t { UserTicks = 0, SystemTicks = 1, IdleTicks = 2, NiceTicks = 3 };
inline constexpr std::size_t ProcessorTickKinds = 4;
using ProcessorTicks = std::array<quint32, ProcessorTickKinds>;

// Parsers for the text of /proc/stat (Documentation/filesystems/proc.rst).
namespace ProcStat {

// Fills `processors` from the per-processor "cpuN" lines in file order:
// user -> user, nice -> nice, system + irq + softirq + steal -> system,
// idle + iowait -> idle (guest time is already part of user and nice).
// Counters keep their low 32 bits, so differences are taken modulo 2^32.
// False when there is no processor line or one is malformed; `processors`
// is then unspecified. Reuses the vector's storage.
bool parseProcessorTicks(std::string_view text, std::vector<ProcessorTicks>& processors);

// The number of "cpuN" lines, that is, of processors online; none when a
// processor line is malformed or there is none.
std::optional<quint32> processorCount(std::string_view text);

// Seconds since the epoch at which the system booted ("btime").
std::optional<qint64> bootTime(std::string_view text);

}
