#pragma once

#include "storage/QRNLogicalBSDDisk.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class QRNIORegistryEntry;

// One physical disk: a block-storage driver of the registry that is not a
// virtual interface, named by its disk identification (product name and
// serial number), with the tree of its partitions and volumes. Built afresh
// whenever asked: the disks attached now.
class QRNPhysicalDisk {
public:
    using List = std::vector<std::shared_ptr<QRNPhysicalDisk>>;

    // One disk per "IOBlockStorageDriver" in registry order, skipping virtual
    // and unidentifiable ones.
    static List allAttachedDisks();
    // The first attached disk with that identification; none for an empty one.
    static std::shared_ptr<QRNPhysicalDisk> diskWithIdentification(const QString& identification);
    // The readable name of the driver's disk: "<name> (<serial>)", or the name
    // alone without a serial or with serial privacy on; empty when the disk
    // cannot be named. USB disks are named by vendor and product.
    static QString diskIdentificationForBlockStorageDeviceEntry(const QRNIORegistryEntry& driverEntry);
    // Serials of 23 characters or more keep their start and end around an ellipsis.
    static QString shortenedSerialNumber(const QString& serial);
    static bool isVirtualDiskAtBlockStorageDeviceEntry(const QRNIORegistryEntry& driverEntry);
    // Device name of the whole disk (sda, loop0) → identification, for every
    // block-storage driver that has both, virtual disks included: what the
    // equipment monitor announces.
    static QHash<QString, QString> identificationsByBSDName();
    static void setSerialNumberPrivacyEnabled(bool enabled);
    static bool isSerialNumberPrivacyEnabled();

    // None for virtual disks and for disks without identification.
    static std::shared_ptr<QRNPhysicalDisk> initForBlockStorageDeviceEntry(std::shared_ptr<QRNIORegistryEntry> driverEntry);

    const QString& identification() const { return m_identification; }
    const std::shared_ptr<QRNLogicalBSDDisk>& logicalBSDDiskHierarchy() const { return m_hierarchy; }
    const std::shared_ptr<QRNIORegistryEntry>& blockStorageDevice() const { return m_blockStorageDevice; }

    quint64 size() const;
    bool isInUse() const;
    static bool isAnyDiskInUseInHierarchySubtree(const QRNLogicalBSDDisk* node);
    // The names of every node below the whole disk, depth first, joined with
    // ", "; none without a whole disk. count receives how many there are.
    std::optional<QString> volumeListDescriptionGettingCount(int* count = nullptr) const;
    static void collectPresentedNamesWithoutRootOfHierarchySubtree(const QRNLogicalBSDDisk& node, QStringList& names);

    QString description() const;
    QString className() const { return QStringLiteral("QRNPhysicalDisk"); }

private:
    QRNPhysicalDisk() = default;

    QString m_identification;
    std::shared_ptr<QRNLogicalBSDDisk> m_hierarchy;
    std::shared_ptr<QRNIORegistryEntry> m_blockStorageDevice;
};
