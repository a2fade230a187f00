#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>
#include <QtGlobal>

#include <vector>

// One volume of a storage pool: a btrfs subvolume or an LVM logical volume.
struct PoolVolume {
    // Stable within its pool while the volume exists: the subvolume id, the
    // logical volume's UUID.
    QString key;
    // What a user names the volume by: "subvolid=257", "dm-2".
    QString deviceName;
    // The subvolume's path from the top of its file system ("/" for the top
    // itself), or the logical volume's name.
    QString name;
    // Made from the pool's identity and the key, so a mount names the same
    // volume without asking the file system (btrfs gives its top no UUID).
    QUuid uuid;
    QString role;
    bool readOnly = false;
    // The key of the volume this one is a read-only snapshot of; empty for a
    // volume of its own.
    QString snapshotOf;
    quint64 size = 0;
    quint32 major = 0;
    quint32 minor = 0;
    QStringList mountPoints;
};

// A btrfs file system or an LVM volume group: volumes that share the space of
// one or more devices.
struct StoragePool {
    enum class Kind { Btrfs, Lvm };
    Kind kind = Kind::Btrfs;
    // The file system's UUID, the volume group's UUID as LVM writes it.
    QString key;
    // The btrfs label (may be empty) or the volume group's name.
    QString name;
    QUuid uuid;
    quint64 size = 0;
    // The devices the pool lives on (sda2, loop0, dm-0), in name order.
    QStringList members;
    std::vector<PoolVolume> volumes;
    // False when only the mounted subvolumes could be listed: the full list
    // of a btrfs needs the right to search its trees.
    bool volumesComplete = true;

    const PoolVolume* volume(const QString& key) const;
    bool isMounted() const;
};

// A mounted volume of a pool and its free space.
struct PoolFileSystem {
    QString mountPoint;
    QUuid volumeUUID;
    quint64 freeBytes = 0;
};
