#pragma once

#include <QString>

#include <optional>

#include "platform/linux/KernelFileReader.h"
#include "platform/linux/MemoryFiles.h"
#include "platform/linux/Sysroot.h"
#include "platform/linux/SwapUsage.h"
#include "platform/linux/VMStatistics64.h"

// What the other platform's kernel answers about memory — the 64-bit
// virtual-memory statistics record, swap usage, page size, memory size and
// the free-page target — made from /proc/meminfo, /proc/vmstat and
// /proc/zoneinfo under a sysroot. After the first sample a sample allocates
// nothing unless a file grows.
class HostMemoryStatistics {
public:
    // What one sample could read; each part is none when /proc/meminfo could
    // not be read. Without /proc/vmstat the record's sizes are still there,
    // its event counters (faults, page-ins and -outs, swap-ins and -outs,
    // compressions) read 0 and pagingCounters is false. A sample that does
    // not read /proc/vmstat repeats the counters of the last one that did.
    struct Sample {
        std::optional<SwapUsage> swapUsage;
        std::optional<VMStatistics64> statistics;
        bool pagingCounters = false;
    };

    // The page size defaults to the running kernel's.
    explicit HostMemoryStatistics(const QString& sysroot = {}, quint64 pageSize = 0);

    quint64 pageSize() const { return m_pageSize; }
    // MemTotal: the memory the kernel manages, in bytes; none when unreadable.
    std::optional<quint64> memorySize() const;
    // The pages the kernel keeps free before it starts reclaiming; none
    // when /proc/zoneinfo is unreadable.
    std::optional<quint64> pageFreeTarget() const;

    // /proc/vmstat costs the kernel more than the other two files together,
    // so its counters are read only when asked for.
    Sample sample(bool readPagingCounters = true);

    // The record's fields from the parsed files, counted in pages of the size given.
    static VMStatistics64 statisticsFrom(const MemInfo& info, const VMStatCounters& counters, quint64 pageSize);
    static SwapUsage swapUsageFrom(const MemInfo& info, quint64 pageSize);

private:
    Sysroot m_sysroot;
    quint64 m_pageSize;
    KernelFileReader m_memInfoReader;
    KernelFileReader m_vmStatReader;
    VMStatCounters m_pagingCounters;
    bool m_pagingCountersRead = false;
};
