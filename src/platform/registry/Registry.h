#pragma once

#include "platform/registry/DiskStatistics.h"

#include <QString>
#include <QVariantMap>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class ActivityCounterFiles;

// The device registry: a tree of entries, each with a name, a class ("IOClass")
// and a property dictionary, linked in two planes: "IOService" (who provides
// for whom) and "IOPower" (who powers whom). Entries are named by ids that
// stay valid for the life of the provider and are never reused; 0 is none.
// An entry that went away (a detached disk) answers no properties, no name,
// no parent and no children.
class Registry {
public:
    using EntryID = quint32;

    static constexpr const char* ServicePlane = "IOService";
    static constexpr const char* PowerPlane = "IOPower";

    virtual ~Registry() = default;

    virtual EntryID root() const = 0;
    virtual QString name(EntryID entry) const = 0;
    virtual QString className(EntryID entry) const = 0;
    // A fresh copy on every call: live values (statistics, open state) are
    // read again, so two reads of the same entry may differ. Contains "IOClass".
    virtual std::optional<QVariantMap> properties(EntryID entry) const = 0;
    // One property, read afresh; none when the entry or the key is missing.
    // Providers answer the values read on every tick without building the
    // whole dictionary.
    virtual std::optional<QVariant> property(EntryID entry, const QString& key) const;
    // A disk driver entry's "Statistics" as numbers, read afresh; none when
    // the entry has none. Taken from the dictionary unless the provider reads
    // them more directly.
    virtual std::optional<DiskStatistics> diskStatistics(EntryID entry) const;
    // The kept-open counter files of a disk driver or network interface entry,
    // for the activity lamps; none where the provider has no such files
    // (fixtures), and the entry's properties are read instead.
    virtual std::unique_ptr<ActivityCounterFiles> activityCounterFiles(EntryID entry) const;
    virtual EntryID parent(EntryID entry, const QString& plane) const = 0;
    // Every parent in the plane, the one parent() answers first: an entry
    // made from several others (a pool on two disks) has more than one.
    virtual std::vector<EntryID> parents(EntryID entry, const QString& plane) const;
    virtual std::vector<EntryID> children(EntryID entry, const QString& plane) const = 0;

    // Every entry of the "IOService" plane, root first, each entry before its
    // children, children in order: the registry's iteration order.
    std::vector<EntryID> serviceEntries() const;
    // The entries of serviceEntries() whose class is exactly className.
    std::vector<EntryID> servicesOfClass(const QString& className) const;
    // "/" is the root; "/A/B" is child B of child A of the root, by name,
    // the first child of that name at each step. 0 when nothing is there.
    EntryID entryAtPath(const QString& plane, const QString& path) const;

    // The registry the whole process reads. Until one is installed (and after
    // installing none), the Linux provider over VISTREL_SYSROOT (or "/").
    static Registry& shared();
    static void setShared(std::unique_ptr<Registry> registry);
};
