#pragma once

#include "platform/mounts/MountInfo.h"

#include <vector>

// Which mounts a user is offered as volumes to watch: local file systems
// that hold files, once per file system. Kernel and pseudo file systems
// (proc, sysfs, cgroup, devtmpfs, …), runtime tmpfs under /run, /dev and
// /sys, the overlay layers of containers, network and FUSE file systems,
// and bind mounts of a subfolder or of a file system already listed are left
// out. A user may still choose any of those paths by hand.
class VolumeChoices {
public:
    static bool isOffered(const MountEntry& mount);
    // The offered mounts in table order: the first mount of each file
    // system, and of mounts on the same point the one on top.
    static std::vector<const MountEntry*> offered(const std::vector<MountEntry>& mounts);
};
