#pragma once

#include "platform/registry/Registry.h"

#include <QHash>

// A registry held in memory, loaded from a property list. The file's root is
// the registry's root entry; every entry is a dictionary:
//
//   name        string, required: the entry's name in the registry
//   class       string, required: its "IOClass" (also put into its properties)
//   properties  dictionary, optional: the property dictionary
//   children    array of entries, optional: its children in the "IOService" plane
//   label       string, optional: a name unique in the file, for "power" and for
//               tests that want to find the entry
//   power       array of labels, optional: its children in the "IOPower" plane
//
// Ids are given in file order, depth first, root = 1. Tests change the tree
// through setProperty and removeEntry.
class FixtureRegistry : public Registry {
public:
    // None (logged) when the file cannot be read or an entry breaks the format.
    static std::unique_ptr<FixtureRegistry> fromFile(const QString& path);
    static std::unique_ptr<FixtureRegistry> fromPropertyList(const QVariant& root);

    EntryID root() const override { return 1; }
    QString name(EntryID entry) const override;
    QString className(EntryID entry) const override;
    std::optional<QVariantMap> properties(EntryID entry) const override;
    EntryID parent(EntryID entry, const QString& plane) const override;
    std::vector<EntryID> children(EntryID entry, const QString& plane) const override;

    EntryID entryLabelled(const QString& label) const { return m_labels.value(label); }
    // False when the entry is unknown or gone.
    bool setProperty(EntryID entry, const QString& key, const QVariant& value);
    // The entry and everything below it in the "IOService" plane go away.
    void removeEntry(EntryID entry);

private:
    struct Entry {
        QString name;
        QVariantMap properties;
        EntryID serviceParent = 0;
        std::vector<EntryID> serviceChildren;
        EntryID powerParent = 0;
        std::vector<EntryID> powerChildren;
        bool present = true;
    };

    FixtureRegistry() = default;
    EntryID addEntry(const QVariantMap& description, EntryID parent);
    bool linkPowerPlane();
    const Entry* live(EntryID entry) const;

    std::vector<Entry> m_entries; // index = id - 1
    QHash<QString, EntryID> m_labels;
    QHash<EntryID, QStringList> m_powerLabels;
};
