#include "platform/net/NetDeviceTable.h"

#include "platform/linux/DecimalFields.h"

#include <QAnyStringView>

#include <array>

namespace {

constexpr std::size_t CounterCount = 16;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The sixteen counters after the colon; none unless there are exactly that many.
std::optional<std::array<quint64, CounterCount>> counters(std::string_view text)
{
    std::array<quint64, CounterCount> values {};
    if (!DecimalFields::readExactly(text, values))
        return std::nullopt;
    return values;
}

} // namespace

bool NetDeviceTable::parse(std::string_view text)
{
    m_size = 0;
    // "Inter-|   Receive ..." and " face |bytes    packets ..." head the table.
    if (!text.starts_with("Inter-|"))
        return false;
    bool header = true;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        if (header) {
            header = !line.starts_with(" face |");
            continue;
        }
        // Names hold neither blanks nor colons, so the first colon ends one.
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view name = line.substr(0, colon);
        while (!name.empty() && isBlank(name.front()))
            name.remove_prefix(1);
        const std::optional<std::array<quint64, CounterCount>> values = counters(line.substr(colon + 1));
        if (name.empty() || !values)
            continue;
        if (m_size == m_rows.size())
            m_rows.emplace_back();
        Row& row = m_rows[m_size++];
        row.name.assign(name);
        const auto& v = *values;
        row.statistics = NetInterfaceStatistics {v[1], v[2], v[0], v[9], v[10], v[8], v[13]};
    }
    return !header;
}

std::optional<NetInterfaceStatistics> NetDeviceTable::find(const QString& name) const
{
    for (std::size_t i = 0; i < m_size; ++i) {
        if (QAnyStringView::equal(QUtf8StringView(m_rows[i].name), name))
            return m_rows[i].statistics;
    }
    return std::nullopt;
}
