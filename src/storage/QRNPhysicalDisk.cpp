#include "storage/QRNPhysicalDisk.h"

#include "storage/QRNIORegistryEntry.h"

#include <QStringList>
#include <QVariantMap>

#include <atomic>

namespace {

std::atomic<bool> serialNumberPrivacy{false};

constexpr qsizetype LongestSerial = 22;

QString trimmedText(const QVariantMap& map, const char* key)
{
    return map.value(QLatin1String(key)).toString().trimmed();
}

// The text under key, or the fallback key when that is not a text or empty.
QString interconnectOf(const QVariantMap& protocol, const char* key, const char* fallback)
{
    const QString first = trimmedText(protocol, key);
    return first.isEmpty() ? trimmedText(protocol, fallback) : first;
}

QString usbSerialAbove(const QRNIORegistryEntry& device)
{
    for (auto entry = device.parentServiceEntry(); entry; entry = entry->parentServiceEntry()) {
        if (const std::optional<QString> serial = entry->stringValueWithName(QStringLiteral("kUSBSerialNumberString")))
            return serial->trimmed();
    }
    return {};
}

} // namespace

QRNPhysicalDisk::List QRNPhysicalDisk::allAttachedDisks()
{
    List disks;
    const auto drivers = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver"));
    for (const auto& driver : drivers.value_or(QRNIORegistryEntry::EntryList())) {
        if (auto disk = initForBlockStorageDeviceEntry(driver))
            disks.push_back(std::move(disk));
    }
    return disks;
}

std::shared_ptr<QRNPhysicalDisk> QRNPhysicalDisk::diskWithIdentification(const QString& identification)
{
    if (identification.isEmpty())
        return nullptr;
    for (auto& disk : allAttachedDisks()) {
        if (disk->identification() == identification)
            return disk;
    }
    return nullptr;
}

QString QRNPhysicalDisk::shortenedSerialNumber(const QString& serial)
{
    const qsizetype length = serial.size();
    if (length <= LongestSerial)
        return serial;
    const qsizetype cut = length - LongestSerial;
    const qsizetype kept = length / 2 - cut / 2;
    return serial.left(kept) + QChar(0x2026) + serial.mid(kept + cut);
}

