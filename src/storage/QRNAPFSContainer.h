#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <memory>
#include <vector>

class QRNIORegistryEntry;
class QRNLogicalBSDDisk;

// One storage pool as the registry shows it: the disk that stands for the
// pool as a whole (its children are the volumes), the disks it is stored on,
// its volume groups and the roles of its volumes.
class QRNAPFSContainer {
public:
    using DiskList = std::vector<std::shared_ptr<QRNLogicalBSDDisk>>;

    static std::vector<std::shared_ptr<QRNAPFSContainer>> allContainers();
    // None without a text "UUID", without a pool disk above it, or without a
    // store (or with a store that yields no disk).
    static std::shared_ptr<QRNAPFSContainer> initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry);

    const std::shared_ptr<QRNIORegistryEntry>& containerEntry() const { return m_containerEntry; }
    const QUuid& uuid() const { return m_uuid; }
    const std::shared_ptr<QRNLogicalBSDDisk>& containerDisk() const { return m_containerDisk; }
    const DiskList& storeDisks() const { return m_storeDisks; }
    const QStringList& storeTierTypes() const { return m_storeTierTypes; }
    const QHash<QUuid, DiskList>& volumeGroupsByUUID() const { return m_volumeGroupsByUUID; }
    const QHash<QUuid, QString>& volumeRolesByUUID() const { return m_volumeRolesByUUID; }
    // False where the pool's full list of volumes could not be read (a btrfs
    // without the right to search its trees): only its mounted volumes show.
    bool isVolumeListComplete() const { return m_volumeListComplete; }

    QString description() const;
    QString className() const { return QStringLiteral("QRNAPFSContainer"); }

private:
    QRNAPFSContainer() = default;

    std::shared_ptr<QRNIORegistryEntry> m_containerEntry;
    QUuid m_uuid;
    std::shared_ptr<QRNLogicalBSDDisk> m_containerDisk;
    DiskList m_storeDisks;
    QStringList m_storeTierTypes;
    QHash<QUuid, DiskList> m_volumeGroupsByUUID;
    QHash<QUuid, QString> m_volumeRolesByUUID;
    bool m_volumeListComplete = true;
};
