#include "platform/registry/LinuxRegistry.h"

#include "platform/registry/ActivityCounterFiles.h"

#include <algorithm>

namespace {

bool isServicePlane(const QString& plane)
{
    return plane == QLatin1String(Registry::ServicePlane);
}

bool isPowerPlane(const QString& plane)
{
    return plane == QLatin1String(Registry::PowerPlane);
}

QString heldPartition(const auto& node)
{
    return node.detail.section(u'/', 0, 0);
}

QString heldDevice(const auto& node)
{
    return node.detail.section(u'/', 1);
}

} // namespace

LinuxRegistry::LinuxRegistry(const QString& sysroot, const QString& nvmlLibrary)
    : m_sysroot(sysroot)
    , m_devices(m_sysroot)
    , m_media(m_sysroot)
    , m_statisticsFiles(m_sysroot)
    , m_net(m_sysroot.root())
    , m_gpus(m_sysroot, nvmlLibrary.isEmpty() ? QStringLiteral("libnvidia-ml.so.1") : nvmlLibrary)
    , m_pools(m_sysroot)
{
    idFor(Kind::Root, {}, {});
}

Registry::EntryID LinuxRegistry::idFor(Kind kind, const QString& disk, const QString& identity, const QString& detail) const
{
    const QString key = QString::number(static_cast<int>(kind)) + u'|' + disk + u'|' + identity + u'|' + detail;
    const auto known = m_ids.constFind(key);
    if (known != m_ids.cend())
        return *known;
    m_nodes.push_back(Node{kind, disk, identity, detail});
    const EntryID id = static_cast<EntryID>(m_nodes.size());
    m_ids.insert(key, id);
    return id;
}

Registry::EntryID LinuxRegistry::relatedID(Kind kind, const Node& sameDisk, const QString& detail) const
{
    return idFor(kind, sameDisk.disk, sameDisk.identity, detail);
}

bool LinuxRegistry::isPresent(const Node& node) const
{
    switch (node.kind) {
    case Kind::Root: return true;
    case Kind::USBDevice: return m_sysroot.exists(node.detail + QStringLiteral("/idVendor"));
    case Kind::PartitionMedia:
        return m_devices.hasPartition(node.disk, node.detail) && m_devices.identity(node.disk) == node.identity;
    case Kind::HolderScheme:
        return (node.detail.isEmpty() || m_devices.hasPartition(node.disk, node.detail))
            && !m_devices.holders(node.disk, node.detail).isEmpty() && m_devices.identity(node.disk) == node.identity;
    case Kind::HeldMedia:
        return m_devices.holders(node.disk, heldPartition(node)).contains(heldDevice(node))
            && m_devices.identity(node.disk) == node.identity;
    case Kind::NetController:
    case Kind::NetInterface: return !node.identity.isEmpty() && m_net.identity(node.disk) == node.identity;
    case Kind::GpuDevice:
    case Kind::GpuAccelerator: return m_gpus.isPresent(node.disk, node.identity);
    case Kind::PoolScheme:
    case Kind::PoolMedia:
    case Kind::PoolContainer:
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: return isPoolNodePresent(node);
    default: return m_devices.identity(node.disk) == node.identity;
    }
}

const LinuxRegistry::Node* LinuxRegistry::nodeAt(EntryID entry) const
{
    return entry == 0 || entry > m_nodes.size() ? nullptr : &m_nodes[entry - 1];
}

std::optional<LinuxRegistry::Node> LinuxRegistry::liveNode(EntryID entry) const
{
    const Node* node = nodeAt(entry);
    if (!node || !isPresent(*node))
        return std::nullopt;
    return *node;
}

QString LinuxRegistry::name(EntryID entry) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    return node ? nodeName(*node) : QString();
}

QString LinuxRegistry::className(EntryID entry) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    return node ? nodeClassName(*node) : QString();
}

std::optional<QVariantMap> LinuxRegistry::properties(EntryID entry) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    if (!node)
        return std::nullopt;
    QVariantMap properties = nodeProperties(*node);
    properties.insert(QStringLiteral("IOClass"), nodeClassName(*node));
    return properties;
}

