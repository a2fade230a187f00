#include "configuration/StoragePoolOverview.h"

#include "instruments/QRNAPFSConfigurationMonitor.h"
#include "platform/log/Log.h"
#include "platform/pools/StoragePoolReader.h"
#include "storage/QRNAPFSContainer.h"
#include "storage/QRNLogicalBSDDisk.h"
#include "support/CDP.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

StoragePoolOverview::StoragePoolOverview(const Sysroot& sysroot, QWidget* parent)
    : QWidget(parent)
    , m_sysroot(sysroot)
{
    auto* layout = new QVBoxLayout(this);
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("storagePoolTree"));
    m_tree->setHeaderLabels({tr("Name"), tr("Role"), tr("Size"), tr("Mounted")});
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->setRootIsDecorated(true);
    layout->addWidget(m_tree);
    m_notice = new QLabel;
    m_notice->setObjectName(QStringLiteral("storagePoolNotice"));
    m_notice->setWordWrap(true);
    layout->addWidget(m_notice);

    for (const char* name : {APFSVolumeWasAddedOrMountChangedNotification, APFSVolumeWasRemovedNotification}) {
        m_observations.push_back(NotificationCenter::defaultCenter().addObserver(
            QLatin1String(name), [this](const QString&, const QVariantMap&) { updateAPFSHierarchy(); }));
    }
    updateAPFSHierarchy();
}

StoragePoolOverview::~StoragePoolOverview()
{
    for (const NotificationCenter::Token token : m_observations)
        NotificationCenter::defaultCenter().removeObserver(token);
}

void StoragePoolOverview::updateAPFSHierarchy()
{
    const std::vector<PoolFileSystem> mounted = StoragePoolReader::mountedFileSystems(m_sysroot);
    std::vector<QRNAPFSLogicalNode::Pointer> nodes;
    bool complete = true;
    for (const auto& container : QRNAPFSContainer::allContainers()) {
        if (auto node = QRNAPFSLogicalNode::initWithAPFSContainer(*container, mounted)) {
            Log::debug("%{public}@%{public}@", {container->description(), node->description()});
            nodes.push_back(std::move(node));
            complete = complete && container->isVolumeListComplete();
        }
    }
    m_nodes = std::move(nodes);

    m_tree->clear();
    for (const auto& node : m_nodes)
        addNode(*node, nullptr);
    m_tree->expandAll();
    if (m_nodes.empty())
        m_notice->setText(tr("This computer has no storage pools (btrfs file systems or LVM volume groups)."));
    else if (!complete)
        m_notice->setText(tr("Only mounted subvolumes are shown: listing every subvolume of a btrfs file system needs administrator rights."));
    else
        m_notice->clear();
    Q_EMIT hierarchyChanged();
}

QString StoragePoolOverview::notice() const
{
    return m_notice->text();
}

void StoragePoolOverview::addNode(const QRNAPFSLogicalNode& node, QTreeWidgetItem* parent)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(NameColumn, node.localizedObjectHeadline());
    item->setToolTip(NameColumn, node.localizedSuccinctObjectDescription());
    item->setText(RoleColumn, node.roleName());
    item->setText(SizeColumn, CDP::displayTextForMemorySize(node.size()));
    item->setToolTip(SizeColumn, node.localizedSizeDescription());
    if (node.type() == QRNAPFSLogicalNode::Volume) {
        if (const std::optional<PoolFileSystem>& fileSystem = node.activeFileSystem()) {
            item->setText(MountColumn, tr("%1 (%2 free)").arg(fileSystem->mountPoint, CDP::displayTextForMemorySize(fileSystem->freeBytes)));
            item->setToolTip(MountColumn, QRNAPFSLogicalNode::descriptionForAPFSFileSystem(*fileSystem).trimmed());
        } else {
            item->setText(MountColumn, tr("not mounted"));
        }
    }
    for (const auto& child : node.children())
        addNode(*child, item);
}
