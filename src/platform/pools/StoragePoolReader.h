#pragma once

#include "platform/linux/Sysroot.h"
#include "platform/pools/BtrfsPools.h"
#include "platform/pools/StoragePool.h"

#include <QElapsedTimer>

#include <mutex>

// The storage pools of the machine under a sysroot: btrfs file systems first,
// then LVM volume groups. A reading is kept for a moment, since one look at
// the registry's pool entries asks for the same pools many times over.
class StoragePoolReader {
public:
    // How long a reading is reused; a change monitor waits longer than this
    // before it reads again.
    static constexpr int ReuseMilliseconds = 50;

    explicit StoragePoolReader(const Sysroot& sysroot);

    // Tests give the subvolumes of their fixture file systems.
    void setBtrfsSource(BtrfsPools::Source source);

    std::vector<StoragePool> pools() const;
    // The pool with that key; none when it is gone.
    std::optional<StoragePool> pool(const QString& key) const;

    // What a device is to the pool it belongs to ("btrfs device", "LVM
    // physical volume"), or empty. Reads only the few sysfs entries that
    // tell, since every look at a disk's media asks.
    QString memberRole(const QString& device, const QStringList& holders) const;

    // Every mounted pool volume with its free space. Needs only the mount
    // table, not the right to list subvolumes.
    static std::vector<PoolFileSystem> mountedFileSystems(const Sysroot& sysroot = Sysroot());

private:
    Sysroot m_sysroot;
    BtrfsPools::Source m_source;
    mutable std::mutex m_mutex;
    mutable std::vector<StoragePool> m_pools;
    mutable QElapsedTimer m_age;
};
