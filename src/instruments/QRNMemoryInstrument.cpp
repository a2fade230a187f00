#include "instruments/QRNMemoryInstrument.h"

#include "platform/log/Log.h"
#include "support/CDP.h"
#include "support/QRNProcessInfo.h"

namespace {

constexpr quint32 MavericksVersionCode = 0x1090;
constexpr quint32 YosemiteUpdateVersionCode = 0x10A3;

QString size(quint64 bytes)
{
    return CDP::displayTextForMemorySize(bytes);
}

QString count(quint64 value)
{
    return QString::number(value);
}

}

std::shared_ptr<QRNMemoryInstrument> QRNMemoryInstrument::sharedMemoryInstrument()
{
    static const std::shared_ptr<QRNMemoryInstrument> shared = std::make_shared<QRNMemoryInstrument>();
    return shared;
}

quint32 QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem()
{
    return terminologyStyleRecommendedForVersionCode(QRNProcessInfo::processInfo().operatingSystemVersionCode());
}

quint32 QRNMemoryInstrument::terminologyStyleRecommendedForVersionCode(quint32 versionCode)
{
    if (versionCode >= YosemiteUpdateVersionCode)
        return YosemiteStyle;
    if (versionCode >= MavericksVersionCode)
        return MavericksStyle;
    return UNIXStyle;
}

QRNMemoryInstrument::QRNMemoryInstrument(const QString& sysroot, quint64 pageSize)
    : m_hostPort(sysroot, pageSize)
    , m_pageSize(m_hostPort.pageSize())
    , m_physicalMemory(m_hostPort.memorySize().value_or(0))
    , m_optimalFreeSize(m_hostPort.pageFreeTarget().value_or(0) * m_pageSize)
{
    m_currentSwapInfo.pageSize = static_cast<quint32>(m_pageSize);
    collectNewSample();
    m_lastVMInfo = m_currentVMInfo;
}

void QRNMemoryInstrument::setPagingCountersWanted(bool wanted)
{
    if (wanted == m_pagingCountersWanted)
        return;
    m_pagingCountersWanted = wanted;
    if (!wanted)
        return;
    collectNewSample();
    // Counters read again after a pause have no previous sample to be measured against.
    m_lastVMInfo = m_currentVMInfo;
}

void QRNMemoryInstrument::collectNewSample()
{
    const HostMemoryStatistics::Sample sample = m_hostPort.sample(m_pagingCountersWanted);
    if (sample.swapUsage) {
        m_currentSwapInfo = *sample.swapUsage;
    } else {
        m_currentSwapInfo = SwapUsage{};
        m_currentSwapInfo.pageSize = quint32(m_pageSize);
    }
    m_lastVMInfo = m_currentVMInfo;
    if (!sample.statistics) {
        // Sizes read 0 and rates start again from zero, so nothing stale is shown.
        if (!m_sampleFailing)
            Log::error("%{public}@: could not read the memory statistics; its figures read 0 until they can be read again.", {className()});
        m_sampleFailing = true;
        m_hasPagingCounters = false;
        m_currentVMInfo = VMStatistics64{};
        m_lastVMInfo = VMStatistics64{};
        return;
    }
    m_sampleFailing = false;
    m_currentVMInfo = *sample.statistics;
    m_hasPagingCounters = sample.pagingCounters;
    // Without /proc/vmstat the sizes are still right, but the event counters
    // have no value: they read 0 and so do their rates.
    if (!m_hasPagingCounters)
        m_lastVMInfo = m_currentVMInfo;
}

quint64 QRNMemoryInstrument::usedMemory() const
{
    return m_physicalMemory - bytes(quint32(m_currentVMInfo.free_count - m_currentVMInfo.speculative_count));
}

quint64 QRNMemoryInstrument::imaginaryMemory() const
{
    return m_physicalMemory - bytes(m_currentVMInfo.total_uncompressed_pages_in_compressor);
}

