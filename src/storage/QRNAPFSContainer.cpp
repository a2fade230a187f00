#include "storage/QRNAPFSContainer.h"

#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNLogicalBSDDisk.h"

namespace {

const QUuid NoGroup;

QString uuidText(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

std::vector<std::shared_ptr<QRNAPFSContainer>> QRNAPFSContainer::allContainers()
{
    std::vector<std::shared_ptr<QRNAPFSContainer>> containers;
    for (const auto& entry : QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("AppleAPFSContainer")).value_or(QRNIORegistryEntry::EntryList())) {
        if (auto container = initWithIORegistryEntry(entry))
            containers.push_back(std::move(container));
    }
    return containers;
}

std::shared_ptr<QRNAPFSContainer> QRNAPFSContainer::initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry)
{
    if (!entry)
        return nullptr;
    const std::optional<QString> uuid = entry->stringValueWithName(QStringLiteral("UUID"));
    auto containerMedia = entry->parentServiceEntry();
    std::shared_ptr<QRNLogicalBSDDisk> containerDisk = QRNLogicalBSDDisk::initWithIORegistryEntry(containerMedia);
    if (!uuid || !containerDisk)
        return nullptr;

    std::shared_ptr<QRNAPFSContainer> container(new QRNAPFSContainer);
    container->m_containerEntry = entry;
    container->m_uuid = QUuid::fromString(*uuid);
    container->m_containerDisk = containerDisk;
    container->m_volumeListComplete = entry->properties().value_or(QVariantMap()).value(QStringLiteral("Volume List Complete"), true).toBool();

    // A pool may be stored on several disks: all are parents of the scheme
    // above the pool's disk.
    const auto scheme = containerMedia->parentServiceEntry();
    const QRNIORegistryEntry::EntryList stores = scheme ? scheme->parentServiceEntries() : QRNIORegistryEntry::EntryList();
    if (stores.empty())
        return nullptr;
    for (const auto& store : stores) {
        const std::optional<QString> tierType = store->stringValueWithName(QStringLiteral("TierType"));
        if (!tierType)
            continue;
        std::shared_ptr<QRNLogicalBSDDisk> storeDisk = QRNLogicalBSDDisk::initWithIORegistryEntry(store);
        if (!storeDisk)
            return nullptr;
        container->m_storeDisks.push_back(std::move(storeDisk));
        container->m_storeTierTypes.append(*tierType);
    }

    for (const auto& volumeEntry : entry->childServiceEntries()) {
        const std::optional<QString> volumeUUIDText = volumeEntry->stringValueWithName(QStringLiteral("UUID"));
        if (!volumeUUIDText)
            continue;
        const QUuid volumeUUID = QUuid::fromString(*volumeUUIDText);
        std::shared_ptr<QRNLogicalBSDDisk> volume = containerDisk->childWithUUID(volumeUUID);
        if (!volume)
            continue;
        const QUuid group = QUuid::fromString(volumeEntry->stringValueWithName(QStringLiteral("VolGroupUUID")).value_or(QString()));
        if (group != NoGroup)
            container->m_volumeGroupsByUUID[group].push_back(volume);
        const QVariantList roles = volumeEntry->arrayValueWithName(QStringLiteral("Role")).value_or(QVariantList());
        if (!roles.isEmpty() && roles.front().typeId() == QMetaType::QString)
            container->m_volumeRolesByUUID.insert(volumeUUID, roles.front().toString());
    }
    return container;
}

QString QRNAPFSContainer::description() const
{
    QString text = QStringLiteral("%1: Container disk: %2, BSD name: %3 size: %4\n")
                       .arg(className(), uuidText(m_uuid), m_containerDisk->name())
                       .arg(m_containerDisk->size());
    for (std::size_t i = 0; i < m_storeDisks.size(); ++i) {
        text += QStringLiteral("\tPhysical store disk %1, tier type %2: %3, BSD name: %4 size: %5\n")
                    .arg(i)
                    .arg(m_storeTierTypes.at(qsizetype(i)), m_storeDisks[i]->presentedName(), m_storeDisks[i]->name())
                    .arg(m_storeDisks[i]->size());
    }
    for (auto group = m_volumeGroupsByUUID.cbegin(); group != m_volumeGroupsByUUID.cend(); ++group) {
        text += QStringLiteral("\tVolume group %1 has %2 members:\n").arg(uuidText(group.key())).arg(group->size());
        for (const auto& member : *group)
            text += QStringLiteral("\t\tVolume %1, BSD name: %2\n").arg(member->presentedName(), member->name());
    }
    for (const auto& volume : m_containerDisk->children()) {
        const QString uuid = volume->uuid() ? uuidText(*volume->uuid()) : QString();
        text += QStringLiteral("\tVolume disk %1, BSD name: %2, size: %3\n").arg(uuid, volume->name()).arg(volume->size());
        const QString role = volume->uuid() ? m_volumeRolesByUUID.value(*volume->uuid()) : QString();
        text += QStringLiteral("\t\t%1: %2\n").arg(volume->presentedName(), role.isEmpty() ? QStringLiteral("-no specific role-") : role);
    }
    return text;
}
