#pragma once

#include "platform/registry/BlockDeviceFacts.h"
#include "platform/linux/Sysroot.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// What sysfs and udev say about the disks in <root>/sys/block and the
// hardware they hang on: the facts behind the Linux registry's device,
// driver and USB entries. Every call reads the files again.
class BlockDeviceReader {
public:
    explicit BlockDeviceReader(const Sysroot& sysroot);

    // Whole disks in natural order, and a disk's partitions in natural order.
    QStringList disks() const;
    QStringList partitions(const QString& disk) const;
    // What tells this disk from a later one of the same name: its diskseq
    // (kernels since 5.15), else its device number; empty when it is gone.
    QString identity(const QString& disk) const;
    bool hasPartition(const QString& disk, const QString& partition) const;
    // The block devices made from the disk or one of its partitions (device
    // mapper, RAID), in natural order.
    QStringList holders(const QString& disk, const QString& partition = {}) const;
    // The udev properties of the disk or of one of its partitions.
    QHash<QString, QString> udevProperties(const QString& disk, const QString& partition = {}) const;

    // The name of the device directory the disk hangs on ("0:0:0:0", "nvme0"),
    // or the disk's own name for kernel-made disks.
    QString deviceName(const QString& disk) const;
    // "Device Characteristics", "Protocol Characteristics" and, with runtime
    // power management, "IOPowerManagement".
    QVariantMap deviceProperties(const QString& disk) const;
    QVariantMap deviceCharacteristics(const QString& disk) const;
    // "Statistics" from the stat file, "CFBundleIdentifier" and, with runtime
    // power management, "IOPowerManagement".
    QVariantMap driverProperties(const QString& disk) const;
    std::optional<QVariantMap> powerManagement(const QString& disk) const;
    BlockDeviceFacts::PartitionScheme partitionScheme(const QString& disk) const;

    // The sysfs directory of the USB device the disk is attached through
    // ("sys/devices/.../usb2/2-1"); empty for other disks.
    QString usbDevicePath(const QString& disk) const;
    QString usbDeviceName(const QString& usbPath) const;
    // "kUSBSerialNumberString", "USB Product Name", "USB Vendor Name",
    // "idVendor", "idProduct" where the device reports them.
    QVariantMap usbDeviceProperties(const QString& usbPath) const;

private:
    QString firstText(const QStringList& relatives) const;

    Sysroot m_sysroot;
};
