#include "platform/linux/HostMemoryStatistics.h"

#include <unistd.h>

namespace {

constexpr quint64 BytesPerKiB = 1024;

quint64 systemPageSize()
{
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<quint64>(size) : 4096;
}

// Page counts of the moment keep 32 bits, as in the record.
quint32 pagesOf(quint64 kib, quint64 pageSize)
{
    return static_cast<quint32>(kib * BytesPerKiB / pageSize);
}

}

HostMemoryStatistics::HostMemoryStatistics(const QString& sysroot, quint64 pageSize)
    : m_sysroot(sysroot)
    , m_pageSize(pageSize != 0 ? pageSize : systemPageSize())
    , m_memInfoReader(m_sysroot.filePath(QStringLiteral("proc/meminfo")))
    , m_vmStatReader(m_sysroot.filePath(QStringLiteral("proc/vmstat")))
{
}

std::optional<quint64> HostMemoryStatistics::memorySize() const
{
    const std::optional<QByteArray> text = m_sysroot.read(QStringLiteral("proc/meminfo"));
    MemInfo info;
    if (!text || !MemoryFiles::parseMemInfo(std::string_view(text->constData(), text->size()), info))
        return std::nullopt;
    return info.memTotal * BytesPerKiB;
}

std::optional<quint64> HostMemoryStatistics::pageFreeTarget() const
{
    const std::optional<QByteArray> text = m_sysroot.read(QStringLiteral("proc/zoneinfo"));
    if (!text)
        return std::nullopt;
    return MemoryFiles::lowWatermarkPages(std::string_view(text->constData(), text->size()));
}

HostMemoryStatistics::Sample HostMemoryStatistics::sample(bool readPagingCounters)
{
    Sample sample;
    MemInfo info;
    const std::optional<std::string_view> memInfo = m_memInfoReader.read();
    if (!memInfo || !MemoryFiles::parseMemInfo(*memInfo, info))
        return sample;
    sample.swapUsage = swapUsageFrom(info, m_pageSize);
    if (readPagingCounters) {
        const std::optional<std::string_view> vmStat = m_vmStatReader.read();
        m_pagingCountersRead = vmStat && MemoryFiles::parseVMStat(*vmStat, m_pagingCounters);
        if (!m_pagingCountersRead)
            m_pagingCounters = VMStatCounters();
    }
    sample.pagingCounters = m_pagingCountersRead;
    sample.statistics = statisticsFrom(info, m_pagingCounters, m_pageSize);
    return sample;
}

VMStatistics64 HostMemoryStatistics::statisticsFrom(const MemInfo& info, const VMStatCounters& counters, quint64 pageSize)
{
    VMStatistics64 record;
    record.free_count = pagesOf(info.memFree, pageSize);
    // The kernel's LRU lists; anonymous and file-backed pages together.
    record.active_count = pagesOf(info.active, pageSize);
    record.inactive_count = pagesOf(info.inactive, pageSize);
    // Memory that paging cannot take back: locked and otherwise unevictable
    // pages, kernel objects that cannot be reclaimed, kernel stacks and page tables.
    record.wire_count
        = pagesOf(info.unevictable + info.slabUnreclaimable + info.kernelStack + info.pageTables, pageSize);
    // Linux counts no zero-fill faults apart from the others.
    record.zero_fill_count = 0;
    // Pages promoted from the inactive to the active list.
    record.reactivations = counters.activations;
    // Major faults are the faults that had to read the page in.
    record.pageins = counters.majorPageFaults;
    record.pageouts = counters.pagedOutKiB * BytesPerKiB / pageSize;
    record.faults = counters.pageFaults;
    // Neither copy-on-write faults nor the object cache are counted apart.
    record.cow_faults = 0;
    record.lookups = 0;
    record.hits = 0;
    record.purges = 0;
    // Reclaimable kernel objects (dentries, inodes) are dropped under
    // pressure like purgeable memory.
    record.purgeable_count = pagesOf(info.slabReclaimable, pageSize);
    // Linux keeps no speculative read-ahead pages apart from the file cache.
    record.speculative_count = 0;
    // zswap is the compressor: pages stored into it and loaded back from it.
    record.decompressions = counters.zswapIns;
    record.compressions = counters.zswapOuts;
    record.swapins = counters.swapIns;
    record.swapouts = counters.swapOuts;
    record.compressor_page_count = pagesOf(info.zswap, pageSize);
    record.throttled_count = 0;
    record.external_page_count = pagesOf(info.activeFile + info.inactiveFile, pageSize);
    // Anonymous pages, with the purgeable ones counted in, as the record's
    // internal pages include its purgeable pages.
    record.internal_page_count = pagesOf(info.activeAnon + info.inactiveAnon + info.slabReclaimable, pageSize);
    record.total_uncompressed_pages_in_compressor = pagesOf(info.zswapped, pageSize);
    return record;
}

SwapUsage HostMemoryStatistics::swapUsageFrom(const MemInfo& info, quint64 pageSize)
{
    SwapUsage usage;
    usage.total = info.swapTotal * BytesPerKiB;
    usage.available = info.swapFree * BytesPerKiB;
    // Free never exceeds the total in a sane file; the difference stays unsigned anyway.
    usage.used = info.swapTotal > info.swapFree ? (info.swapTotal - info.swapFree) * BytesPerKiB : 0;
    usage.pageSize = static_cast<quint32>(pageSize);
    // Whether a swap device is encrypted (dm-crypt) is not visible here.
    usage.encrypted = false;
    return usage;
}
