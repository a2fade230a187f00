#pragma once

#include "platform/pools/StoragePool.h"

#include <optional>

class Sysroot;
struct MountEntry;

// The LVM volume groups whose logical volumes are active, from the
// device-mapper devices of /sys/block (dm/name, dm/uuid, slaves/). A
// snapshot shows as three devices: the snapshot itself, its "-cow" store and
// the origin's "-real" device; only the snapshot and the origin are volumes.
class LvmPools {
public:
    // What a device-mapper UUID ("LVM-<32 letters group><32 letters volume>[-suffix]")
    // tells; none for a device LVM did not make.
    struct DeviceIdentity {
        QString groupKey;
        QString volumeKey;
        // "cow", "real", "tpool" …; empty for a logical volume itself.
        QString suffix;
    };
    static std::optional<DeviceIdentity> identityOf(const QString& deviceMapperUUID);
    // The group and volume names of a mapping name: "vg--a-lv" → "vg-a", "lv"
    // (LVM doubles the hyphens inside names). None without a separating hyphen.
    static std::optional<std::pair<QString, QString>> namesOf(const QString& mappingName);

    static std::vector<StoragePool> scan(const Sysroot& sysroot, const std::vector<MountEntry>& mounts);
};