std::optional<QVariant> LinuxRegistry::property(EntryID entry, const QString& key) const
{
    std::lock_guard lock(m_mutex);
    const Node* known = nodeAt(entry);
    if (!known)
        return std::nullopt;
    const Node& node = *known;
    if (node.kind == Kind::Driver && key == QLatin1String("Statistics")) {
        const std::optional<DiskStatistics> statistics = m_statisticsFiles.statistics(node.disk, node.identity);
        return statistics ? std::optional<QVariant>(statistics->dictionary()) : std::nullopt;
    }
    if (!isPresent(node))
        return std::nullopt;
    if (node.kind == Kind::GpuAccelerator) {
        if (std::optional<QVariant> sampled = m_gpus.acceleratorProperty(node.disk, key))
            return sampled;
    }
    QVariantMap properties = nodeProperties(node);
    properties.insert(QStringLiteral("IOClass"), nodeClassName(node));
    const auto found = properties.constFind(key);
    return found == properties.cend() ? std::nullopt : std::optional<QVariant>(*found);
}

std::optional<DiskStatistics> LinuxRegistry::diskStatistics(EntryID entry) const
{
    std::lock_guard lock(m_mutex);
    const Node* node = nodeAt(entry);
    if (!node || node->kind != Kind::Driver)
        return std::nullopt;
    return m_statisticsFiles.statistics(node->disk, node->identity);
}

std::unique_ptr<ActivityCounterFiles> LinuxRegistry::activityCounterFiles(EntryID entry) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    if (!node)
        return nullptr;
    if (node->kind == Kind::Driver)
        return ActivityCounterFiles::forDisk(m_sysroot, node->disk);
    if (node->kind == Kind::NetInterface)
        return ActivityCounterFiles::forInterface(m_sysroot, node->disk);
    return nullptr;
}

Registry::EntryID LinuxRegistry::parent(EntryID entry, const QString& plane) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    if (!node)
        return 0;
    if (isServicePlane(plane))
        return serviceParent(*node);
    if (isPowerPlane(plane))
        return powerParent(*node);
    return 0;
}

std::vector<Registry::EntryID> LinuxRegistry::parents(EntryID entry, const QString& plane) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    if (!node || !isServicePlane(plane))
        return {};
    if (node->kind == Kind::PoolScheme)
        return poolNodeParents(*node);
    const EntryID above = serviceParent(*node);
    return above == 0 ? std::vector<EntryID>() : std::vector<EntryID>{above};
}

std::vector<Registry::EntryID> LinuxRegistry::children(EntryID entry, const QString& plane) const
{
    std::lock_guard lock(m_mutex);
    const std::optional<Node> node = liveNode(entry);
    if (!node)
        return {};
    if (isServicePlane(plane))
        return serviceChildren(*node);
    if (isPowerPlane(plane))
        return powerChildren(*node);
    return {};
}

QString LinuxRegistry::nodeName(const Node& node) const
{
    switch (node.kind) {
    case Kind::Root: return QStringLiteral("Root");
    case Kind::USBDevice: return m_devices.usbDeviceName(node.detail);
    case Kind::Device: return m_devices.deviceName(node.disk);
    case Kind::PowerConnection: return QStringLiteral("IOPowerConnection");
    case Kind::Driver: return QStringLiteral("IOBlockStorageDriver");
    case Kind::WholeMedia: return m_media.mediaName(node.disk, {});
    case Kind::PartitionScheme: return m_devices.partitionScheme(node.disk).name;
    case Kind::PartitionMedia: return m_media.mediaName(node.disk, node.detail);
    case Kind::HolderScheme: return QStringLiteral("Holders");
    case Kind::HeldMedia: return m_media.heldMediaName(heldDevice(node));
    case Kind::NetController: return QStringLiteral("IONetworkController");
    case Kind::NetInterface: return node.disk;
    case Kind::GpuDevice: return node.identity;
    case Kind::GpuAccelerator: return m_gpus.acceleratorName(node.disk);
    case Kind::PoolScheme:
    case Kind::PoolMedia:
    case Kind::PoolContainer:
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: return poolNodeName(node);
    }
    return {};
}