quint64 QRNMemoryInstrument::applicationMemoryYosemite() const
{
    return bytes(quint32(m_currentVMInfo.internal_page_count - m_currentVMInfo.purgeable_count));
}

quint64 QRNMemoryInstrument::cacheMemory() const
{
    return bytes(quint32(m_currentVMInfo.purgeable_count + m_currentVMInfo.external_page_count));
}

QString QRNMemoryInstrument::description() const
{
    const VMStatistics64& vm = m_currentVMInfo;
    const SwapUsage& swap = m_currentSwapInfo;
    return QStringLiteral("%1: RAM: %2 page size: %3 optimum free: %4\n")
               .arg(className(), size(m_physicalMemory), size(m_pageSize), size(m_optimalFreeSize))
        + QStringLiteral("free: %1 active: %2 inactive: %3 wired: %4 zero-fill: %5 reactivated: %6\n")
              .arg(size(freeMemory()), size(activeMemory()), size(inactiveMemory()), size(wiredMemory()),
                  size(bytes(vm.zero_fill_count)), size(bytes(vm.reactivations)))
        + (m_pagingCountersWanted ? QString() : QStringLiteral("paging counters as last read: "))
        + QStringLiteral("page-ins: %1 page-outs: %2 faults: %3 copy-on-write faults: %4 lookups: %5 hits: %6\n")
              .arg(count(vm.pageins), count(vm.pageouts), count(vm.faults), count(vm.cow_faults), count(vm.lookups),
                  count(vm.hits))
        + QStringLiteral("purged: %1 purgeable: %2 speculative: %3\n")
              .arg(size(bytes(vm.purges)), size(bytes(vm.purgeable_count)), size(bytes(vm.speculative_count)))
        + QStringLiteral("decompressed: %1 compressed: %2 compressed swap-in: %3 compressed swap-out: %4 "
                         "in compressed paging: %5 throttled: %6 file-backed: %7 internal: %8 "
                         "uncompressed in compressor: %9\n")
              .arg(size(bytes(vm.decompressions)), size(bytes(vm.compressions)), size(bytes(vm.swapins)),
                  size(bytes(vm.swapouts)), size(bytes(vm.compressor_page_count)), size(bytes(vm.throttled_count)),
                  size(bytes(vm.external_page_count)), size(bytes(vm.internal_page_count)),
                  size(bytes(vm.total_uncompressed_pages_in_compressor)))
        + QStringLiteral("swap: total: %1 available: %2 used: %3 encrypted: %4\n")
              .arg(size(swap.total), size(swap.available), size(swap.used),
                  swap.encrypted ? QStringLiteral("yes") : QStringLiteral("no"));
}

QString QRNMemoryInstrument::cookedDescription() const
{
    return className() + QStringLiteral(":\n")
        + QStringLiteral("UNIX style: RAM: %1 active: %2 inactive: %3 wired: %4 free: %5 swap: %6\n")
              .arg(size(m_physicalMemory), size(activeMemory()), size(inactiveMemory()), size(wiredMemory()),
                  size(freeMemory()), size(usedSwapMemory()))
        + QStringLiteral("Mavericks style: physical: %1 imaginary: %2 swap: %3 used: %4 = apps: %5 file cache: %6 "
                         "wired: %7 compressed: %8\n")
              .arg(size(m_physicalMemory), size(imaginaryMemory()), size(usedSwapMemory()), size(usedMemory()),
                  size(applicationMemory()), size(fileCacheMemory()), size(wiredMemory()), size(compressedMemory()))
        + QStringLiteral("Yosemite style: physical: %1 cache: %2 swap: %3 used: %4 = apps: %5 wired: %6 "
                         "compressed: %7\n")
              .arg(size(m_physicalMemory), size(cacheMemory()), size(usedSwapMemory()), size(usedMemoryYosemite()),
                  size(applicationMemoryYosemite()), size(wiredMemory()), size(compressedMemory()));
}
