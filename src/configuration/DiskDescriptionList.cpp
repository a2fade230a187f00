#include "configuration/DiskDescriptionList.h"

#include <algorithm>

void DiskDescriptionList::recreate(const QStringList& stored, const QStringList& present)
{
    m_descriptions.clear();
    QStringList remaining = present;
    for (const QString& identification : stored) {
        if (identification.isEmpty() || std::any_of(m_descriptions.begin(), m_descriptions.end(),
                [&](const Description& d) { return d.diskIdentification == identification; }))
            continue;
        const bool online = remaining.removeAll(identification) > 0;
        m_descriptions.push_back({identification, online, true});
    }
    for (const QString& identification : remaining) {
        if (!identification.isEmpty())
            m_descriptions.push_back({identification, true, false});
    }
}

bool DiskDescriptionList::setEnabled(bool enabled, size_t index)
{
    if (index >= m_descriptions.size())
        return false;
    m_descriptions[index].isSelected = enabled;
    return true;
}

void DiskDescriptionList::enableMonitoringOfAllDisks(bool enabled)
{
    for (Description& description : m_descriptions)
        description.isSelected = enabled;
}

void DiskDescriptionList::updateOnlineStatus(bool online, const QString& identification)
{
    if (identification.isEmpty())
        return;
    for (Description& description : m_descriptions) {
        if (description.diskIdentification == identification) {
            description.isOnline = online;
            return;
        }
    }
    if (online)
        m_descriptions.push_back({identification, true, false});
}

void DiskDescriptionList::reorder(const QStringList& identifications)
{
    std::vector<Description> ordered;
    std::vector<Description> rest = m_descriptions;
    for (const QString& identification : identifications) {
        auto it = std::find_if(rest.begin(), rest.end(), [&](const Description& d) { return d.diskIdentification == identification; });
        if (it == rest.end())
            continue;
        ordered.push_back(*it);
        rest.erase(it);
    }
    ordered.insert(ordered.end(), rest.begin(), rest.end());
    m_descriptions = std::move(ordered);
}

QStringList DiskDescriptionList::monitoredDisks() const
{
    QStringList selected;
    for (const Description& description : m_descriptions) {
        if (description.isSelected)
            selected.append(description.diskIdentification);
    }
    return selected;
}
