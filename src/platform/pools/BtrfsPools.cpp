#include "platform/pools/BtrfsPools.h"

#include "platform/linux/Sysroot.h"
#include "platform/mounts/MountInfo.h"
#include "platform/pools/PoolVolumeIdentity.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

constexpr quint64 SectorBytes = 512;

const QString Kind = QStringLiteral("btrfs");

// The block device a mount names as its source (/dev/mapper/vg-root is a
// link to /dev/dm-0).
QString deviceOfSource(const Sysroot& sysroot, const QString& source)
{
    if (!source.startsWith(QLatin1String("/dev/")))
        return {};
    const QString resolved = sysroot.resolved(source.mid(1));
    return QFileInfo(resolved.isEmpty() ? source : resolved).fileName();
}

QString roleOf(const BtrfsSubvolume& subvolume)
{
    if (subvolume.id == BtrfsSubvolumes::TopLevelID)
        return QStringLiteral("Top level");
    if (subvolume.parentUUID.isNull())
        return QStringLiteral("Subvolume");
    return subvolume.readOnly ? QStringLiteral("Snapshot") : QStringLiteral("Writable snapshot");
}

// The subvolumes a mount shows: its own, or, when the kernel will not say,
// what the mount table tells (its id and path).
BtrfsSubvolume mountedSubvolume(const MountEntry& mount, const BtrfsPools::Source& source, const Sysroot& sysroot)
{
    BtrfsSubvolume subvolume = source.mounted(sysroot.path(mount.mountPoint.mid(1))).value_or(BtrfsSubvolume{});
    if (subvolume.id == 0)
        subvolume.id = BtrfsPools::subvolumeID(mount.superOptions).value_or(BtrfsSubvolumes::TopLevelID);
    subvolume.path = mount.root.mid(1);
    return subvolume;
}

} // namespace

std::optional<quint64> BtrfsPools::subvolumeID(const QString& superOptions)
{
    for (const QString& option : superOptions.split(u',')) {
        if (option.startsWith(QLatin1String("subvolid="))) {
            bool ok = false;
            const quint64 id = option.mid(9).toULongLong(&ok);
            if (ok)
                return id;
        }
    }
    return std::nullopt;
}

std::vector<StoragePool> BtrfsPools::scan(const Sysroot& sysroot, const std::vector<MountEntry>& mounts, const Source& source)
{
    std::vector<StoragePool> pools;
    for (const QString& key : sysroot.entries(QStringLiteral("sys/fs/btrfs"))) {
        if (QUuid::fromString(key).isNull())
            continue; // "features"
        const QString base = QStringLiteral("sys/fs/btrfs/") + key;
        StoragePool pool;
        pool.kind = StoragePool::Kind::Btrfs;
        pool.key = key;
        pool.name = sysroot.text(base + QStringLiteral("/label"));
        pool.uuid = PoolVolumeIdentity::poolUUID(Kind, key);
        pool.members = sysroot.entries(base + QStringLiteral("/devices"));
        for (const QString& member : pool.members)
            pool.size += sysroot.text(base + QStringLiteral("/devices/") + member + QStringLiteral("/size")).toULongLong() * SectorBytes;

        std::vector<const MountEntry*> poolMounts;
        for (const MountEntry& mount : mounts) {
            if (mount.fileSystemType == Kind && pool.members.contains(deviceOfSource(sysroot, mount.source)))
                poolMounts.push_back(&mount);
        }

        std::vector<BtrfsSubvolume> subvolumes;
        std::optional<BtrfsSubvolumes::Listing> listing;
        if (!poolMounts.empty())
            listing = source.list(sysroot.path(poolMounts.front()->mountPoint.mid(1)));
        if (listing && !listing->notPermitted) {
            subvolumes = listing->subvolumes;
        } else {
            pool.volumesComplete = false;
            for (const MountEntry* mount : poolMounts) {
                const BtrfsSubvolume subvolume = mountedSubvolume(*mount, source, sysroot);
                if (std::none_of(subvolumes.begin(), subvolumes.end(), [&](const auto& s) { return s.id == subvolume.id; }))
                    subvolumes.push_back(subvolume);
            }
        }

        for (const BtrfsSubvolume& subvolume : subvolumes) {
            PoolVolume volume;
            volume.key = QString::number(subvolume.id);
            volume.deviceName = QStringLiteral("subvolid=") + volume.key;
            volume.name = u'/' + subvolume.path;
            volume.uuid = PoolVolumeIdentity::volumeUUID(pool.uuid, volume.key);
            volume.role = roleOf(subvolume);
            volume.readOnly = subvolume.readOnly;
            volume.size = pool.size;
            if (subvolume.readOnly && !subvolume.parentUUID.isNull()) {
                const auto origin = std::find_if(subvolumes.begin(), subvolumes.end(), [&](const auto& s) { return s.uuid == subvolume.parentUUID; });
                if (origin != subvolumes.end())
                    volume.snapshotOf = QString::number(origin->id);
            }
            for (const MountEntry* mount : poolMounts) {
                if (subvolumeID(mount->superOptions).value_or(BtrfsSubvolumes::TopLevelID) == subvolume.id)
                    volume.mountPoints.append(mount->mountPoint);
            }
            pool.volumes.push_back(volume);
        }
        pools.push_back(pool);
    }
    return pools;
}
