#include "instruments/QRNGPUInstrument.h"

#include "platform/defaults/PropertyList.h"
#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"
#include "support/VariantNumbers.h"

#include <algorithm>

namespace {

const QString ModelKey = QStringLiteral("Accessor:Model");
const QString VendorKey = QStringLiteral("Accessor:VendorID");
const QString DeviceKey = QStringLiteral("Accessor:DeviceID");
const QString StatsKey = QStringLiteral("Accessor:Stats");
const QString UtilizationKey = QStringLiteral("Accessor:Utilization");
const QString TotalMemoryKey = QStringLiteral("Accessor:TotalMemory");
const QString UsedMemoryKey = QStringLiteral("Accessor:UsedMemory");
const QString EntryKey = QStringLiteral("GPUEntry");
const QString ParentKey = QStringLiteral("GPUParentEntry");

const QString Text = QStringLiteral("NSString");
const QString Number = QStringLiteral("NSNumber");
const QString Data = QStringLiteral("NSData");
const QString Dictionary = QStringLiteral("NSDictionary");

QString unitKey(quint64 unit)
{
    return QStringLiteral("Device Unit %1 Utilization %").arg(unit);
}

std::optional<QVariant> entryValue(const QRNGPUInstrument::EntryPointer& entry, const QString& key)
{
    return entry ? Registry::shared().property(entry->ioKitHandle(), key) : std::nullopt;
}

} // namespace

QRNGPUInstrument::ValueClass QRNGPUInstrument::classNamed(QStringView name)
{
    if (name == Text)
        return ValueClass::String;
    if (name == Number)
        return ValueClass::Number;
    if (name == Data)
        return ValueClass::Data;
    if (name == Dictionary)
        return ValueClass::Dictionary;
    return ValueClass::None;
}

bool QRNGPUInstrument::hasClass(const QVariant& value, ValueClass valueClass)
{
    switch (valueClass) {
    case ValueClass::String: return value.typeId() == QMetaType::QString;
    case ValueClass::Number: return isNumeric(value);
    case ValueClass::Data: return value.typeId() == QMetaType::QByteArray;
    case ValueClass::Dictionary: return value.typeId() == QMetaType::QVariantMap;
    case ValueClass::None: return false;
    }
    return false;
}