QString LinuxRegistry::nodeClassName(const Node& node) const
{
    switch (node.kind) {
    case Kind::Root: return QStringLiteral("IORegistryEntry");
    case Kind::USBDevice: return QStringLiteral("IOUSBHostDevice");
    case Kind::Device: return QStringLiteral("IOBlockStorageDevice");
    case Kind::PowerConnection: return QStringLiteral("IOPowerConnection");
    case Kind::Driver: return QStringLiteral("IOBlockStorageDriver");
    case Kind::WholeMedia:
    case Kind::PartitionMedia:
    case Kind::HeldMedia: return QStringLiteral("IOMedia");
    case Kind::PartitionScheme: return m_devices.partitionScheme(node.disk).className;
    case Kind::HolderScheme: return QStringLiteral("IOMediaHolders");
    case Kind::NetController: return QStringLiteral("IONetworkController");
    case Kind::NetInterface: return QStringLiteral("IONetworkInterface");
    case Kind::GpuDevice: return QStringLiteral("IOPCIDevice");
    case Kind::GpuAccelerator: return QStringLiteral("IOAccelerator");
    case Kind::PoolScheme: return QStringLiteral("StoragePoolScheme");
    case Kind::PoolMedia: return QStringLiteral("IOMedia");
    case Kind::PoolContainer: return QStringLiteral("AppleAPFSContainer");
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: return QStringLiteral("AppleAPFSVolume");
    }
    return {};
}

QVariantMap LinuxRegistry::nodeProperties(const Node& node) const
{
    switch (node.kind) {
    case Kind::USBDevice: return m_devices.usbDeviceProperties(node.detail);
    case Kind::Device: return m_devices.deviceProperties(node.disk);
    case Kind::Driver: return m_devices.driverProperties(node.disk);
    case Kind::WholeMedia:
    case Kind::PartitionMedia: {
        const QString partition = node.kind == Kind::WholeMedia ? QString() : node.detail;
        QVariantMap properties = m_media.mediaProperties(node.disk, partition);
        const QString role = m_pools.memberRole(partition.isEmpty() ? node.disk : partition, m_devices.holders(node.disk, partition));
        if (!role.isEmpty())
            properties.insert(QStringLiteral("TierType"), role);
        return properties;
    }
    case Kind::HeldMedia: return m_media.heldMediaProperties(heldDevice(node));
    case Kind::NetController: return {{QStringLiteral("IOLinkStatus"), qint64(m_net.linkStatus(node.disk))}};
    case Kind::NetInterface: {
        const QVariantMap stats {{QStringLiteral("Data"), m_net.statisticsBlock(node.disk)}};
        return {{QStringLiteral("BSD Name"), node.disk},
            {QStringLiteral("IONetworkData"), QVariantMap {{QStringLiteral("IONetworkStatsKey"), stats}}}};
    }
    case Kind::GpuDevice: return m_gpus.deviceProperties(node.disk);
    case Kind::GpuAccelerator: return m_gpus.acceleratorProperties(node.disk);
    case Kind::PoolScheme:
    case Kind::PoolMedia:
    case Kind::PoolContainer:
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: return poolNodeProperties(node);
    case Kind::Root:
    case Kind::PowerConnection:
    case Kind::PartitionScheme:
    case Kind::HolderScheme: return {};
    }
    return {};
}

Registry::EntryID LinuxRegistry::serviceParent(const Node& node) const
{
    switch (node.kind) {
    case Kind::Root: return 0;
    case Kind::USBDevice: return RootID;
    case Kind::Device: {
        const QString usb = m_devices.usbDevicePath(node.disk);
        return usb.isEmpty() ? RootID : idFor(Kind::USBDevice, {}, {}, usb);
    }
    case Kind::PowerConnection: return 0;
    case Kind::Driver: return relatedID(Kind::Device, node);
    case Kind::WholeMedia: return relatedID(Kind::Driver, node);
    case Kind::PartitionScheme: return relatedID(Kind::WholeMedia, node);
    case Kind::PartitionMedia: return relatedID(Kind::PartitionScheme, node);
    case Kind::HolderScheme:
        return node.detail.isEmpty() ? relatedID(Kind::WholeMedia, node) : relatedID(Kind::PartitionMedia, node, node.detail);
    case Kind::HeldMedia: return relatedID(Kind::HolderScheme, node, heldPartition(node));
    case Kind::NetController: return RootID;
    case Kind::NetInterface: return relatedID(Kind::NetController, node);
    case Kind::GpuDevice: return RootID;
    case Kind::GpuAccelerator: return relatedID(Kind::GpuDevice, node);
    case Kind::PoolScheme:
    case Kind::PoolMedia:
    case Kind::PoolContainer:
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: {
        const std::vector<EntryID> above = poolNodeParents(node);
        return above.empty() ? 0 : above.front();
    }
    }
    return 0;
}

