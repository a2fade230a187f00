#pragma once

#include "platform/net/NetInterfaceStatistics.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kernel's table of interface counters, /proc/net/dev: after two header
// lines one line per interface, its name, a colon and sixteen counters, eight
// received (bytes, packets, errs, drop, fifo, frame, compressed, multicast)
// and eight sent (bytes, packets, errs, drop, fifo, colls, carrier,
// compressed). One read gives every interface, where their folders in /sys
// take seven files each. Rows are kept from one parse to the next, so a
// steady refresh allocates nothing.
class NetDeviceTable {
public:
    // False when the text is not such a table; lines that do not read as a
    // row are left out, the others still count.
    bool parse(std::string_view text);
    // None for an interface the table does not list.
    std::optional<NetInterfaceStatistics> find(const QString& name) const;
    std::size_t size() const { return m_size; }
    // The name of the row at the index, below size().
    const std::string& nameAt(std::size_t index) const { return m_rows[index].name; }

private:
    struct Row {
        std::string name;
        NetInterfaceStatistics statistics;
    };
    std::vector<Row> m_rows;
    std::size_t m_size = 0;
};
