#include "platform/pools/StoragePoolReader.h"

#include "platform/mounts/MountInfo.h"
#include "platform/mounts/SpaceQuery.h"
#include "platform/pools/LvmPools.h"

namespace {

std::vector<StoragePool> scan(const Sysroot& sysroot, const BtrfsPools::Source& source)
{
    const std::vector<MountEntry> mounts = MountInfo::read(sysroot);
    std::vector<StoragePool> pools = BtrfsPools::scan(sysroot, mounts, source);
    std::vector<StoragePool> groups = LvmPools::scan(sysroot, mounts);
    pools.insert(pools.end(), std::make_move_iterator(groups.begin()), std::make_move_iterator(groups.end()));
    return pools;
}

} // namespace

StoragePoolReader::StoragePoolReader(const Sysroot& sysroot)
    : m_sysroot(sysroot)
{
}

void StoragePoolReader::setBtrfsSource(BtrfsPools::Source source)
{
    std::lock_guard lock(m_mutex);
    m_source = std::move(source);
    m_age.invalidate();
}

std::vector<StoragePool> StoragePoolReader::pools() const
{
    std::lock_guard lock(m_mutex);
    if (!m_age.isValid() || m_age.elapsed() >= ReuseMilliseconds) {
        m_pools = scan(m_sysroot, m_source);
        m_age.start();
    }
    return m_pools;
}

std::optional<StoragePool> StoragePoolReader::pool(const QString& key) const
{
    for (StoragePool& pool : pools()) {
        if (pool.key == key)
            return std::move(pool);
    }
    return std::nullopt;
}

QString StoragePoolReader::memberRole(const QString& device, const QStringList& holders) const
{
    for (const QString& holder : holders) {
        if (LvmPools::identityOf(m_sysroot.text(QStringLiteral("sys/block/") + holder + QStringLiteral("/dm/uuid"))))
            return QStringLiteral("LVM physical volume");
    }
    for (const QString& pool : m_sysroot.entries(QStringLiteral("sys/fs/btrfs"))) {
        if (m_sysroot.exists(QStringLiteral("sys/fs/btrfs/") + pool + QStringLiteral("/devices/") + device))
            return QStringLiteral("btrfs device");
    }
    return {};
}

std::vector<PoolFileSystem> StoragePoolReader::mountedFileSystems(const Sysroot& sysroot)
{
    // The mount table names each mounted subvolume's id, which is all a
    // mounted volume's UUID is made from.
    const BtrfsPools::Source mountTableOnly{[](const QString&) { return std::optional<BtrfsSubvolumes::Listing>(); },
        [](const QString&) { return std::optional<BtrfsSubvolume>(); }};
    std::vector<PoolFileSystem> mounted;
    for (const StoragePool& pool : scan(sysroot, mountTableOnly)) {
        for (const PoolVolume& volume : pool.volumes) {
            for (const QString& mountPoint : volume.mountPoints) {
                const std::optional<VolumeSpace> space = SpaceQuery::statvfsOf(sysroot.path(mountPoint.mid(1)));
                mounted.push_back(PoolFileSystem{mountPoint, volume.uuid, space ? space->availableSpace : 0});
            }
        }
    }
    return mounted;
}
