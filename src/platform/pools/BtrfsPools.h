#pragma once

#include "platform/pools/BtrfsSubvolumes.h"
#include "platform/pools/StoragePool.h"

#include <functional>
#include <optional>

class Sysroot;
struct MountEntry;

// The btrfs file systems the kernel knows (/sys/fs/btrfs/<uuid>), each with
// its devices, its subvolumes and where they are mounted. Subvolumes come
// from the file system itself, through one of its mounts: all of them where
// we may search its trees, else only the mounted ones.
class BtrfsPools {
public:
    // Where subvolumes are read from; the ioctls unless a test says otherwise.
    struct Source {
        std::function<std::optional<BtrfsSubvolumes::Listing>(const QString& mountPoint)> list = &BtrfsSubvolumes::list;
        std::function<std::optional<BtrfsSubvolume>(const QString& mountPoint)> mounted = &BtrfsSubvolumes::mounted;
    };

    static std::vector<StoragePool> scan(const Sysroot& sysroot, const std::vector<MountEntry>& mounts, const Source& source);
    // "subvolid=257" among a mount's options; none without one.
    static std::optional<quint64> subvolumeID(const QString& superOptions);
};
