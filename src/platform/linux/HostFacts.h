#pragma once

#include <QString>

#include <optional>

#include "platform/linux/Sysroot.h"

// The machine facts the other platform answers through sysctl, read from
// /proc and /sys under a sysroot. Each answers none when its source is
// missing or unreadable.
class HostFacts {
public:
    explicit HostFacts(const QString& sysroot = {});

    // Logical processors online: the "cpuN" lines of /proc/stat.
    std::optional<quint32> availableProcessors() const;
    // Cores: distinct (physical_package_id, core_id) pairs of
    // /sys/devices/system/cpu/cpuN/topology; none without topology.
    std::optional<quint32> physicalProcessors() const;
    // Seconds since the epoch at boot: "btime" of /proc/stat.
    std::optional<qint64> bootTime() const;
    // Numeric entries of /proc, one per process.
    std::optional<quint64> processCount() const;

private:
    Sysroot m_sysroot;
};
