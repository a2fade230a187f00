#pragma once

#include "platform/notifications/NotificationCenter.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class FolderWatch;
class MountMonitor;

inline constexpr const char* APFSVolumeWasAddedOrMountChangedNotification = "QRNAPFSVolumeWasAddedOrMountChangedNotification";
inline constexpr const char* APFSVolumeWasRemovedNotification = "QRNAPFSVolumeWasRemovedNotification";

// Announces the volumes of storage pools as they come, go and are mounted or
// unmounted ("QRNAPFSVolumeBSDDisk", "QRNAPFSVolumeUUID",
// "QRNAPFSVolumeGroupUUID"). It looks at the pools again only when the
// kernel reports something that may have changed them: a disk arriving or
// leaving (LVM volumes are disks), the mount table changing, or a folder
// appearing or vanishing at the top of a mounted btrfs (a new subvolume or
// snapshot). Volumes present at start are announced once then.
class QRNAPFSConfigurationMonitor : public QObject {
    Q_OBJECT
public:
    // Events come in bursts (a snapshot is a folder and a mount is a disk
    // event too); they are taken together after this pause.
    static constexpr int SettleMilliseconds = 100;

    explicit QRNAPFSConfigurationMonitor(MountMonitor& mounts);
    ~QRNAPFSConfigurationMonitor() override;

    static QRNAPFSConfigurationMonitor& sharedMonitor();

    // Looks at the pools now and announces what changed since the last look.
    void rescan();

private:
    struct Record {
        QString bsdName;
        QString groupUUID;
        QStringList mountPoints;
    };
    void changeSeen();

    QTimer m_settle;
    std::unique_ptr<FolderWatch> m_folders;
    QHash<QString, Record> m_records; // by volume UUID
    std::vector<NotificationCenter::Token> m_observations;
};
