#include "configuration/ActivityDeviceList.h"

#include "items/ActivitySettingNames.h"

#include <QVariantMap>

#include <algorithm>

void ActivityDeviceList::recreate(const QVariantList& stored, const std::vector<Device>& present, const DisplayName& displayName)
{
    m_rows.clear();
    std::vector<Device> remaining = present;
    for (const QVariant& entry : stored) {
        const QVariantMap map = entry.toMap();
        const QString identification = map.value(ActivitySettingName::Identification).toString();
        if (identification.isEmpty() || indexOf(identification) >= 0)
            continue;
        const std::optional<QString> name = displayName(identification);
        if (!name)
            continue;
        const auto here = std::find_if(remaining.begin(), remaining.end(), [&](const Device& d) { return d.identification == identification; });
        const bool online = here != remaining.end();
        if (online)
            remaining.erase(here);
        m_rows.push_back({identification, *name, online, true, map.value(ActivitySettingName::TriState).toBool()});
    }
    for (const Device& device : remaining)
        append({device.identification, device.displayName, true, false, false});
}

int ActivityDeviceList::indexOf(const QString& identification) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row& row) { return row.identification == identification; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

void ActivityDeviceList::append(const Row& row)
{
    if (!row.identification.isEmpty() && indexOf(row.identification) < 0)
        m_rows.push_back(row);
}

bool ActivityDeviceList::setEnabled(bool enabled, size_t index)
{
    if (index >= m_rows.size())
        return false;
    m_rows[index].isSelected = enabled;
    return true;
}

bool ActivityDeviceList::set3State(bool coloured, size_t index)
{
    if (index >= m_rows.size())
        return false;
    m_rows[index].is3State = coloured;
    return true;
}

void ActivityDeviceList::enableMonitoringOfAllDevices(bool enabled)
{
    for (Row& row : m_rows)
        row.isSelected = enabled;
}

void ActivityDeviceList::updateOnlineStatus(bool online, const Device& device)
{
    if (device.identification.isEmpty())
        return;
    if (const int index = indexOf(device.identification); index >= 0)
        m_rows[size_t(index)].isOnline = online;
    else if (online)
        append({device.identification, device.displayName, true, false, false});
}

bool ActivityDeviceList::moveRows(const std::vector<size_t>& indexes, size_t dropRow)
{
    if (indexes.empty() || dropRow > m_rows.size())
        return false;
    std::vector<size_t> sorted = indexes;
    std::sort(sorted.begin(), sorted.end());
    std::vector<bool> moving(m_rows.size(), false);
    std::vector<Row> dragged;
    for (size_t index : sorted) {
        if (index >= m_rows.size() || moving[index])
            return false;
        moving[index] = true;
        dragged.push_back(m_rows[index]);
    }
    // The rows that stay, with the dragged ones put in above the drop row.
    std::vector<Row> reordered;
    for (size_t i = 0; i <= m_rows.size(); ++i) {
        if (i == dropRow)
            reordered.insert(reordered.end(), dragged.begin(), dragged.end());
        if (i < m_rows.size() && !moving[i])
            reordered.push_back(m_rows[i]);
    }
    m_rows = std::move(reordered);
    return true;
}

QVariantList ActivityDeviceList::monitoredDevices() const
{
    QVariantList devices;
    for (const Row& row : m_rows) {
        if (row.isSelected)
            devices.append(QVariantMap{{ActivitySettingName::Identification, row.identification}, {ActivitySettingName::TriState, row.is3State}});
    }
    return devices;
}
