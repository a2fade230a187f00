#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>

// The lines of /proc/meminfo the memory statistics are made of, in KiB
// (Documentation/filesystems/proc.rst). Lines an older kernel lacks read 0.
struct MemInfo {
    quint64 memTotal = 0;
    quint64 memFree = 0;
    quint64 active = 0;
    quint64 inactive = 0;
    quint64 activeAnon = 0;
    quint64 inactiveAnon = 0;
    quint64 activeFile = 0;
    quint64 inactiveFile = 0;
    quint64 unevictable = 0;
    quint64 slabReclaimable = 0;
    quint64 slabUnreclaimable = 0;
    quint64 kernelStack = 0;
    quint64 pageTables = 0;
    quint64 swapTotal = 0;
    quint64 swapFree = 0;
    // Compressed size of the pages held by zswap, and their size before compression.
    quint64 zswap = 0;
    quint64 zswapped = 0;
};

// The cumulative event counters of /proc/vmstat the statistics use; counters
// an older kernel lacks read 0. pgpgout counts KiB, the others pages.
struct VMStatCounters {
    quint64 pageFaults = 0;
    quint64 majorPageFaults = 0;
    quint64 pagedOutKiB = 0;
    quint64 activations = 0;
    quint64 swapIns = 0;
    quint64 swapOuts = 0;
    quint64 zswapIns = 0;
    quint64 zswapOuts = 0;
};

// Parsers for the kernel's memory files; they never allocate.
namespace MemoryFiles {

// False when MemTotal or MemFree is missing or a line in use is malformed;
// `info` is then unspecified.
bool parseMemInfo(std::string_view text, MemInfo& info);
// False when pgfault, pgmajfault or pgpgout is missing or a line in use is
// malformed; `counters` is then unspecified.
bool parseVMStat(std::string_view text, VMStatCounters& counters);
// The sum of the "low" watermarks of all zones of /proc/zoneinfo, in pages:
// below it the kernel starts reclaiming in the background. None when no zone
// has one or one is malformed.
std::optional<quint64> lowWatermarkPages(std::string_view text);

}
