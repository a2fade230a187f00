#pragma once

#include <QString>
#include <QUuid>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class QRNIORegistryEntry;

// One media entry with a device name (a whole disk, a partition, a volume on
// top of a partition) and the media below it. The shape of the tree is taken
// when it is built; whether a node is open, writable and how big it is are
// read from the registry on every call.
class QRNLogicalBSDDisk {
public:
    using Children = std::vector<std::shared_ptr<QRNLogicalBSDDisk>>;

    // None unless the entry has a text "BSD Name" and numbers "BSD Unit",
    // "BSD Major", "BSD Minor", "Size" and Booleans "Open", "Writable", "Leaf".
    static std::shared_ptr<QRNLogicalBSDDisk> initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry);
    // The text before the last "@", or the whole text without one.
    static QString presentedNameFromRegistryName(const QString& registryName);

    const QString& name() const { return m_name; }
    const std::optional<QUuid>& uuid() const { return m_uuid; }
    bool isSnapshot() const { return m_isSnapshot; }
    // The first direct child with that UUID, or null.
    std::shared_ptr<QRNLogicalBSDDisk> childWithUUID(const QUuid& uuid) const;
    const QString& presentedName() const { return m_presentedName; }
    void setIsSnapshot(bool snapshot) { m_isSnapshot = snapshot; }
    const Children& children() const { return m_children; }
    const std::shared_ptr<QRNIORegistryEntry>& serviceEntry() const { return m_serviceEntry; }

    bool isInUse() const;
    bool isWritable() const;
    quint64 size() const;
    bool isLeaf() const { return m_children.empty(); }
    std::optional<QString> registryName() const;

    // One line per node, indented by one tab per level, the children below.
    QString descriptionAtHierarchyLevel(int level) const;
    QString description() const { return descriptionAtHierarchyLevel(0); }
    QString className() const { return QStringLiteral("QRNLogicalBSDDisk"); }

private:
    explicit QRNLogicalBSDDisk(std::shared_ptr<QRNIORegistryEntry> entry);

    std::shared_ptr<QRNIORegistryEntry> m_serviceEntry;
    QString m_name;
    std::optional<QUuid> m_uuid;
    QString m_presentedName;
    bool m_isSealed = false;
    bool m_isSnapshot = false;
    Children m_children;
};
