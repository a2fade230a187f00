#include "platform/registry/BlockDeviceReader.h"

#include "platform/registry/BlockStatistics.h"
#include "platform/registry/UdevDatabase.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QString diskPath(const QString& disk)
{
    return QStringLiteral("sys/block/") + disk;
}

void insertText(QVariantMap& map, const QString& key, const QString& value)
{
    if (!value.isEmpty())
        map.insert(key, value);
}

QString firstNonEmpty(const QStringList& candidates)
{
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty())
            return candidate;
    }
    return {};
}

} // namespace

BlockDeviceReader::BlockDeviceReader(const Sysroot& sysroot)
    : m_sysroot(sysroot)
{
}

QString BlockDeviceReader::firstText(const QStringList& relatives) const
{
    for (const QString& relative : relatives) {
        const QString text = m_sysroot.text(relative);
        if (!text.isEmpty())
            return text;
    }
    return {};
}

QStringList BlockDeviceReader::disks() const
{
    QStringList names = m_sysroot.entries(QStringLiteral("sys/block"));
    std::sort(names.begin(), names.end(), BlockDeviceFacts::naturalLess);
    return names;
}

QStringList BlockDeviceReader::partitions(const QString& disk) const
{
    QStringList names;
    // Partitions are named after their disk (sda1, nvme0n1p1); checking only
    // those spares a look into each of the disk's attributes.
    for (const QString& name : m_sysroot.entries(diskPath(disk))) {
        if (name.startsWith(disk) && hasPartition(disk, name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), BlockDeviceFacts::naturalLess);
    return names;
}

QString BlockDeviceReader::identity(const QString& disk) const
{
    const QString sequence = m_sysroot.text(diskPath(disk) + QStringLiteral("/diskseq"));
    return sequence.isEmpty() ? m_sysroot.text(diskPath(disk) + QStringLiteral("/dev")) : sequence;
}

bool BlockDeviceReader::hasPartition(const QString& disk, const QString& partition) const
{
    return m_sysroot.exists(diskPath(disk) + u'/' + partition + QStringLiteral("/partition"));
}

QStringList BlockDeviceReader::holders(const QString& disk, const QString& partition) const
{
    const QString directory = partition.isEmpty() ? diskPath(disk) : diskPath(disk) + u'/' + partition;
    QStringList names = m_sysroot.entries(directory + QStringLiteral("/holders"));
    std::sort(names.begin(), names.end(), BlockDeviceFacts::naturalLess);
    return names;
}

QHash<QString, QString> BlockDeviceReader::udevProperties(const QString& disk, const QString& partition) const
{
    const QString directory = partition.isEmpty() ? diskPath(disk) : diskPath(disk) + u'/' + partition;
    return UdevDatabase::forBlockDevice(m_sysroot, m_sysroot.text(directory + QStringLiteral("/dev")));
}

QString BlockDeviceReader::deviceName(const QString& disk) const
{
    const QString device = m_sysroot.resolved(diskPath(disk) + QStringLiteral("/device"));
    return device.isEmpty() ? disk : device.section(u'/', -1);
}

QVariantMap BlockDeviceReader::deviceCharacteristics(const QString& disk) const
{
    const QString base = diskPath(disk);
    const QHash<QString, QString> udev = udevProperties(disk);
    QString vendor = m_sysroot.text(base + QStringLiteral("/device/vendor"));
    // VirtIO and PCI devices give a vendor number here, not a name.
    if (vendor.startsWith(QLatin1String("0x")))
        vendor.clear();

    // A loop device is a disk only while a file backs it; the file tells one
    // from the other as a serial number would, and stays the same when the
    // file is attached again.
    static const QRegularExpression loopName(QStringLiteral("^loop\\d+$"));
    const bool isLoop = loopName.match(disk).hasMatch();
    const QString backingFile = isLoop ? m_sysroot.text(base + QStringLiteral("/loop/backing_file")) : QString();
    const bool unattachedLoop = isLoop && backingFile.isEmpty();

    QVariantMap characteristics;
    insertText(characteristics, QStringLiteral("Product Name"),
        firstNonEmpty({firstText({base + QStringLiteral("/device/model"), base + QStringLiteral("/device/name")}),
            UdevDatabase::text(udev, QStringLiteral("ID_MODEL")), m_sysroot.text(base + QStringLiteral("/dm/name")),
            unattachedLoop ? QString() : BlockDeviceFacts::fallbackProductName(disk)}));
    insertText(characteristics, QStringLiteral("Vendor Name"),
        firstNonEmpty({vendor, UdevDatabase::text(udev, QStringLiteral("ID_VENDOR"))}));
    insertText(characteristics, QStringLiteral("Serial Number"),
        firstNonEmpty({firstText({base + QStringLiteral("/device/serial"), base + QStringLiteral("/serial")}),
            udev.value(QStringLiteral("ID_SERIAL_SHORT")).trimmed(),
            BlockDeviceFacts::serialFromWorldWideID(firstText({base + QStringLiteral("/device/wwid"), base + QStringLiteral("/wwid")})),
            backingFile}));
    insertText(characteristics, QStringLiteral("Product Revision Level"),
        firstNonEmpty({firstText({base + QStringLiteral("/device/rev"), base + QStringLiteral("/device/firmware_rev")}),
            udev.value(QStringLiteral("ID_REVISION")).trimmed()}));
    return characteristics;
}

QVariantMap BlockDeviceReader::deviceProperties(const QString& disk) const
{
    const BlockDeviceFacts::Interconnect interconnect
        = BlockDeviceFacts::interconnectForDevicePath(m_sysroot.resolved(diskPath(disk)));
    QVariantMap properties{
        {QStringLiteral("Device Characteristics"), deviceCharacteristics(disk)},
        {QStringLiteral("Protocol Characteristics"), QVariantMap{
            {QStringLiteral("Physical Interconnect"), interconnect.physical},
            {QStringLiteral("Physical Interconnect Location"), interconnect.location},
        }},
    };
    if (const std::optional<QVariantMap> power = powerManagement(disk))
        properties.insert(QStringLiteral("IOPowerManagement"), *power);
    return properties;
}

QVariantMap BlockDeviceReader::driverProperties(const QString& disk) const
{
    QVariantMap properties{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("org.kernel.block")}};
    if (const std::optional<QByteArray> stat = m_sysroot.read(diskPath(disk) + QStringLiteral("/stat"))) {
        if (const std::optional<DiskStatistics> statistics = BlockStatistics::parse(*stat))
            properties.insert(QStringLiteral("Statistics"), statistics->dictionary());
    }
    if (const std::optional<QVariantMap> power = powerManagement(disk))
        properties.insert(QStringLiteral("IOPowerManagement"), *power);
    return properties;
}

