#pragma once

#include <QString>

class Sysroot;
struct MountEntry;

// The name a user knows a mounted volume by: the file-system label as udev
// recorded it, else the /dev/disk/by-label link that leads to the mount's
// source, else the last component of the mount point ("/" for the root).
class VolumeNames {
public:
    static QString nameOf(const Sysroot& sysroot, const MountEntry& mount);
    // The last component of a path, or the path itself when it has none.
    static QString lastComponent(const QString& path);
};