std::optional<QString> QRNGPUInstrument::accessorForEntry(const EntryPointer& entry, const EntryPointer& parent,
    const QStringList& keys, const QStringList& classes, qsizetype)
{
    if (!entry || !parent || keys.isEmpty() || classes.isEmpty())
        return std::nullopt;
    const std::pair<QChar, const EntryPointer*> places[] = {{u'E', &entry}, {u'P', &parent}};
    for (const auto& [where, place] : places) {
        for (const QString& key : keys) {
            const std::optional<QVariant> value = entryValue(*place, key);
            if (!value)
                continue;
            for (const QString& name : classes) {
                if (hasClass(*value, classNamed(name)))
                    return QStringLiteral("%1>%2>%3").arg(where).arg(key, name);
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> QRNGPUInstrument::accessorForStatistics(const QVariantMap& statistics, const QStringList& keys,
    const QStringList& classes)
{
    for (const QString& key : keys) {
        const auto found = statistics.constFind(key);
        if (found == statistics.cend())
            continue;
        for (const QString& name : classes) {
            if (hasClass(*found, classNamed(name)))
                return QStringLiteral("S>%1>%2").arg(key, name);
        }
    }
    return std::nullopt;
}

std::optional<QString> QRNGPUInstrument::keyInAccessor(const QString& accessor)
{
    const QStringList parts = accessor.split(u'>');
    if (accessor.size() < 5 || parts.size() != 3)
        return std::nullopt;
    return parts[1];
}

std::optional<QRNGPUInstrument::Accessor> QRNGPUInstrument::parsed(const QString& accessor)
{
    const QStringList parts = accessor.split(u'>');
    if (accessor.size() < 5 || parts.size() != 3 || parts[0].size() != 1)
        return std::nullopt;
    return Accessor {parts[0].front(), parts[1], classNamed(parts[2])};
}

std::optional<QVariantMap> QRNGPUInstrument::performanceStatisticsFromGPUDescriptor(const QVariantMap& descriptor)
{
    const std::optional<Accessor> stats = parsed(descriptor.value(StatsKey).toString());
    if (!stats || stats->valueClass != ValueClass::Dictionary || (stats->where != u'E' && stats->where != u'P'))
        return std::nullopt;
    const quint32 handle = descriptor.value(stats->where == u'E' ? EntryKey : ParentKey).toUInt();
    const std::optional<QVariant> value = Registry::shared().property(handle, stats->key);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

std::optional<QVariantMap> QRNGPUInstrument::currentStatistics() const
{
    const EntryPointer& place = m_statistics.where == u'E' ? m_entry : m_parent;
    const std::optional<QVariant> value = entryValue(place, m_statistics.key);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

QVariant QRNGPUInstrument::read(const Accessor& accessor, const std::optional<QVariantMap>& statistics) const
{
    std::optional<QVariant> value;
    if (accessor.where == u'S') {
        if (statistics) {
            const auto found = statistics->constFind(accessor.key);
            if (found != statistics->cend())
                value = *found;
        }
    } else if (accessor.where == u'E' || accessor.where == u'P') {
        value = entryValue(accessor.where == u'E' ? m_entry : m_parent, accessor.key);
    }
    return value && hasClass(*value, accessor.valueClass) ? *value : QVariant();
}

QVariant QRNGPUInstrument::valueForAccessorWithKey(const QString& key) const
{
    const std::optional<Accessor> accessor = parsed(m_gpuDescriptor.value(key).toString());
    if (!accessor)
        return {};
    return read(*accessor, accessor->where == u'S' ? performanceStatisticsFromGPUDescriptor(m_gpuDescriptor) : std::nullopt);
}

quint32 QRNGPUInstrument::unsignedIntForKey(const QString& key) const
{
    const QVariant value = valueForAccessorWithKey(key);
    if (isNumeric(value))
        return value.toUInt();
    if (value.typeId() == QMetaType::QByteArray && value.toByteArray().size() == 4) {
        const QByteArray bytes = value.toByteArray();
        quint32 result = 0;
        for (int i = 3; i >= 0; --i)
            result = (result << 8) | quint8(bytes[i]);
        return result;
    }
    return 0;
}

double QRNGPUInstrument::doubleForKey(const QString& key) const
{
    const QVariant value = valueForAccessorWithKey(key);
    return isNumeric(value) ? value.toDouble() : 0.0;
}

quint64 QRNGPUInstrument::memoryValue(const QVariant& value, const Accessor& accessor)
{
    if (!isNumeric(value))
        return 0;
    const quint64 amount = value.toULongLong();
    return accessor.key.endsWith(QLatin1String("MB")) ? amount << 20 : amount;
}

quint64 QRNGPUInstrument::memoryValueForKey(const QString& key) const
{
    const QVariant value = valueForAccessorWithKey(key);
    if (!isNumeric(value))
        return 0;
    const bool mebibytes = keyInAccessor(m_gpuDescriptor.value(key).toString()).value_or(QString()).endsWith(QLatin1String("MB"));
    return mebibytes ? value.toULongLong() << 20 : value.toULongLong();
}

std::optional<QString> QRNGPUInstrument::stringForKey(const QString& key) const
{
    return QRNIORegistryEntry::stringOf(valueForAccessorWithKey(key));
}

void QRNGPUInstrument::setAccessor(const QString& descriptorKey, const QString& accessor)
{
    m_gpuDescriptor.insert(descriptorKey, accessor);
}

std::shared_ptr<QRNGPUInstrument> QRNGPUInstrument::initWithIOAccelerator(const EntryPointer& entry)
{
    EntryPointer parent = entry ? entry->parentServiceEntry() : nullptr;
    if (!parent)
        return nullptr;
    std::shared_ptr<QRNGPUInstrument> gpu(new QRNGPUInstrument);
    gpu->m_entry = entry;
    gpu->m_parent = parent;
    gpu->m_gpuDescriptor.insert(EntryKey, entry->ioKitHandle());
    gpu->m_gpuDescriptor.insert(ParentKey, parent->ioKitHandle());

    const auto model = accessorForEntry(entry, parent, {QStringLiteral("model")}, {Text, Data}, 0);
    const auto vendor = accessorForEntry(entry, parent, {QStringLiteral("vendor-id")}, {Number, Data}, 4);
    if (!model || !vendor)
        return nullptr;
    gpu->setAccessor(ModelKey, *model);
    gpu->setAccessor(VendorKey, *vendor);
    if (const auto device = accessorForEntry(entry, parent, {QStringLiteral("device-id")}, {Number, Data}, 4))
        gpu->setAccessor(DeviceKey, *device);
    gpu->m_modelName = gpu->stringForKey(ModelKey).value_or(QString());
    gpu->m_vendorIdentifier = gpu->unsignedIntForKey(VendorKey);
    gpu->m_deviceIdentifier = gpu->unsignedIntForKey(DeviceKey);

    const auto statsAccessor = accessorForEntry(entry, parent, {QStringLiteral("PerformanceStatistics")}, {Dictionary}, 0);
    if (!statsAccessor)
        return nullptr;
    gpu->setAccessor(StatsKey, *statsAccessor);
    gpu->m_statistics = *parsed(*statsAccessor);
    const QVariantMap statistics = gpu->currentStatistics().value_or(QVariantMap());

    const auto utilization = accessorForStatistics(statistics, {QStringLiteral("Device Utilization %")}, {Number});
    if (!utilization)
        return nullptr;
    gpu->setAccessor(UtilizationKey, *utilization);
    gpu->m_utilizationAccessor = *parsed(*utilization);
    while (isNumeric(statistics.value(unitKey(gpu->m_separateLoadValueCount)))) {
        gpu->m_unitKeys.append(unitKey(gpu->m_separateLoadValueCount));
        ++gpu->m_separateLoadValueCount;
    }

    std::optional<QString> total =
        accessorForEntry(entry, parent, {QStringLiteral("VRAM,totalMB"), QStringLiteral("ATY,memsize")}, {Number}, 0);
    gpu->m_isSharedMemory = !total;
    if (!total)
        total = accessorForStatistics(statistics, {QStringLiteral("Alloc system memory"), QStringLiteral("gartSizeBytes")},
            {Number});
    if (!total)
        return nullptr;
    gpu->setAccessor(TotalMemoryKey, *total);
    gpu->m_totalMemoryAccessor = *parsed(*total);
    // Integrated processors may still name a memory size: their share of main memory.
    if (gpu->m_modelName.contains(QLatin1String("Intel")))
        gpu->m_isSharedMemory = true;

    QStringList usedKeys;
    if (!gpu->m_isSharedMemory)
        usedKeys = {QStringLiteral("inUseVidMemoryBytes"), QStringLiteral("vramUsedBytes")};
    else if (gpu->m_totalMemoryAccessor.key == QLatin1String("gartSizeBytes"))
        usedKeys = {QStringLiteral("gartUsedBytes")};
    else
        usedKeys = {QStringLiteral("inUseSysMemoryBytes"), QStringLiteral("In use system memory")};
    const auto used = accessorForStatistics(statistics, usedKeys, {Number});
    if (!used)
        return nullptr;
    gpu->setAccessor(UsedMemoryKey, *used);
    gpu->m_usedMemoryAccessor = *parsed(*used);

    if (!gpu->readMemory(gpu->currentStatistics()))
        return nullptr;
    gpu->collectNewSample();
    return gpu;
}

bool QRNGPUInstrument::readMemory(const std::optional<QVariantMap>& statistics)
{
    m_totalMemory = memoryValue(read(m_totalMemoryAccessor, statistics), m_totalMemoryAccessor);
    m_usedMemory = memoryValue(read(m_usedMemoryAccessor, statistics), m_usedMemoryAccessor);
    return m_totalMemory != 0 && m_usedMemory <= m_totalMemory;
}

void QRNGPUInstrument::collectNewSample()
{
    // One read of the statistics serves every figure of the sample.
    const std::optional<QVariantMap> statistics = currentStatistics();
    if (m_separateLoadValueCount > 0) {
        double sum = 0.0;
        for (const QString& key : m_unitKeys) {
            const QVariant unit = statistics ? statistics->value(key) : QVariant();
            sum += isNumeric(unit) ? unit.toDouble() : 0.0;
        }
        m_utilization = std::min(sum, 100.0) / 100.0;
    } else {
        const QVariant load = read(m_utilizationAccessor, statistics);
        m_utilization = isNumeric(load) ? load.toDouble() / 100.0 : 0.0;
    }
    readMemory(statistics);
}

QString QRNGPUInstrument::description() const
{
    QVariantMap accessors = m_gpuDescriptor;
    accessors.remove(EntryKey);
    accessors.remove(ParentKey);
    return QStringLiteral("<%1>: (0x%2, 0x%3) - '%4' load: %5%, %6 of %7 bytes in use (%8)\naccessors: %9\n")
        .arg(className())
        .arg(m_vendorIdentifier, 4, 16, QLatin1Char('0'))
        .arg(m_deviceIdentifier, 4, 16, QLatin1Char('0'))
        .arg(m_modelName)
        .arg(m_utilization * 100.0, 0, 'f', 6)
        .arg(m_usedMemory)
        .arg(m_totalMemory)
        .arg(m_isSharedMemory ? QStringLiteral("shared") : QStringLiteral("exclusive"))
        .arg(PropertyList::description(accessors));
}

QRNGPUInstrument::List QRNGPUInstrument::instrumentsForAllGPUs()
{
    List found;
    for (const EntryPointer& entry : QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOAccelerator")).value_or(
             QRNIORegistryEntry::EntryList())) {
        if (auto gpu = initWithIOAccelerator(entry))
            found.push_back(std::move(gpu));
    }
    // Of several processors, those switched off or idle now use no memory.
    if (found.size() >= 2)
        std::erase_if(found, [](const auto& gpu) { return gpu->usedMemory() == 0; });
    return found;
}
