#include "instruments/QRNAPFSConfigurationMonitor.h"

#include "instruments/QRNEquipmentMonitor.h"
#include "platform/hotplug/FolderWatch.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/pools/StoragePoolReader.h"
#include "storage/QRNIORegistryEntry.h"

// The registry keeps a reading of the pools for a moment; a look after a
// pause must not get the reading from before the change.
static_assert(QRNAPFSConfigurationMonitor::SettleMilliseconds > StoragePoolReader::ReuseMilliseconds);

namespace {

const QString ZeroGroup = QStringLiteral("00000000-0000-0000-0000-000000000000");

QVariantMap userInfo(const QString& bsdName, const QString& uuid, const QString& group)
{
    return {{QStringLiteral("QRNAPFSVolumeBSDDisk"), bsdName}, {QStringLiteral("QRNAPFSVolumeUUID"), uuid},
        {QStringLiteral("QRNAPFSVolumeGroupUUID"), group}};
}

bool isOnBtrfs(const QRNIORegistryEntry& volume)
{
    // Volume → (volume →) container, which names the kind of pool.
    for (auto above = volume.parentServiceEntry(); above; above = above->parentServiceEntry()) {
        if (const std::optional<QString> kind = above->stringValueWithName(QStringLiteral("Pool Kind")))
            return *kind == QLatin1String("btrfs");
    }
    return false;
}

} // namespace

QRNAPFSConfigurationMonitor::QRNAPFSConfigurationMonitor(MountMonitor& mounts)
    : m_folders(std::make_unique<FolderWatch>())
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &QRNAPFSConfigurationMonitor::rescan);
    connect(&mounts, &MountMonitor::mountsChanged, this, &QRNAPFSConfigurationMonitor::changeSeen);
    connect(m_folders.get(), &FolderWatch::changed, this, &QRNAPFSConfigurationMonitor::changeSeen);
    for (const char* name : {EquipmentWasAddedNotification, EquipmentWasRemovedNotification}) {
        m_observations.push_back(NotificationCenter::defaultCenter().addObserver(QLatin1String(name), [this](const QString&, const QVariantMap& info) {
            if (info.value(QStringLiteral("Type")) == QLatin1String("Disk"))
                changeSeen();
        }));
    }
    rescan();
}

QRNAPFSConfigurationMonitor::~QRNAPFSConfigurationMonitor()
{
    for (const NotificationCenter::Token token : m_observations)
        NotificationCenter::defaultCenter().removeObserver(token);
}

QRNAPFSConfigurationMonitor& QRNAPFSConfigurationMonitor::sharedMonitor()
{
    // Kept to the end of the process, as the mount monitor it listens to.
    static QRNAPFSConfigurationMonitor* const monitor = new QRNAPFSConfigurationMonitor(MountMonitor::shared());
    return *monitor;
}

void QRNAPFSConfigurationMonitor::changeSeen()
{
    // The pools are read again only after the registry's last reading has
    // gone stale.
    m_settle.start();
}

void QRNAPFSConfigurationMonitor::rescan()
{
    QHash<QString, Record> records;
    QStringList folders;
    for (const auto& volume : QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("AppleAPFSVolume")).value_or(QRNIORegistryEntry::EntryList())) {
        const QVariantMap properties = volume->properties().value_or(QVariantMap());
        const QString bsdName = properties.value(QStringLiteral("BSD Name")).toString();
        const QString uuid = properties.value(QStringLiteral("UUID")).toString();
        if (bsdName.isEmpty() || uuid.isEmpty())
            continue;
        QString group = properties.value(QStringLiteral("VolGroupUUID")).toString();
        if (group.isEmpty())
            group = ZeroGroup;
        const QStringList mountPoints = properties.value(QStringLiteral("Mount Points")).toStringList();
        records.insert(uuid, Record{bsdName, group, mountPoints});
        if (!mountPoints.isEmpty() && isOnBtrfs(*volume))
            folders += mountPoints;
    }
    folders.removeDuplicates();
    folders.sort();
    m_folders->setFolders(folders);

    const QHash<QString, Record> before = std::exchange(m_records, records);
    for (auto record = records.cbegin(); record != records.cend(); ++record) {
        const auto known = before.constFind(record.key());
        if (known == before.cend() || known->mountPoints != record->mountPoints)
            NotificationCenter::defaultCenter().post(QLatin1String(APFSVolumeWasAddedOrMountChangedNotification),
                userInfo(record->bsdName, record.key(), record->groupUUID));
    }
    for (auto record = before.cbegin(); record != before.cend(); ++record) {
        if (!records.contains(record.key()))
            NotificationCenter::defaultCenter().post(QLatin1String(APFSVolumeWasRemovedNotification),
                userInfo(record->bsdName, record.key(), record->groupUUID));
    }
}
