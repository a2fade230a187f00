#pragma once

#include "platform/registry/BlockDeviceReader.h"
#include "platform/linux/Sysroot.h"

#include <QString>
#include <QVariantMap>

// The media entries of the Linux registry: a whole disk (partition empty) or
// one of its partitions, with "BSD Name", "BSD Major", "BSD Minor", "BSD Unit",
// "Open", "Writable", "Leaf", "Whole", "Removable", "Size" and, where udev
// knows it, "UUID". Every call reads the files again.
class BlockMediaReader {
public:
    explicit BlockMediaReader(const Sysroot& sysroot);

    // A partition's GPT name or file-system label, else its device name; a
    // whole disk is "<product> Media".
    QString mediaName(const QString& disk, const QString& partition) const;
    QVariantMap mediaProperties(const QString& disk, const QString& partition) const;
    // A volume made from a disk or partition (a device-mapper or RAID device)
    // as it shows below that medium: named after its mapping, a leaf.
    QString heldMediaName(const QString& holder) const;
    QVariantMap heldMediaProperties(const QString& holder) const;

private:
    // Mounted, used as swap, or held by another block device (device mapper, RAID).
    bool isOpen(const QString& directory, const QString& majorMinor, const QStringList& names) const;

    Sysroot m_sysroot;
    BlockDeviceReader m_devices;
};
