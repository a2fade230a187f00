#pragma once

#include "instruments/ActivityState.h"
#include "instruments/QRNSystemInstrument.h"

#include <QString>

#include <memory>
#include <mutex>

class QRNIORegistryEntry;

// An instrument that watches one device's pair of cumulative counters
// (incoming, outgoing) and tells from the last two samples whether the device
// was idle, busy incoming or busy outgoing. Subclasses implement
// collectNewSample: copy currentCounters into lastCounters, then store the
// counters just read as currentCounters.
class QRNActivityInstrument : public QRNSystemInstrument {
public:
    // Null without an entry; callers skip such devices.
    static std::shared_ptr<QRNActivityInstrument> initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry);

    QString deviceIdentification() const;
    void setDeviceIdentification(const QString& identification);
    // Never null.
    const std::shared_ptr<QRNIORegistryEntry>& deviceEntry() const { return m_deviceEntry; }

    // Each pair is read and written as one unit, so another thread never sees
    // the incoming counter of one sample with the outgoing counter of another.
    ActivityCounters currentCounters() const;
    ActivityCounters lastCounters() const;

    // No information while the device's counters cannot be read (it went
    // away); the counters keep their last values meanwhile.
    bool hasInformation() const { return locked(m_hasInformation); }
    void setHasInformation(bool hasInformation) { setLocked(m_hasInformation, hasInformation); }

    virtual ActivityState currentActivity() const;

    // Stores counters just read, under one lock: the current ones become the
    // last ones, unless there is nothing to compare with (no information, or
    // `follows` is false: a first sample, or the first after a gap), when the
    // new counters are both and the device reads idle rather than busy.
    void takeSample(const ActivityCounters& counters, bool follows);

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNActivityInstrument"); }

protected:
    // The entry must not be null; the factories check.
    explicit QRNActivityInstrument(std::shared_ptr<QRNIORegistryEntry> entry);

private:
    template <typename T>
    T locked(const T& field) const
    {
        std::lock_guard lock(m_mutex);
        return field;
    }
    template <typename T>
    void setLocked(T& field, const T& value)
    {
        std::lock_guard lock(m_mutex);
        field = value;
    }

    const std::shared_ptr<QRNIORegistryEntry> m_deviceEntry;
    mutable std::mutex m_mutex; // guards the fields below
    QString m_deviceIdentification;
    ActivityCounters m_currentCounters;
    ActivityCounters m_lastCounters;
    bool m_hasInformation = true;
};
