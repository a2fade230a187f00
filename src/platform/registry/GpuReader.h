#pragma once

#include "platform/linux/Sysroot.h"
#include "platform/registry/NvmlLibrary.h"

#include <QHash>
#include <QVariantMap>

#include <optional>
#include <vector>

// The graphics processors of the machine, as the registry publishes them: a
// PCI device ("vendor-id", "device-id" as 4 raw bytes) with one accelerator
// below it ("model", a memory size where the card has its own memory, and
// "PerformanceStatistics"). NVIDIA devices come from NVML; AMD and Intel
// ones from the DRM cards in sysfs (NVIDIA's own DRM cards are left to NVML).
//
//   NVIDIA:      "VRAM,totalMB"; statistics "Device Utilization %", "inUseVidMemoryBytes"
//   AMD card:    "ATY,memsize" (bytes); statistics "Device Utilization %", "vramUsedBytes"
//   AMD APU:     statistics "Device Utilization %", "Alloc system memory" and
//                "In use system memory" (carve-out plus GTT, both system memory)
//   Intel:       no load in sysfs, so statistics without "Device Utilization %"
//
// Values are read on every call; NVML's handles are kept.
class GpuReader {
public:
    struct Gpu {
        QString key;      // "nvml:<index>" or "drm:<card>"
        QString identity; // the PCI address
    };

    GpuReader(const Sysroot& sysroot, QString nvmlLibrary);

    std::vector<Gpu> gpus();
    bool isPresent(const QString& key, const QString& identity);
    QString acceleratorName(const QString& key) const;
    QVariantMap deviceProperties(const QString& key);
    QVariantMap acceleratorProperties(const QString& key);
    // One property without the whole dictionary: the figures sampled every tick.
    std::optional<QVariant> acceleratorProperty(const QString& key, const QString& name);

    // An AMD processor with a carve-out of at most this much and a larger GTT
    // shares system memory (an APU); discrete cards have more memory of their own.
    static constexpr quint64 LargestCarveOut = quint64(1) << 30;

private:
    struct Card {
        QString driver;
        quint32 vendor = 0;
        quint32 device = 0;
        QString address;
    };
    std::optional<Card> drmCard(const QString& card) const;
    QString drmModel(const QString& card, const Card& facts) const;
    std::optional<quint64> drmNumber(const QString& card, const char* file) const;
    bool isSharedMemory(const QString& card) const;
    // Refreshes the kept statistics dictionary of the GPU in place.
    const QVariantMap& statistics(const QString& key);
    static std::optional<quint32> nvmlIndex(const QString& key);

    Sysroot m_sysroot;
    NvmlLibrary m_nvml;
    QHash<QString, QVariantMap> m_statistics;
};