QString QRNPhysicalDisk::diskIdentificationForBlockStorageDeviceEntry(const QRNIORegistryEntry& driverEntry)
{
    const auto device = driverEntry.parentServiceEntry();
    if (!device)
        return {};
    const std::optional<QVariantMap> properties = device->properties();
    if (!properties)
        return {};
    const QVariant deviceValue = properties->value(QStringLiteral("Device Characteristics"));
    const QVariant protocolValue = properties->value(QStringLiteral("Protocol Characteristics"));
    if (deviceValue.typeId() != QMetaType::QVariantMap || protocolValue.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariantMap characteristics = deviceValue.toMap();
    const QVariantMap protocol = protocolValue.toMap();

    const QString interconnect = interconnectOf(protocol, "Physical Interconnect", "Physical Interconnect Location");
    if (interconnect.isEmpty())
        return {};
    QString name;
    QString serial;
    if (interconnect == QLatin1String("USB") || interconnect == QLatin1String("FireWire")) {
        name = QStringLiteral("%1 %2").arg(trimmedText(characteristics, "Vendor Name"), trimmedText(characteristics, "Product Name"));
        if (name.size() < 2)
            return {};
        if (interconnect == QLatin1String("USB"))
            serial = usbSerialAbove(*device);
        else if (protocol.contains(QStringLiteral("GUID")))
            serial = QStringLiteral("0x") + QString::number(protocol.value(QStringLiteral("GUID")).toULongLong(), 16);
    } else {
        name = trimmedText(characteristics, "Product Name");
        if (name.isEmpty())
            return {};
        serial = trimmedText(characteristics, "Serial Number");
    }
    serial = shortenedSerialNumber(serial);
    if (serial.isEmpty() || serialNumberPrivacy.load())
        return name;
    return QStringLiteral("%1 (%2)").arg(name, serial);
}

bool QRNPhysicalDisk::isVirtualDiskAtBlockStorageDeviceEntry(const QRNIORegistryEntry& driverEntry)
{
    const auto device = driverEntry.parentServiceEntry();
    if (!device)
        return false;
    const std::optional<QVariantMap> protocol = device->dictionaryValueWithName(QStringLiteral("Protocol Characteristics"));
    if (!protocol)
        return false;
    QVariant interconnect = protocol->value(QStringLiteral("Physical Interconnect"));
    if (interconnect.typeId() != QMetaType::QString)
        interconnect = protocol->value(QStringLiteral("Physical Interconnect Location"));
    return interconnect.typeId() == QMetaType::QString && interconnect.toString() == QLatin1String("Virtual Interface");
}

QHash<QString, QString> QRNPhysicalDisk::identificationsByBSDName()
{
    QHash<QString, QString> identifications;
    const auto drivers = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver"));
    for (const auto& driver : drivers.value_or(QRNIORegistryEntry::EntryList())) {
        const auto media = driver->childServiceEntry();
        const std::optional<QString> name = media ? media->stringValueWithName(QStringLiteral("BSD Name")) : std::nullopt;
        const QString identification = diskIdentificationForBlockStorageDeviceEntry(*driver);
        if (name && !name->isEmpty() && !identification.isEmpty())
            identifications.insert(*name, identification);
    }
    return identifications;
}

void QRNPhysicalDisk::setSerialNumberPrivacyEnabled(bool enabled)
{
    serialNumberPrivacy.store(enabled);
}

bool QRNPhysicalDisk::isSerialNumberPrivacyEnabled()
{
    return serialNumberPrivacy.load();
}

std::shared_ptr<QRNPhysicalDisk> QRNPhysicalDisk::initForBlockStorageDeviceEntry(std::shared_ptr<QRNIORegistryEntry> driverEntry)
{
    if (!driverEntry || isVirtualDiskAtBlockStorageDeviceEntry(*driverEntry))
        return nullptr;
    const QString identification = diskIdentificationForBlockStorageDeviceEntry(*driverEntry);
    if (identification.isEmpty())
        return nullptr;
    std::shared_ptr<QRNPhysicalDisk> disk(new QRNPhysicalDisk);
    disk->m_identification = identification;
    disk->m_hierarchy = QRNLogicalBSDDisk::initWithIORegistryEntry(driverEntry->childServiceEntry());
    disk->m_blockStorageDevice = std::move(driverEntry);
    return disk;
}

quint64 QRNPhysicalDisk::size() const
{
    return m_hierarchy ? m_hierarchy->size() : 0;
}

bool QRNPhysicalDisk::isInUse() const
{
    return isAnyDiskInUseInHierarchySubtree(m_hierarchy.get());
}

bool QRNPhysicalDisk::isAnyDiskInUseInHierarchySubtree(const QRNLogicalBSDDisk* node)
{
    if (!node)
        return false;
    if (node->isInUse())
        return true;
    for (const auto& child : node->children()) {
        if (child->isInUse() || (!child->isLeaf() && isAnyDiskInUseInHierarchySubtree(child.get())))
            return true;
    }
    return false;
}

std::optional<QString> QRNPhysicalDisk::volumeListDescriptionGettingCount(int* count) const
{
    if (!m_hierarchy)
        return std::nullopt;
    QStringList names;
    collectPresentedNamesWithoutRootOfHierarchySubtree(*m_hierarchy, names);
    if (count)
        *count = int(names.size());
    return names.join(QStringLiteral(", "));
}

void QRNPhysicalDisk::collectPresentedNamesWithoutRootOfHierarchySubtree(const QRNLogicalBSDDisk& node, QStringList& names)
{
    for (const auto& child : node.children()) {
        names.append(child->presentedName());
        collectPresentedNamesWithoutRootOfHierarchySubtree(*child, names);
    }
}

QString QRNPhysicalDisk::description() const
{
    return QStringLiteral("<%1> for device '%2' containing %3")
        .arg(className(), m_identification, m_hierarchy ? m_hierarchy->description() : QStringLiteral("(null)"));
}