std::optional<QVariantMap> BlockDeviceReader::powerManagement(const QString& disk) const
{
    return BlockDeviceFacts::powerManagementForRuntimeStatus(
        m_sysroot.text(diskPath(disk) + QStringLiteral("/device/power/runtime_status")));
}

BlockDeviceFacts::PartitionScheme BlockDeviceReader::partitionScheme(const QString& disk) const
{
    return BlockDeviceFacts::partitionSchemeForTableType(udevProperties(disk).value(QStringLiteral("ID_PART_TABLE_TYPE")));
}

QString BlockDeviceReader::usbDevicePath(const QString& disk) const
{
    QString path = m_sysroot.resolved(diskPath(disk));
    if (BlockDeviceFacts::interconnectForDevicePath(path).physical != QLatin1String("USB"))
        return {};
    // The nearest ancestor with an idVendor file is the USB device; its
    // interfaces (2-1:1.0) have none.
    while (path.contains(u'/')) {
        path = path.section(u'/', 0, -2);
        if (m_sysroot.exists(path + QStringLiteral("/idVendor")))
            return path;
    }
    return {};
}

QString BlockDeviceReader::usbDeviceName(const QString& usbPath) const
{
    const QString product = m_sysroot.text(usbPath + QStringLiteral("/product"));
    return product.isEmpty() ? QStringLiteral("USB Device") : product;
}

QVariantMap BlockDeviceReader::usbDeviceProperties(const QString& usbPath) const
{
    QVariantMap properties;
    insertText(properties, QStringLiteral("kUSBSerialNumberString"), m_sysroot.text(usbPath + QStringLiteral("/serial")));
    insertText(properties, QStringLiteral("USB Product Name"), m_sysroot.text(usbPath + QStringLiteral("/product")));
    insertText(properties, QStringLiteral("USB Vendor Name"), m_sysroot.text(usbPath + QStringLiteral("/manufacturer")));
    for (const QString& key : {QStringLiteral("idVendor"), QStringLiteral("idProduct")}) {
        bool ok = false;
        const int number = m_sysroot.text(usbPath + u'/' + key).toInt(&ok, 16);
        if (ok)
            properties.insert(key, number);
    }
    return properties;
}
