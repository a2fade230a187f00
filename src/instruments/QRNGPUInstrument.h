#pragma once

#include "instruments/QRNSystemInstrument.h"

#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

class QRNIORegistryEntry;

// Load and memory of one graphics processor, read from its "IOAccelerator"
// registry entry and that entry's parent. Drivers publish the figures under
// different keys, places and units, so where each figure lives is decided
// once, at creation, as an accessor text "where>key>class": where is "E"
// (the entry), "P" (the parent) or "S" (the "PerformanceStatistics"
// dictionary), class one of "NSString", "NSNumber", "NSData", "NSDictionary".
// Samples then read only there. A figure that cannot be read reads 0.
class QRNGPUInstrument : public QRNSystemInstrument {
public:
    using EntryPointer = std::shared_ptr<QRNIORegistryEntry>;
    using List = std::vector<std::shared_ptr<QRNGPUInstrument>>;

    // Every accelerator of the registry that yields an instrument, in
    // registry order; of two or more, those using no memory are left out.
    static List instrumentsForAllGPUs();
    // None when the entry lacks a parent, a model, a vendor, statistics, a
    // load or a memory figure, or reports more memory used than it has.
    static std::shared_ptr<QRNGPUInstrument> initWithIOAccelerator(const EntryPointer& entry);

    void collectNewSample() override;

    double utilization() const { return m_utilization; }
    quint64 totalMemory() const { return m_totalMemory; }
    quint64 usedMemory() const { return m_usedMemory; }
    const QString& modelName() const { return m_modelName; }
    quint32 vendorIdentifier() const { return m_vendorIdentifier; }
    quint32 deviceIdentifier() const { return m_deviceIdentifier; }
    bool isSharedMemory() const { return m_isSharedMemory; }
    quint64 separateLoadValueCount() const { return m_separateLoadValueCount; }
    // The accessors under "Accessor:…", the entries' handles under
    // "GPUEntry" and "GPUParentEntry".
    const QVariantMap& gpuDescriptor() const { return m_gpuDescriptor; }

    // The first key (entry before parent) whose value has one of the classes.
    // The size of raw bytes is checked when read, not here.
    static std::optional<QString> accessorForEntry(const EntryPointer& entry, const EntryPointer& parent,
        const QStringList& keys, const QStringList& classes, qsizetype dataSize);
    static std::optional<QString> accessorForStatistics(const QVariantMap& statistics, const QStringList& keys,
        const QStringList& classes);
    // None unless the text has at least 5 characters and exactly three parts.
    static std::optional<QString> keyInAccessor(const QString& accessor);
    static std::optional<QVariantMap> performanceStatisticsFromGPUDescriptor(const QVariantMap& descriptor);

    // The value the accessor under that descriptor key reads now, when it is
    // of the accessor's class; invalid otherwise.
    QVariant valueForAccessorWithKey(const QString& key) const;
    // A number, or exactly 4 raw bytes read little-endian; else 0.
    quint32 unsignedIntForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    // Bytes; values under a key ending in "MB" are mebibytes.
    quint64 memoryValueForKey(const QString& key) const;
    std::optional<QString> stringForKey(const QString& key) const;

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNGPUInstrument"); }

private:
    enum class ValueClass { None, String, Number, Data, Dictionary };
    // An accessor taken apart once, so a sample splits no texts.
    struct Accessor {
        QChar where;
        QString key;
        ValueClass valueClass = ValueClass::None;
    };

    QRNGPUInstrument() = default;
    static ValueClass classNamed(QStringView name);
    static bool hasClass(const QVariant& value, ValueClass valueClass);
    static std::optional<Accessor> parsed(const QString& accessor);
    // The value at the accessor now, statistics already read (or none).
    QVariant read(const Accessor& accessor, const std::optional<QVariantMap>& statistics) const;
    std::optional<QVariantMap> currentStatistics() const;
    static quint64 memoryValue(const QVariant& value, const Accessor& accessor);
    void setAccessor(const QString& descriptorKey, const QString& accessor);
    bool readMemory(const std::optional<QVariantMap>& statistics);

    QVariantMap m_gpuDescriptor;
    EntryPointer m_entry;
    EntryPointer m_parent;
    QString m_modelName;
    quint32 m_vendorIdentifier = 0;
    quint32 m_deviceIdentifier = 0;
    double m_utilization = 0.0;
    quint64 m_totalMemory = 0;
    quint64 m_usedMemory = 0;
    bool m_isSharedMemory = false;
    quint64 m_separateLoadValueCount = 0;
    Accessor m_statistics;
    Accessor m_utilizationAccessor;
    Accessor m_totalMemoryAccessor;
    Accessor m_usedMemoryAccessor;
    QStringList m_unitKeys;
};
