#include "platform/mounts/VolumeChoices.h"

#include <QSet>

#include <algorithm>

namespace {

bool isUnder(const QString& path, QLatin1String folder)
{
    return path == folder || path.startsWith(folder + u'/');
}

bool isPseudoType(const QString& type)
{
    static const QSet<QString> types = {"proc", "sysfs", "cgroup", "cgroup2", "devtmpfs", "devpts", "mqueue",
        "securityfs", "debugfs", "tracefs", "pstore", "bpf", "hugetlbfs", "configfs", "fusectl", "binfmt_misc",
        "autofs", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "ramfs", "squashfs", "nfsd"};
    return types.contains(type);
}

bool isNetworkType(const QString& type)
{
    static const QSet<QString> types = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs"};
    return types.contains(type) || type.startsWith(QLatin1String("fuse"));
}

} // namespace

bool VolumeChoices::isOffered(const MountEntry& mount)
{
    const QString& point = mount.mountPoint;
    if (isPseudoType(mount.fileSystemType) || isNetworkType(mount.fileSystemType) || mount.root != QLatin1String("/"))
        return false;
    // Removable media appear under /run/media; the rest of /run is runtime state.
    if (isUnder(point, QLatin1String("/run")) && !isUnder(point, QLatin1String("/run/media")))
        return false;
    if (isUnder(point, QLatin1String("/proc")) || isUnder(point, QLatin1String("/sys")) || isUnder(point, QLatin1String("/dev")))
        return false;
    // The root of a container is an overlay; other overlays are container layers.
    return mount.fileSystemType != QLatin1String("overlay") || point == QLatin1String("/");
}

std::vector<const MountEntry*> VolumeChoices::offered(const std::vector<MountEntry>& mounts)
{
    std::vector<const MountEntry*> result;
    QSet<quint64> devices;
    for (const MountEntry& mount : mounts) {
        const quint64 device = (quint64(mount.major) << 32) | mount.minor;
        if (!isOffered(mount) || devices.contains(device))
            continue;
        devices.insert(device);
        // Of two mounts on one point only the later one can be seen.
        auto same = std::find_if(result.begin(), result.end(), [&](const MountEntry* m) { return m->mountPoint == mount.mountPoint; });
        if (same != result.end())
            *same = &mount;
        else
            result.push_back(&mount);
    }
    return result;
}
