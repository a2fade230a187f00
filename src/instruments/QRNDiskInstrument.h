#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "platform/registry/DiskStatistics.h"

#include <QString>
#include <QVariantMap>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class QRNPhysicalDisk;

// Bytes and operations read and written by one physical disk: the totals its
// driver counted, and the amounts since the previous sample. A disk that went
// away reads as 0 until its owner drops the instrument.
class QRNDiskInstrument : public QRNSystemInstrument {
public:
    using List = std::vector<std::shared_ptr<QRNDiskInstrument>>;

    // One instrument per attached physical disk, in registry order.
    static List diskInstrumentsForAllDevices();
    // None when no attached disk has that identification.
    static std::shared_ptr<QRNDiskInstrument> instrumentForDiskIdentification(const QString& identification);
    // None without a disk; takes the first sample.
    static std::shared_ptr<QRNDiskInstrument> initForPhysicalDisk(std::shared_ptr<QRNPhysicalDisk> disk);

    QString diskIdentification() const;

    void collectNewSample() override;

    quint64 accumulatedReadBytes() const { return m_current.readBytes; }
    quint64 accumulatedWrittenBytes() const { return m_current.writtenBytes; }
    quint64 accumulatedReadOperations() const { return m_current.readOperations; }
    quint64 accumulatedWriteOperations() const { return m_current.writeOperations; }
    quint64 currentReadBytes() const { return m_current.readBytes - m_last.readBytes; }
    quint64 currentWrittenBytes() const { return m_current.writtenBytes - m_last.writtenBytes; }
    quint64 currentReadOperations() const { return m_current.readOperations - m_last.readOperations; }
    quint64 currentWriteOperations() const { return m_current.writeOperations - m_last.writeOperations; }

    // The disk's volumes: the names of every partition and volume on it.
    QString volumeNameList() const;
    // Whether the disk's device sleeps now, as its power management tells
    // without waking it; false where it reports nothing.
    bool isDiskSleeping() const;

    // The driver's "Statistics" as last read; none while the disk is gone.
    std::optional<QVariantMap> currentStatistics() const;

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNDiskInstrument"); }

private:
    explicit QRNDiskInstrument(std::shared_ptr<QRNPhysicalDisk> disk);

    std::shared_ptr<QRNPhysicalDisk> m_physicalDisk;
    // The counters are read as numbers on every tick; the dictionary is made only when asked for.
    bool m_hasStatistics = false;
    bool m_hasSample = false;
    DiskStatistics m_current;
    DiskStatistics m_last;
};
