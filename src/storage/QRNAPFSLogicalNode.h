#pragma once

#include "platform/pools/StoragePool.h"

#include <QHash>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>
#include <vector>

class QRNAPFSContainer;
class QRNLogicalBSDDisk;

// One node of the storage overview: a pool, a disk it is stored on, a volume
// group, a volume or a snapshot, with the texts the overview shows for it.
class QRNAPFSLogicalNode {
public:
    enum Type { Container = 0, PhysicalStore = 1, VolumeGroup = 2, Volume = 3, Snapshot = 4 };
    using Pointer = std::shared_ptr<QRNAPFSLogicalNode>;
    using Children = std::vector<Pointer>;

    // The tree of a pool: the pool, below it one node per store disk, below
    // each store the same volumes (grouped where the pool groups them).
    static Pointer initWithAPFSContainer(const QRNAPFSContainer& container, const std::vector<PoolFileSystem>& mountedFileSystems);
    static Pointer initWithAPFSVolume(
        const std::shared_ptr<QRNLogicalBSDDisk>& volume, const QString& role, const std::vector<PoolFileSystem>& mountedFileSystems);
    static Pointer initWithAPFSSnapshotVolume(const std::shared_ptr<QRNLogicalBSDDisk>& snapshot, const QString& parentRole);
    // None unless all three are given and the tier type is not empty.
    static Pointer initWithStoreDisk(const std::shared_ptr<QRNLogicalBSDDisk>& disk, const QString& tierType, const Children& children);
    // None when a member has no volume node.
    static Pointer initAsVolumeGroupWithUUID(const QUuid& group, const std::vector<std::shared_ptr<QRNLogicalBSDDisk>>& members,
        const QHash<QUuid, Pointer>& volumeNodesByUUID);

    Type type() const { return m_type; }
    const std::shared_ptr<QRNLogicalBSDDisk>& logicalDisk() const { return m_logicalDisk; }
    const QUuid& uuid() const { return m_uuid; }
    const QString& roleName() const { return m_roleName; }
    const std::optional<PoolFileSystem>& activeFileSystem() const { return m_activeFileSystem; }
    const Children& children() const { return m_children; }
    Pointer logicalAncestor() const { return m_logicalAncestor.lock(); }

    QString bsdName() const;
    quint64 size() const;
    bool isLeaf() const { return m_children.empty(); }
    QString UUIDString() const;

    QString localizedObjectType() const;
    QString localizedObjectHeadline() const;
    QString localizedSizeDescription() const;
    QString localizedSuccinctObjectDescription() const;
    static QString descriptionForAPFSFileSystem(const PoolFileSystem& fileSystem);

    void appendNodeDescriptionAtLevel(int level, QString& text) const;
    QString description() const;
    QString className() const { return QStringLiteral("QRNAPFSLogicalNode"); }

private:
    QRNAPFSLogicalNode(Type type, std::shared_ptr<QRNLogicalBSDDisk> disk, const QUuid& uuid);

    Type m_type;
    std::shared_ptr<QRNLogicalBSDDisk> m_logicalDisk;
    QUuid m_uuid;
    QString m_roleName;
    std::optional<PoolFileSystem> m_activeFileSystem;
    Children m_children;
    std::weak_ptr<QRNAPFSLogicalNode> m_logicalAncestor;
};
