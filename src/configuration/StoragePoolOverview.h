#pragma once

#include "platform/linux/Sysroot.h"
#include "platform/notifications/NotificationCenter.h"
#include "storage/QRNAPFSLogicalNode.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// How the machine's storage pools are organised: each pool, the disks it is
// stored on, its volumes and their snapshots, each volume with its mount.
// Rebuilt whenever a pool's volume comes, goes or is mounted elsewhere.
class StoragePoolOverview : public QWidget {
    Q_OBJECT
public:
    enum Column { NameColumn, RoleColumn, SizeColumn, MountColumn };

    // Free space is read from the mounts under the sysroot.
    explicit StoragePoolOverview(const Sysroot& sysroot, QWidget* parent = nullptr);
    ~StoragePoolOverview() override;

    void updateAPFSHierarchy();
    const std::vector<QRNAPFSLogicalNode::Pointer>& apfsHierarchyNodes() const { return m_nodes; }
    QTreeWidget* tree() const { return m_tree; }
    // Empty, or why the overview may show less than there is.
    QString notice() const;

Q_SIGNALS:
    void hierarchyChanged();

private:
    void addNode(const QRNAPFSLogicalNode& node, QTreeWidgetItem* parent);

    Sysroot m_sysroot;
    std::vector<QRNAPFSLogicalNode::Pointer> m_nodes;
    QTreeWidget* m_tree = nullptr; // children of this widget
    QLabel* m_notice = nullptr;
    std::vector<NotificationCenter::Token> m_observations;
};
