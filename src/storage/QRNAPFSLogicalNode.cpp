#include "storage/QRNAPFSLogicalNode.h"

#include "platform/log/Log.h"
#include "storage/QRNAPFSContainer.h"
#include "storage/QRNLogicalBSDDisk.h"
#include "support/CDP.h"

#include <QCoreApplication>

namespace {

constexpr char Table[] = "QRNAPFSPresentation";

QString uuidText(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

QRNAPFSLogicalNode::QRNAPFSLogicalNode(Type type, std::shared_ptr<QRNLogicalBSDDisk> disk, const QUuid& uuid)
    : m_type(type)
    , m_logicalDisk(std::move(disk))
    , m_uuid(uuid)
{
}

QRNAPFSLogicalNode::Pointer QRNAPFSLogicalNode::initWithAPFSContainer(const QRNAPFSContainer& container, const std::vector<PoolFileSystem>& mountedFileSystems)
{
    Pointer root(new QRNAPFSLogicalNode(Container, container.containerDisk(), container.uuid()));

    QHash<QUuid, Pointer> volumesByUUID;
    Children volumes;
    for (const auto& disk : container.containerDisk()->children()) {
        if (!disk->uuid()) {
            Log::info("This OS did not assign a UUID to logical volume '%{public}@': Possibly unsupported APFS version will be ignored.",
                {disk->name()});
            continue;
        }
        Pointer volume = initWithAPFSVolume(disk, container.volumeRolesByUUID().value(*disk->uuid()), mountedFileSystems);
        volumesByUUID.insert(*disk->uuid(), volume);
        volumes.push_back(std::move(volume));
    }

    Children top;
    if (!container.volumeGroupsByUUID().isEmpty()) {
        QSet<QUuid> grouped;
        for (auto group = container.volumeGroupsByUUID().cbegin(); group != container.volumeGroupsByUUID().cend(); ++group) {
            Pointer groupNode = initAsVolumeGroupWithUUID(group.key(), *group, volumesByUUID);
            if (!groupNode)
                continue;
            groupNode->m_logicalAncestor = root;
            for (const auto& member : *group)
                grouped.insert(*member->uuid());
            top.push_back(std::move(groupNode));
        }
        for (const Pointer& volume : volumes) {
            if (grouped.contains(volume->uuid()))
                continue;
            volume->m_logicalAncestor = root;
            top.push_back(volume);
        }
    } else {
        top = volumes;
    }

    for (std::size_t i = 0; i < container.storeDisks().size(); ++i) {
        if (Pointer store = initWithStoreDisk(container.storeDisks()[i], container.storeTierTypes().at(qsizetype(i)), top)) {
            store->m_logicalAncestor = root;
            root->m_children.push_back(std::move(store));
        }
    }
    return root;
}

QRNAPFSLogicalNode::Pointer QRNAPFSLogicalNode::initWithAPFSVolume(
    const std::shared_ptr<QRNLogicalBSDDisk>& volume, const QString& role, const std::vector<PoolFileSystem>& mountedFileSystems)
{
    Pointer node(new QRNAPFSLogicalNode(Volume, volume, volume->uuid().value_or(QUuid())));
    node->m_roleName = role;
    for (const PoolFileSystem& fileSystem : mountedFileSystems) {
        if (fileSystem.volumeUUID == node->m_uuid) {
            node->m_activeFileSystem = fileSystem;
            break;
        }
    }
    for (const auto& child : volume->children()) {
        if (!child->isSnapshot())
            continue;
        Pointer snapshot = initWithAPFSSnapshotVolume(child, role);
        snapshot->m_logicalAncestor = node;
        node->m_children.push_back(std::move(snapshot));
    }
    return node;
}

QRNAPFSLogicalNode::Pointer QRNAPFSLogicalNode::initWithAPFSSnapshotVolume(const std::shared_ptr<QRNLogicalBSDDisk>& snapshot, const QString& parentRole)
{
    Pointer node(new QRNAPFSLogicalNode(Snapshot, snapshot, snapshot->uuid().value_or(QUuid())));
    node->m_roleName = QCoreApplication::translate(Table, "%1 (Snapshot)").arg(parentRole.isEmpty() ? QStringLiteral("-") : parentRole);
    return node;
}

QRNAPFSLogicalNode::Pointer QRNAPFSLogicalNode::initWithStoreDisk(
    const std::shared_ptr<QRNLogicalBSDDisk>& disk, const QString& tierType, const Children& children)
{
    if (!disk || tierType.isEmpty() || children.empty())
        return nullptr;
    Pointer node(new QRNAPFSLogicalNode(PhysicalStore, disk, disk->uuid().value_or(QUuid())));
    node->m_roleName = tierType;
    node->m_children = children;
    return node;
}

QRNAPFSLogicalNode::Pointer QRNAPFSLogicalNode::initAsVolumeGroupWithUUID(
    const QUuid& group, const std::vector<std::shared_ptr<QRNLogicalBSDDisk>>& members, const QHash<QUuid, Pointer>& volumeNodesByUUID)
{
    Children memberNodes;
    std::shared_ptr<QRNLogicalBSDDisk> headline;
    for (const auto& member : members) {
        const Pointer volume = member->uuid() ? volumeNodesByUUID.value(*member->uuid()) : nullptr;
        if (!volume)
            return nullptr;
        if (!headline && volume->roleName() == QLatin1String("System"))
            headline = member;
        memberNodes.push_back(volume);
    }
    if (members.empty())
        return nullptr;
    Pointer node(new QRNAPFSLogicalNode(VolumeGroup, headline ? headline : members.front(), group));
    for (const Pointer& member : memberNodes)
        member->m_logicalAncestor = node;
    node->m_children = std::move(memberNodes);
    return node;
}

QString QRNAPFSLogicalNode::bsdName() const
{
    return m_logicalDisk ? m_logicalDisk->name() : QString();
}

quint64 QRNAPFSLogicalNode::size() const
{
    return m_logicalDisk ? m_logicalDisk->size() : 0;
}

QString QRNAPFSLogicalNode::UUIDString() const
{
    return uuidText(m_uuid);
}

QString QRNAPFSLogicalNode::localizedObjectType() const
{
    switch (m_type) {
    case Container: return QCoreApplication::translate(Table, "APFS Container");
    case PhysicalStore: return QCoreApplication::translate(Table, "Physical Disk");
    case VolumeGroup: return QCoreApplication::translate(Table, "APFS Volume Group");
    case Volume: return QCoreApplication::translate(Table, "APFS Volume");
    case Snapshot: return QCoreApplication::translate(Table, "APFS Snapshot");
    }
    return {};
}

QString QRNAPFSLogicalNode::localizedObjectHeadline() const
{
    const QString name = m_logicalDisk ? m_logicalDisk->presentedName() : QString();
    if (!name.isEmpty())
        return QCoreApplication::translate(Table, "%1 '%2'").arg(localizedObjectType(), name);
    return QCoreApplication::translate(Table, "%1 %2").arg(localizedObjectType(), UUIDString());
}

QString QRNAPFSLogicalNode::localizedSizeDescription() const
{
    return QCoreApplication::translate(Table, "%1 (%2 bytes)").arg(CDP::displayTextForMemorySize(size())).arg(size());
}

QString QRNAPFSLogicalNode::localizedSuccinctObjectDescription() const
{
    QString text = QStringLiteral("%1 %2").arg(localizedObjectHeadline(), localizedSizeDescription());
    if (!m_roleName.isEmpty())
        text += QStringLiteral(", ") + m_roleName;
    return text;
}

QString QRNAPFSLogicalNode::descriptionForAPFSFileSystem(const PoolFileSystem& fileSystem)
{
    return QStringLiteral("Mounted at '%1', %2 bytes free\n\n").arg(fileSystem.mountPoint).arg(fileSystem.freeBytes);
}

void QRNAPFSLogicalNode::appendNodeDescriptionAtLevel(int level, QString& text) const
{
    text += QString(level, u'\t');
    switch (m_type) {
    case Container: text += QStringLiteral("Container %1 %2 (%3 bytes)\n").arg(bsdName(), UUIDString()).arg(size()); break;
    case PhysicalStore:
        text += QStringLiteral("Physical store disk %1 %2 (%3 bytes)").arg(bsdName(), UUIDString()).arg(size())
            + QStringLiteral(" disk type %1\n").arg(m_roleName);
        break;
    case VolumeGroup: text += QStringLiteral("Volume group %1\n").arg(UUIDString()); break;
    case Volume:
        text += QStringLiteral("Volume %1 %2 (%3 bytes)").arg(bsdName(), UUIDString()).arg(size())
            + (m_roleName.isEmpty() ? QStringLiteral(" without specific role\n") : QStringLiteral(" role '%1'\n").arg(m_roleName));
        break;
    case Snapshot: text += QStringLiteral("APFS snapshot volume %1 %2: %3\n").arg(bsdName(), UUIDString(), m_roleName); break;
    }
    for (const Pointer& child : m_children)
        child->appendNodeDescriptionAtLevel(level + 1, text);
}

QString QRNAPFSLogicalNode::description() const
{
    QString text = className() + QStringLiteral(": ");
    appendNodeDescriptionAtLevel(0, text);
    return text;
}
