#include "platform/registry/BlockMediaReader.h"

#include "platform/registry/BlockDeviceFacts.h"
#include "platform/registry/MountTable.h"
#include "platform/registry/UdevDatabase.h"

namespace {

constexpr quint64 SectorBytes = 512;

QString mediaPath(const QString& disk, const QString& partition)
{
    const QString diskPath = QStringLiteral("sys/block/") + disk;
    return partition.isEmpty() ? diskPath : diskPath + u'/' + partition;
}

} // namespace

BlockMediaReader::BlockMediaReader(const Sysroot& sysroot)
    : m_sysroot(sysroot)
    , m_devices(sysroot)
{
}

QString BlockMediaReader::mediaName(const QString& disk, const QString& partition) const
{
    if (partition.isEmpty()) {
        const QString product = m_devices.deviceCharacteristics(disk).value(QStringLiteral("Product Name")).toString();
        return (product.isEmpty() ? disk : product) + QStringLiteral(" Media");
    }
    const QHash<QString, QString> udev = m_devices.udevProperties(disk, partition);
    // ID_PART_ENTRY_NAME is kept escaped but has no blank-free twin.
    const QString partitionName = UdevDatabase::decoded(udev.value(QStringLiteral("ID_PART_ENTRY_NAME"))).trimmed();
    if (!partitionName.isEmpty())
        return partitionName;
    const QString label = UdevDatabase::text(udev, QStringLiteral("ID_FS_LABEL"));
    return label.isEmpty() ? partition : label;
}

QVariantMap BlockMediaReader::mediaProperties(const QString& disk, const QString& partition) const
{
    const QString directory = mediaPath(disk, partition);
    const QString majorMinor = m_sysroot.text(directory + QStringLiteral("/dev"));
    const QString bsdName = partition.isEmpty() ? disk : partition;
    const bool hasPartitions = partition.isEmpty() && !m_devices.partitions(disk).isEmpty();

    QStringList names{bsdName};
    const QString mapperName = m_sysroot.text(directory + QStringLiteral("/dm/name"));
    if (!mapperName.isEmpty())
        names.append(mapperName);

    QVariantMap properties{
        {QStringLiteral("BSD Name"), bsdName},
        {QStringLiteral("BSD Unit"), BlockDeviceFacts::unitForDiskName(disk)},
        {QStringLiteral("Open"), isOpen(directory, majorMinor, names)},
        {QStringLiteral("Writable"), m_sysroot.text(directory + QStringLiteral("/ro")) != QLatin1String("1")},
        // Media with partitions or with volumes made from them have children.
        {QStringLiteral("Leaf"), !hasPartitions && m_devices.holders(disk, partition).isEmpty()},
        {QStringLiteral("Whole"), partition.isEmpty()},
        {QStringLiteral("Removable"), m_sysroot.text(mediaPath(disk, {}) + QStringLiteral("/removable")) == QLatin1String("1")},
    };
    const QStringList numbers = majorMinor.split(u':');
    if (numbers.size() == 2) {
        properties.insert(QStringLiteral("BSD Major"), numbers.at(0).toInt());
        properties.insert(QStringLiteral("BSD Minor"), numbers.at(1).toInt());
    }
    bool sizeKnown = false;
    const quint64 sectors = m_sysroot.text(directory + QStringLiteral("/size")).toULongLong(&sizeKnown);
    if (sizeKnown)
        properties.insert(QStringLiteral("Size"), sectors * SectorBytes);
    const std::optional<QString> uuid
        = BlockDeviceFacts::mediaUUID(m_devices.udevProperties(disk, partition), !partition.isEmpty(), hasPartitions);
    if (uuid)
        properties.insert(QStringLiteral("UUID"), *uuid);
    return properties;
}

QString BlockMediaReader::heldMediaName(const QString& holder) const
{
    const QString product = m_devices.deviceCharacteristics(holder).value(QStringLiteral("Product Name")).toString();
    return product.isEmpty() ? holder : product;
}

QVariantMap BlockMediaReader::heldMediaProperties(const QString& holder) const
{
    QVariantMap properties = mediaProperties(holder, {});
    // Its own partitions belong to its own tree.
    properties.insert(QStringLiteral("Leaf"), true);
    properties.insert(QStringLiteral("Whole"), false);
    return properties;
}

bool BlockMediaReader::isOpen(const QString& directory, const QString& majorMinor, const QStringList& names) const
{
    if (!m_sysroot.entries(directory + QStringLiteral("/holders")).isEmpty())
        return true;
    const MountTable mounts = MountTable::parse(m_sysroot.read(QStringLiteral("proc/self/mountinfo")).value_or(QByteArray()),
        m_sysroot.read(QStringLiteral("proc/swaps")).value_or(QByteArray()));
    const QStringList numbers = majorMinor.split(u':');
    return mounts.uses(numbers.value(0).toUInt(), numbers.value(1).toUInt(), names);
}
