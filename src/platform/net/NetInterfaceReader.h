#pragma once

#include "platform/linux/FileDescriptor.h"
#include "platform/linux/KernelFileReader.h"
#include "platform/linux/Sysroot.h"
#include "platform/net/NetDeviceTable.h"
#include "platform/net/NetInterfaceKind.h"
#include "platform/net/NetInterfaceStatistics.h"

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// The network interfaces of /sys/class/net under a sysroot: names, counters,
// kind and link state, read afresh on every call.
class NetInterfaceReader {
public:
    explicit NetInterfaceReader(const QString& sysroot = {});

    const Sysroot& sysroot() const { return m_sysroot; }
    // Whether the folder of the interfaces exists at all.
    bool hasInterfaceFolder() const;
    // Sorted by name (byte order). The names a table of counters lists, when
    // one is given: the interfaces that have counters, without listing the
    // folder on every refresh; else the folder's.
    QStringList interfaceNames(const NetDeviceTable* table = nullptr) const;
    // None when the interface is gone or a counter cannot be read.
    std::optional<NetInterfaceStatistics> statistics(const QString& name) const;
    // The counters of every interface from one read of the kernel's table
    // (/proc/net/dev), valid until the next call: what a refresh of all of
    // them wants. None where the sysroot has no table (a saved tree of /sys
    // alone) or it cannot be read; statistics() then reads each folder.
    const NetDeviceTable* allStatistics() const;
    // One counter of "statistics" (rx_packets, tx_packets, ...).
    std::optional<quint64> counter(const QString& name, const char* file) const;
    NetInterfaceFacts facts(const QString& name) const;
    QString displayName(const QString& name) const { return NetInterfaceKind::displayName(facts(name)); }
    // Link valid (bit 0) when the carrier can be read; link active (bit 1)
    // when the carrier is present and the link is not down.
    quint32 linkStatus(const QString& name) const;
    // The interface index, which a new interface of the same name does not share; empty when gone.
    QString identity(const QString& name) const;
    // The driver's statistics block: input packets, input errors, output
    // packets, output errors and collisions as 32-bit little-endian counters
    // (the low half of the kernel's); empty when the counters cannot be read.
    QByteArray statisticsBlock(const QString& name) const;

private:
    QString path(const QString& name, const QString& file) const;
    FileDescriptor openStatisticsFolder(const QString& name) const;
    // One counter file of an opened "statistics" folder.
    std::optional<quint64> readCounter(int statisticsFolder, const char* file) const;

    Sysroot m_sysroot;
    std::string m_root;
    std::string m_interfaceFolder;
    mutable std::string m_path;
    mutable std::vector<std::string> m_listing;
    mutable std::vector<std::string> m_lastListing;
    mutable QStringList m_names;
    mutable KernelFileReader m_deviceTableReader;
    mutable NetDeviceTable m_deviceTable;
};
