#pragma once

#include "platform/registry/BlockDeviceReader.h"
#include "platform/registry/BlockMediaReader.h"
#include "platform/registry/GpuReader.h"
#include "platform/registry/KeptDiskFiles.h"
#include "platform/net/NetInterfaceReader.h"
#include "platform/pools/StoragePoolReader.h"
#include "platform/registry/Registry.h"

#include <QHash>

#include <mutex>

// The registry of a Linux machine, built from sysfs, udev's database and the
// mount table under a sysroot. The "IOService" plane:
//
//   Root (IORegistryEntry)
//     [IOUSBHostDevice]          only for disks attached through USB
//       IOBlockStorageDevice     "Device Characteristics", "Protocol Characteristics"
//         IOBlockStorageDriver   "Statistics"
//           IOMedia              the whole disk
//             IO…PartitionScheme only when the disk has partitions
//               IOMedia          one per partition
//                 IOMediaHolders only when the partition is held
//                   IOMedia      one per device made from it (LVM, RAID)
//             IOMediaHolders     a whole disk without partitions that is held
//
// and, for disks whose device does runtime power management, the "IOPower"
// plane Root → IOBlockStorageDevice → IOPowerConnection → IOBlockStorageDriver,
// both ends carrying "IOPowerManagement". Each network interface of
// /sys/class/net is an IONetworkController ("IOLinkStatus") below the root
// with its IONetworkInterface ("BSD Name", "IONetworkData"). Each graphics
// processor is an IOPCIDevice below the root with its IOAccelerator (GpuReader).
// Each storage pool (a btrfs, an LVM volume group) hangs below the root as
//
//   StoragePoolScheme            its parents: the media of the pool's devices
//     IOMedia                    the pool as a whole
//       AppleAPFSContainer       "UUID", "Pool Kind", "Volume List Complete"
//         AppleAPFSVolume        one per subvolume or logical volume, "UUID", "Role"
//           AppleAPFSVolume      one per read-only snapshot of it
//
// The devices' media do not list the scheme among their children, so each
// disk's own tree stays what it was.
// The tree follows /sys/block and /sys/class/net as they are when asked;
// properties are read from the files on every call.
class LinuxRegistry : public Registry {
public:
    // nvmlLibrary: the NVIDIA management library's file name or path; empty
    // for the one the dynamic loader finds.
    explicit LinuxRegistry(const QString& sysroot = {}, const QString& nvmlLibrary = {});

    EntryID root() const override { return RootID; }
    QString name(EntryID entry) const override;
    QString className(EntryID entry) const override;
    std::optional<QVariantMap> properties(EntryID entry) const override;
    // A driver's "Statistics" come from its kept stat file alone.
    std::optional<QVariant> property(EntryID entry, const QString& key) const override;
    std::optional<DiskStatistics> diskStatistics(EntryID entry) const override;
    // A driver's stat and power files, an interface's packet counters.
    std::unique_ptr<ActivityCounterFiles> activityCounterFiles(EntryID entry) const override;
    // Tests give the subvolumes of their fixture file systems.
    void setBtrfsSource(BtrfsPools::Source source) { m_pools.setBtrfsSource(std::move(source)); }
    EntryID parent(EntryID entry, const QString& plane) const override;
    std::vector<EntryID> parents(EntryID entry, const QString& plane) const override;
    std::vector<EntryID> children(EntryID entry, const QString& plane) const override;

private:
    enum class Kind { Root, USBDevice, Device, PowerConnection, Driver, WholeMedia, PartitionScheme, PartitionMedia, HolderScheme, HeldMedia,
        NetController, NetInterface, GpuDevice, GpuAccelerator, PoolScheme, PoolMedia, PoolContainer, PoolVolume, PoolSnapshot };
    // A disk's entries carry the identity the disk had when they were made,
    // so a different disk that later takes the same name gets new entries and
    // the old ones read as gone.
    struct Node {
        Kind kind = Kind::Root;
        QString disk;
        QString identity;
        // The partition; the USB device's sysfs path; for a holder scheme the
        // held partition (empty: the whole disk); for held media
        // "<partition>/<holder>".
        QString detail;
    };
    static constexpr EntryID RootID = 1;

    EntryID idFor(Kind kind, const QString& disk, const QString& identity, const QString& detail = {}) const;
    // The entry of another kind for the same disk (and identity) as node.
    EntryID relatedID(Kind kind, const Node& sameDisk, const QString& detail = {}) const;
    // The node of an entry, present or not; null for an unknown entry.
    const Node* nodeAt(EntryID entry) const;
    std::optional<Node> liveNode(EntryID entry) const;
    bool isPresent(const Node& node) const;
    QVariantMap nodeProperties(const Node& node) const;
    QString nodeName(const Node& node) const;
    QString nodeClassName(const Node& node) const;
    EntryID serviceParent(const Node& node) const;
    EntryID powerParent(const Node& node) const;
    std::vector<EntryID> serviceChildren(const Node& node) const;
    std::vector<EntryID> powerChildren(const Node& node) const;
    // The pool entries (node.disk: the pool's key; node.detail: the volume's).
    bool isPoolNodePresent(const Node& node) const;
    QString poolNodeName(const Node& node) const;
    QVariantMap poolNodeProperties(const Node& node) const;
    std::vector<EntryID> poolNodeParents(const Node& node) const;
    std::vector<EntryID> poolNodeChildren(const Node& node) const;
    // The media entry of a whole disk or partition by its device name; 0 for none.
    EntryID mediaNamed(const QString& device) const;

    Sysroot m_sysroot;
    BlockDeviceReader m_devices;
    BlockMediaReader m_media;
    mutable KeptDiskFiles m_statisticsFiles;
    NetInterfaceReader m_net;
    mutable GpuReader m_gpus;
    StoragePoolReader m_pools;
    mutable std::mutex m_mutex; // guards the node table; held by every public call
    mutable std::vector<Node> m_nodes; // index = id - 1
    mutable QHash<QString, EntryID> m_ids;
};
