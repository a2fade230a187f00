#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

#include <optional>

// How the Linux registry interprets what sysfs and udev say about a block
// device. Pure functions on names, paths and file contents.
namespace BlockDeviceFacts {

struct Interconnect {
    QString physical; // "Physical Interconnect": "USB", "SATA", "NVMe", "Virtual Interface", ...
    QString location; // "Physical Interconnect Location": "Internal" or "External"
};

// Judged from the device's sysfs path with links resolved, for example
// "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb".
Interconnect interconnectForDevicePath(const QString& path);

// The unit number of a whole disk: the letters of sda, vdb, xvdc counted from
// a = 0 (z = 25, aa = 26), otherwise the first number in the name
// (nvme1n1 → 1, mmcblk0 → 0, loop7 → 7); 0 when there is none.
int unitForDiskName(const QString& disk);

// The serial number within a world-wide id: a T10 id ("t10.ATA     <model> <serial>")
// ends with it; other forms (eui., naa., nvme.) are opaque and serve whole.
QString serialFromWorldWideID(const QString& wwid);

// A product name for disks whose driver reports no model (VirtIO, loop, zram,
// RAID and other kernel-made disks); empty for names it does not know.
QString fallbackProductName(const QString& disk);

// The "IOPowerManagement" dictionary for a runtime-PM status ("active",
// "suspended", ...): power state 1 while suspended, 2 otherwise, of 2. None
// when the device does not do runtime power management ("unsupported", "error").
std::optional<QVariantMap> powerManagementForRuntimeStatus(const QString& status);

struct PartitionScheme {
    QString name;
    QString className;
};
// From udev's ID_PART_TABLE_TYPE: "gpt", "dos", or anything else.
PartitionScheme partitionSchemeForTableType(const QString& tableType);

// The media "UUID" from udev: a partition's entry UUID, a partitioned disk's
// table UUID, else the file system's UUID; upper case, and only when it is a
// well-formed UUID (DOS disk identifiers are not).
std::optional<QString> mediaUUID(const QHash<QString, QString>& udev, bool isPartition, bool hasPartitions);

// Orders names as people read them: loop2 before loop10, sda before sdb.
bool naturalLess(const QString& a, const QString& b);

} // namespace BlockDeviceFacts
