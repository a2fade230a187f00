#pragma once

#include "instruments/QRNActivityInstrument.h"
#include "platform/registry/ActivityCounterFiles.h"

#include <atomic>
#include <memory>

// Whether one disk reads, writes or sleeps: its read and write operation
// counters, and the power state of its device (a sleeping disk shows as
// sleeping whatever its counters did). Any block-storage driver qualifies,
// virtual disks included.
class QRNDiskActivityInstrument : public QRNActivityInstrument {
public:
    // The first driver in registry order with that identification; none for
    // an empty text or no match.
    static std::shared_ptr<QRNDiskActivityInstrument> diskActivityInstrumentForIdentification(const QString& identification);
    // None without an entry or without an identification; takes the first sample.
    static std::shared_ptr<QRNDiskActivityInstrument> initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> driverEntry);

    // The entry below the nearest power-managed ancestor of the driver, two
    // steps down its power plane, that reports a current and a maximum power
    // state; none when no ancestor is power managed.
    static std::shared_ptr<QRNIORegistryEntry> associatedPowerManagementEntry(const QRNIORegistryEntry& driverEntry);
    // Asleep when the maximum state is 2 or more and the current one is 1;
    // false without an entry. Reading the state never wakes the disk.
    static bool isDiskSleeping(const QRNIORegistryEntry* powerManagementEntry);

    void collectNewSample() override;
    ActivityState currentActivity() const override;
    bool isDiskSleeping() const { return isDiskSleeping(m_powerManagementEntry.get()); }
    const std::shared_ptr<QRNIORegistryEntry>& powerManagementEntry() const { return m_powerManagementEntry; }

    QString className() const override { return QStringLiteral("QRNDiskActivityInstrument"); }

private:
    explicit QRNDiskActivityInstrument(std::shared_ptr<QRNIORegistryEntry> driverEntry);

    // Reading the counters through the registry, for providers without counter files.
    void collectNewSampleViaIORegistry();

    std::shared_ptr<QRNIORegistryEntry> m_powerManagementEntry;
    // The stat and power files kept open where the registry has them: a tick
    // then reads two small files and allocates nothing.
    std::unique_ptr<ActivityCounterFiles> m_counterFiles;
    std::atomic<bool> m_sleepingAtLastSample = false;
    bool m_hasSample = false;
};
