#include "platform/mounts/VolumeNames.h"

#include "platform/linux/Sysroot.h"
#include "platform/mounts/MountInfo.h"
#include "platform/registry/UdevDatabase.h"

QString VolumeNames::lastComponent(const QString& path)
{
    const QString last = path.section(u'/', -1, -1, QString::SectionSkipEmpty);
    return last.isEmpty() ? path : last;
}

QString VolumeNames::nameOf(const Sysroot& sysroot, const MountEntry& mount)
{
    // Pseudo file systems have anonymous numbers (major 0) that udev never records.
    if (mount.major != 0) {
        const QString label = UdevDatabase::text(
            UdevDatabase::forBlockDevice(sysroot, QStringLiteral("%1:%2").arg(mount.major).arg(mount.minor)),
            QStringLiteral("ID_FS_LABEL"));
        if (!label.isEmpty())
            return label;
    }
    if (mount.source.startsWith(QLatin1String("/dev/"))) {
        const QString source = sysroot.resolved(mount.source.mid(1));
        const QString folder = QStringLiteral("dev/disk/by-label");
        for (const QString& link : sysroot.entries(folder)) {
            if (!source.isEmpty() && sysroot.resolved(folder + u'/' + link) == source)
                return UdevDatabase::decoded(link);
        }
    }
    return lastComponent(mount.mountPoint);
}
