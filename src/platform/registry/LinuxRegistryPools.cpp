#include "platform/registry/LinuxRegistry.h"

// The storage-pool entries of the Linux registry. Each is read from a fresh
// (or just taken) reading of the pools, so an entry goes away with its pool
// or volume.

namespace {

const QString ZeroGroup = QStringLiteral("00000000-0000-0000-0000-000000000000");

QString uuidText(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

const PoolVolume* volumeOf(const std::optional<StoragePool>& pool, const QString& key)
{
    return pool ? pool->volume(key) : nullptr;
}

QVariantMap mediaLikeProperties(const QString& bsdName, quint32 major, quint32 minor, bool open, bool writable, bool leaf, quint64 size,
    const QUuid& uuid)
{
    return {{QStringLiteral("BSD Name"), bsdName}, {QStringLiteral("BSD Unit"), 0}, {QStringLiteral("BSD Major"), qint64(major)},
        {QStringLiteral("BSD Minor"), qint64(minor)}, {QStringLiteral("Open"), open}, {QStringLiteral("Writable"), writable},
        {QStringLiteral("Leaf"), leaf}, {QStringLiteral("Size"), size}, {QStringLiteral("UUID"), uuidText(uuid)}};
}

} // namespace

bool LinuxRegistry::isPoolNodePresent(const Node& node) const
{
    const std::optional<StoragePool> pool = m_pools.pool(node.disk);
    switch (node.kind) {
    case Kind::PoolVolume: {
        const PoolVolume* volume = volumeOf(pool, node.detail);
        return volume && volume->snapshotOf.isEmpty();
    }
    case Kind::PoolSnapshot: {
        const PoolVolume* volume = volumeOf(pool, node.detail);
        return volume && !volume->snapshotOf.isEmpty();
    }
    default: return pool.has_value();
    }
}

QString LinuxRegistry::poolNodeName(const Node& node) const
{
    const std::optional<StoragePool> pool = m_pools.pool(node.disk);
    if (!pool)
        return {};
    // Registry names end in "@" and a location, and readers cut there: a
    // btrfs path such as "/@home" keeps its own "@" only with one behind it.
    switch (node.kind) {
    case Kind::PoolScheme: return QStringLiteral("StoragePoolScheme");
    case Kind::PoolMedia: return (pool->name.isEmpty() ? pool->key : pool->name) + QStringLiteral("@0");
    case Kind::PoolContainer: return pool->kind == StoragePool::Kind::Btrfs ? QStringLiteral("btrfs") : QStringLiteral("LVM");
    default: {
        const PoolVolume* volume = pool->volume(node.detail);
        return volume ? volume->name + u'@' + volume->key : QString();
    }
    }
}

QVariantMap LinuxRegistry::poolNodeProperties(const Node& node) const
{
    const std::optional<StoragePool> pool = m_pools.pool(node.disk);
    if (!pool)
        return {};
    const bool btrfs = pool->kind == StoragePool::Kind::Btrfs;
    switch (node.kind) {
    case Kind::PoolScheme: return {};
    case Kind::PoolMedia:
        return mediaLikeProperties(pool->name.isEmpty() ? pool->key : pool->name, 0, 0, pool->isMounted(), true, false, pool->size, pool->uuid);
    case Kind::PoolContainer:
        // The bundle identifier marks the entry that drives the volumes and
        // snapshots below it, as a driver's does.
        return {{QStringLiteral("UUID"), uuidText(pool->uuid)},
            {QStringLiteral("CFBundleIdentifier"), btrfs ? QStringLiteral("org.kernel.btrfs") : QStringLiteral("org.sourceware.lvm2")},
            {QStringLiteral("Pool Kind"), btrfs ? QStringLiteral("btrfs") : QStringLiteral("LVM")},
            {QStringLiteral("Volume List Complete"), pool->volumesComplete}};
    default: {
        const PoolVolume* volume = pool->volume(node.detail);
        if (!volume)
            return {};
        QVariantMap properties = mediaLikeProperties(volume->deviceName, volume->major, volume->minor, !volume->mountPoints.isEmpty(),
            !volume->readOnly, true, volume->size, volume->uuid);
        properties.insert(QStringLiteral("Role"), QVariantList{volume->role});
        properties.insert(QStringLiteral("VolGroupUUID"), ZeroGroup);
        properties.insert(QStringLiteral("Mount Points"), volume->mountPoints);
        return properties;
    }
    }
}

Registry::EntryID LinuxRegistry::mediaNamed(const QString& device) const
{
    for (const QString& disk : m_devices.disks()) {
        if (disk == device)
            return idFor(Kind::WholeMedia, disk, m_devices.identity(disk));
        if (device.startsWith(disk) && m_devices.hasPartition(disk, device))
            return idFor(Kind::PartitionMedia, disk, m_devices.identity(disk), device);
    }
    return 0;
}

std::vector<Registry::EntryID> LinuxRegistry::poolNodeParents(const Node& node) const
{
    switch (node.kind) {
    case Kind::PoolScheme: {
        std::vector<EntryID> stores;
        if (const std::optional<StoragePool> pool = m_pools.pool(node.disk)) {
            for (const QString& member : pool->members) {
                if (const EntryID media = mediaNamed(member))
                    stores.push_back(media);
            }
        }
        return stores;
    }
    case Kind::PoolMedia: return {idFor(Kind::PoolScheme, node.disk, {})};
    case Kind::PoolContainer: return {idFor(Kind::PoolMedia, node.disk, {})};
    case Kind::PoolVolume: return {idFor(Kind::PoolContainer, node.disk, {})};
    case Kind::PoolSnapshot: {
        const PoolVolume* volume = volumeOf(m_pools.pool(node.disk), node.detail);
        return volume ? std::vector<EntryID>{idFor(Kind::PoolVolume, node.disk, {}, volume->snapshotOf)} : std::vector<EntryID>();
    }
    default: return {};
    }
}

std::vector<Registry::EntryID> LinuxRegistry::poolNodeChildren(const Node& node) const
{
    const std::optional<StoragePool> pool = m_pools.pool(node.disk);
    if (!pool)
        return {};
    switch (node.kind) {
    case Kind::PoolScheme: return {idFor(Kind::PoolMedia, node.disk, {})};
    case Kind::PoolMedia: return {idFor(Kind::PoolContainer, node.disk, {})};
    case Kind::PoolContainer:
    case Kind::PoolVolume: {
        // The container holds the volumes; a volume its snapshots.
        const QString origin = node.kind == Kind::PoolContainer ? QString() : node.detail;
        std::vector<EntryID> below;
        for (const PoolVolume& volume : pool->volumes) {
            if (volume.snapshotOf == origin)
                below.push_back(idFor(origin.isEmpty() ? Kind::PoolVolume : Kind::PoolSnapshot, node.disk, {}, volume.key));
        }
        return below;
    }
    default: return {};
    }
}
