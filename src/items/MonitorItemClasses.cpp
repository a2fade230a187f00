#include "items/MonitorItemClasses.h"

#include <algorithm>

MonitorItemClasses& MonitorItemClasses::shared()
{
    static MonitorItemClasses classes;
    return classes;
}

void MonitorItemClasses::add(MonitorItemClass monitorItemClass)
{
    remove(monitorItemClass.name);
    m_classes.push_back(std::move(monitorItemClass));
}

void MonitorItemClasses::remove(const QString& name)
{
    m_classes.erase(std::remove_if(m_classes.begin(), m_classes.end(),
                        [&](const MonitorItemClass& c) { return c.name == name; }),
        m_classes.end());
}

const MonitorItemClass* MonitorItemClasses::find(const QString& name) const
{
    auto it = std::find_if(m_classes.begin(), m_classes.end(), [&](const MonitorItemClass& c) { return c.name == name; });
    return it == m_classes.end() ? nullptr : &*it;
}
