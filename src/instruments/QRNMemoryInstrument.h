#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "platform/linux/HostMemoryStatistics.h"

#include <memory>

// Main memory in bytes from the kernel's virtual-memory statistics and swap
// usage, in the figures of three terminologies: UNIX style (free, active,
// inactive, wired), Mavericks style (used = apps + file cache + wired +
// compressed) and Yosemite style (used = apps + wired + compressed, with a
// separate cache). Page counts are the kernel's; rates are per sample.
class QRNMemoryInstrument : public QRNSystemInstrument {
public:
    enum TerminologyStyle : quint32 { UNIXStyle = 0, MavericksStyle = 1, YosemiteStyle = 2 };

    static std::shared_ptr<QRNMemoryInstrument> sharedMemoryInstrument();
    static quint32 terminologyStyleRecommendedForRunningSystem();
    // Mavericks style from 10.9 (0x1090), Yosemite style from 10.10.3 (0x10A3).
    static quint32 terminologyStyleRecommendedForVersionCode(quint32 versionCode);

    // Reads the fixed facts, then takes a first sample that the first rates
    // are measured against. The page size defaults to the running kernel's.
    explicit QRNMemoryInstrument(const QString& sysroot = {}, quint64 pageSize = 0);

    // A sample that cannot be read keeps the previous figures; its rates read 0.
    void collectNewSample() override;

    // Whether samples read the paging counters (page-ins and -outs, faults,
    // swap-ins and -outs, compressions); they cost more to read than all the
    // sizes. Unwanted, they keep the values of their last read and their rates
    // read 0. Wanted again, a sample is taken at once; its rates read 0 too.
    void setPagingCountersWanted(bool wanted);

    quint64 freeMemory() const { return bytes(m_currentVMInfo.free_count); }
    quint64 activeMemory() const { return bytes(m_currentVMInfo.active_count); }
    quint64 inactiveMemory() const { return bytes(m_currentVMInfo.inactive_count); }
    quint64 wiredMemory() const { return bytes(m_currentVMInfo.wire_count); }
    quint64 allocatedSwapSpace() const { return m_currentSwapInfo.total; }
    quint64 usedSwapMemory() const { return m_currentSwapInfo.used; }
    // False while /proc/vmstat cannot be read: page-ins, page-outs and the
    // other event counters are unknown and read 0.
    bool hasPagingCounters() const { return m_hasPagingCounters; }
    quint64 accumulatedPageIns() const { return m_currentVMInfo.pageins; }
    quint64 accumulatedPageOuts() const { return m_currentVMInfo.pageouts; }
    quint64 pageInRate() const { return m_currentVMInfo.pageins - m_lastVMInfo.pageins; }
    quint64 pageOutRate() const { return m_currentVMInfo.pageouts - m_lastVMInfo.pageouts; }
    quint64 pagesDecompressed() const { return m_currentVMInfo.decompressions; }
    quint64 pagesCompressed() const { return m_currentVMInfo.compressions; }
    quint64 pagesSwappedIn() const { return m_currentVMInfo.swapins; }
    quint64 pagesSwappedOut() const { return m_currentVMInfo.swapouts; }
    quint64 pagesCompressedInCompressor() const { return m_currentVMInfo.compressor_page_count; }
    quint64 pagesUncompressedInCompressor() const { return m_currentVMInfo.total_uncompressed_pages_in_compressor; }
    quint64 pagesThrottled() const { return m_currentVMInfo.throttled_count; }
    quint64 pagesExternal() const { return m_currentVMInfo.external_page_count; }
    quint64 pagesInternal() const { return m_currentVMInfo.internal_page_count; }

    // Physical memory less the free pages that are not speculative.
    quint64 usedMemory() const;
    // Physical memory less what the compressed pages would take uncompressed.
    quint64 imaginaryMemory() const;
    quint64 applicationMemory() const { return bytes(m_currentVMInfo.internal_page_count); }
    quint64 fileCacheMemory() const { return bytes(m_currentVMInfo.external_page_count); }
    quint64 compressedMemory() const { return bytes(m_currentVMInfo.compressor_page_count); }
    quint64 applicationMemoryYosemite() const;
    quint64 cacheMemory() const;
    quint64 usedMemoryYosemite() const { return applicationMemoryYosemite() + wiredMemory() + compressedMemory(); }

    quint64 pageSize() const { return m_pageSize; }
    quint64 physicalMemory() const { return m_physicalMemory; }
    // 0 when the kernel's free-page target is unknown.
    quint64 optimalFreeSize() const { return m_optimalFreeSize; }
    const VMStatistics64& virtualMemoryStatistics() const { return m_currentVMInfo; }
    const SwapUsage& swapStatistics() const { return m_currentSwapInfo; }

    QString description() const override;
    // The figures of the three terminologies, one line each.
    QString cookedDescription() const;
    QString className() const override { return QStringLiteral("QRNMemoryInstrument"); }

private:
    // Pages to bytes; 32-bit page arithmetic is done before the call.
    quint64 bytes(quint64 pages) const { return m_pageSize * pages; }

    // Stands in for the host port the kernel is asked through.
    HostMemoryStatistics m_hostPort;
    quint64 m_pageSize = 0;
    quint64 m_physicalMemory = 0;
    quint64 m_optimalFreeSize = 0;
    VMStatistics64 m_currentVMInfo;
    VMStatistics64 m_lastVMInfo;
    SwapUsage m_currentSwapInfo;
    bool m_hasPagingCounters = false;
    bool m_pagingCountersWanted = true;
    // Reports a run of failed samples once, not on every tick.
    bool m_sampleFailing = false;
};
