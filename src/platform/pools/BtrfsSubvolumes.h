#pragma once

#include <QString>
#include <QUuid>
#include <QtGlobal>

#include <optional>
#include <vector>

// One subvolume of a btrfs as the file system records it.
struct BtrfsSubvolume {
    // 5 is the top of the file system.
    quint64 id = 0;
    // Path from the top, without leading slash; empty for the top.
    QString path;
    QUuid uuid;
    // The subvolume this one was snapshotted from; null for none.
    QUuid parentUUID;
    bool readOnly = false;
};

// The subvolumes of a mounted btrfs, read with the file system's ioctls.
class BtrfsSubvolumes {
public:
    static constexpr quint64 TopLevelID = 5;

    struct Listing {
        std::vector<BtrfsSubvolume> subvolumes;
        // Searching the trees needs CAP_SYS_ADMIN; without it nothing is listed.
        bool notPermitted = false;
    };
    // Every subvolume of the file system mounted at the path. None when the
    // path is no btrfs or cannot be opened.
    static std::optional<Listing> list(const QString& mountPoint);
    // The subvolume mounted at the path; allowed to every user.
    static std::optional<BtrfsSubvolume> mounted(const QString& mountPoint);
};
