#include "platform/pools/LvmPools.h"

#include "platform/linux/Sysroot.h"
#include "platform/mounts/MountInfo.h"
#include "platform/pools/PoolVolumeIdentity.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

constexpr quint64 SectorBytes = 512;
constexpr qsizetype IdentifierLength = 32;

const QString Kind = QStringLiteral("LVM");

QString blockPath(const QString& device)
{
    return QStringLiteral("sys/block/") + device;
}

// A disk's size file, or a partition's below its disk.
QString sizeFile(const Sysroot& sysroot, const QString& device)
{
    if (sysroot.exists(blockPath(device)))
        return blockPath(device) + QStringLiteral("/size");
    for (const QString& disk : sysroot.entries(QStringLiteral("sys/block"))) {
        if (device.startsWith(disk) && sysroot.exists(blockPath(disk) + u'/' + device + QStringLiteral("/partition")))
            return blockPath(disk) + u'/' + device + QStringLiteral("/size");
    }
    return {};
}

struct MappedDevice {
    QString device; // dm-3
    LvmPools::DeviceIdentity identity;
    QString volumeName;
    QStringList slaves;
};

} // namespace

std::optional<LvmPools::DeviceIdentity> LvmPools::identityOf(const QString& deviceMapperUUID)
{
    if (!deviceMapperUUID.startsWith(QLatin1String("LVM-")))
        return std::nullopt;
    const QString body = deviceMapperUUID.mid(4);
    if (body.size() < 2 * IdentifierLength)
        return std::nullopt;
    const QString suffix = body.mid(2 * IdentifierLength);
    if (!suffix.isEmpty() && !suffix.startsWith(u'-'))
        return std::nullopt;
    return DeviceIdentity{body.left(IdentifierLength), body.mid(IdentifierLength, IdentifierLength), suffix.mid(1)};
}

std::optional<std::pair<QString, QString>> LvmPools::namesOf(const QString& mappingName)
{
    for (qsizetype at = 0; at < mappingName.size(); ++at) {
        if (mappingName.at(at) != u'-')
            continue;
        if (at + 1 < mappingName.size() && mappingName.at(at + 1) == u'-') {
            ++at;
            continue;
        }
        QString group = mappingName.left(at);
        QString volume = mappingName.mid(at + 1);
        group.replace(QLatin1String("--"), QLatin1String("-"));
        volume.replace(QLatin1String("--"), QLatin1String("-"));
        if (group.isEmpty() || volume.isEmpty())
            return std::nullopt;
        return std::pair{group, volume};
    }
    return std::nullopt;
}

std::vector<StoragePool> LvmPools::scan(const Sysroot& sysroot, const std::vector<MountEntry>& mounts)
{
    QHash<QString, MappedDevice> mapped; // by device name
    QStringList groupOrder;
    QHash<QString, QString> groupNames;
    for (const QString& device : sysroot.entries(QStringLiteral("sys/block"))) {
        if (!device.startsWith(QLatin1String("dm-")))
            continue;
        const std::optional<DeviceIdentity> identity = identityOf(sysroot.text(blockPath(device) + QStringLiteral("/dm/uuid")));
        const auto names = namesOf(sysroot.text(blockPath(device) + QStringLiteral("/dm/name")));
        if (!identity || !names)
            continue;
        mapped.insert(device, MappedDevice{device, *identity, names->second, sysroot.entries(blockPath(device) + QStringLiteral("/slaves"))});
        if (!groupOrder.contains(identity->groupKey))
            groupOrder.append(identity->groupKey);
        if (identity->suffix.isEmpty())
            groupNames.insert(identity->groupKey, names->first);
    }

    std::vector<StoragePool> pools;
    for (const QString& groupKey : groupOrder) {
        StoragePool pool;
        pool.kind = StoragePool::Kind::Lvm;
        pool.key = groupKey;
        pool.name = groupNames.value(groupKey);
        pool.uuid = PoolVolumeIdentity::poolUUID(Kind, groupKey);

        // The physical volumes: what the group's devices are made from,
        // through any number of its own layers.
        QSet<QString> members;
        for (const MappedDevice& device : std::as_const(mapped)) {
            if (device.identity.groupKey != groupKey)
                continue;
            for (const QString& slave : device.slaves) {
                if (!mapped.contains(slave) || mapped.value(slave).identity.groupKey != groupKey)
                    members.insert(slave);
            }
        }
        pool.members = QStringList(members.begin(), members.end());
        std::sort(pool.members.begin(), pool.members.end());
        for (const QString& member : std::as_const(pool.members))
            pool.size += sysroot.text(sizeFile(sysroot, member)).toULongLong() * SectorBytes;

        QStringList devices = mapped.keys();
        std::sort(devices.begin(), devices.end(), [](const QString& a, const QString& b) { return a.mid(3).toInt() < b.mid(3).toInt(); });
        for (const QString& name : std::as_const(devices)) {
            const MappedDevice& device = mapped[name];
            if (device.identity.groupKey != groupKey || !device.identity.suffix.isEmpty())
                continue;
            PoolVolume volume;
            volume.key = device.identity.volumeKey;
            volume.deviceName = device.device;
            volume.name = device.volumeName;
            volume.uuid = PoolVolumeIdentity::volumeUUID(pool.uuid, volume.key);
            volume.role = QStringLiteral("Logical volume");
            volume.readOnly = sysroot.text(blockPath(name) + QStringLiteral("/ro")) == QLatin1String("1");
            volume.size = sysroot.text(blockPath(name) + QStringLiteral("/size")).toULongLong() * SectorBytes;
            const QStringList numbers = sysroot.text(blockPath(name) + QStringLiteral("/dev")).split(u':');
            if (numbers.size() == 2) {
                volume.major = numbers.at(0).toUInt();
                volume.minor = numbers.at(1).toUInt();
            }
            // A snapshot stands on a "-cow" store and on its origin's "-real" device.
            const bool hasStore = std::any_of(device.slaves.begin(), device.slaves.end(),
                [&](const QString& slave) { return mapped.value(slave).identity.suffix == QLatin1String("cow"); });
            for (const QString& slave : device.slaves) {
                const DeviceIdentity& below = mapped.value(slave).identity;
                if (hasStore && below.suffix == QLatin1String("real"))
                    volume.snapshotOf = below.volumeKey;
            }
            for (const MountEntry& mount : mounts) {
                if (mount.major == volume.major && mount.minor == volume.minor && numbers.size() == 2)
                    volume.mountPoints.append(mount.mountPoint);
            }
            pool.volumes.push_back(volume);
        }
        pools.push_back(pool);
    }
    return pools;
}