Registry::EntryID LinuxRegistry::powerParent(const Node& node) const
{
    if (node.kind == Kind::GpuDevice || node.kind == Kind::GpuAccelerator || !m_devices.powerManagement(node.disk))
        return 0;
    switch (node.kind) {
    case Kind::Device: return RootID;
    case Kind::PowerConnection: return relatedID(Kind::Device, node);
    case Kind::Driver: return relatedID(Kind::PowerConnection, node);
    default: return 0;
    }
}

std::vector<Registry::EntryID> LinuxRegistry::serviceChildren(const Node& node) const
{
    std::vector<EntryID> below;
    switch (node.kind) {
    case Kind::Root:
    case Kind::USBDevice:
        for (const QString& disk : m_devices.disks()) {
            const QString identity = m_devices.identity(disk);
            const QString usb = m_devices.usbDevicePath(disk);
            const EntryID device = idFor(Kind::Device, disk, identity);
            // Below the root, a USB disk is represented by its USB device,
            // listed once where its first disk appears.
            const EntryID child = node.kind == Kind::USBDevice ? (usb == node.detail ? device : 0)
                : usb.isEmpty()                                 ? device
                                                                : idFor(Kind::USBDevice, {}, {}, usb);
            if (child != 0 && std::find(below.begin(), below.end(), child) == below.end())
                below.push_back(child);
        }
        if (node.kind == Kind::Root) {
            for (const QString& interface : m_net.interfaceNames())
                below.push_back(idFor(Kind::NetController, interface, m_net.identity(interface)));
            for (const GpuReader::Gpu& gpu : m_gpus.gpus())
                below.push_back(idFor(Kind::GpuDevice, gpu.key, gpu.identity));
            for (const StoragePool& pool : m_pools.pools())
                below.push_back(idFor(Kind::PoolScheme, pool.key, {}));
        }
        break;
    case Kind::Device: below.push_back(relatedID(Kind::Driver, node)); break;
    case Kind::Driver: below.push_back(relatedID(Kind::WholeMedia, node)); break;
    case Kind::WholeMedia:
        if (!m_devices.partitions(node.disk).isEmpty())
            below.push_back(relatedID(Kind::PartitionScheme, node));
        else if (!m_devices.holders(node.disk).isEmpty())
            below.push_back(relatedID(Kind::HolderScheme, node));
        break;
    case Kind::PartitionScheme:
        for (const QString& partition : m_devices.partitions(node.disk))
            below.push_back(relatedID(Kind::PartitionMedia, node, partition));
        break;
    case Kind::PartitionMedia:
        if (!m_devices.holders(node.disk, node.detail).isEmpty())
            below.push_back(relatedID(Kind::HolderScheme, node, node.detail));
        break;
    case Kind::HolderScheme:
        for (const QString& holder : m_devices.holders(node.disk, node.detail))
            below.push_back(relatedID(Kind::HeldMedia, node, node.detail + u'/' + holder));
        break;
    case Kind::NetController: below.push_back(relatedID(Kind::NetInterface, node)); break;
    case Kind::GpuDevice: below.push_back(relatedID(Kind::GpuAccelerator, node)); break;
    case Kind::PowerConnection:
    case Kind::HeldMedia:
    case Kind::NetInterface:
    case Kind::GpuAccelerator: break;
    case Kind::PoolScheme:
    case Kind::PoolMedia:
    case Kind::PoolContainer:
    case Kind::PoolVolume:
    case Kind::PoolSnapshot: return poolNodeChildren(node);
    }
    return below;
}

std::vector<Registry::EntryID> LinuxRegistry::powerChildren(const Node& node) const
{
    std::vector<EntryID> below;
    switch (node.kind) {
    case Kind::Root:
        for (const QString& disk : m_devices.disks()) {
            if (m_devices.powerManagement(disk))
                below.push_back(idFor(Kind::Device, disk, m_devices.identity(disk)));
        }
        break;
    case Kind::Device:
        if (m_devices.powerManagement(node.disk))
            below.push_back(relatedID(Kind::PowerConnection, node));
        break;
    case Kind::PowerConnection: below.push_back(relatedID(Kind::Driver, node)); break;
    default: break;
    }
    return below;
}
