#include "items/MonitorItemClasses.h"

#include "items/QRNActivityMonitorItem.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNDiskMonitorItem.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"
#include "items/QRNVolumeMonitorItem.h"
#include "items/QRNNetMonitorItem.h"
#include "items/QRNSensorMonitorItem.h"
#include "settings/SettingNames.h"

#include <algorithm>

namespace {

template <typename Item>
MonitorItemClass builtClass(QLatin1String topicName, double interval)
{
    return {topicName, QLatin1String(Item::ClassName), interval, &Item::create, Item::settingNames()};
}

} // namespace

MonitorItemClasses::MonitorItemClasses()
    : createMainMenuItem([] { return std::make_unique<QRNMainMenuMonitorItem>(); })
    , m_rows {
        builtClass<QRNCPUMonitorItem>(TopicName::Processor, 1.0),
        builtClass<QRNSensorMonitorItem>(TopicName::Sensor, QRNSensorMonitorItem::DefaultMonitoringInterval),
        builtClass<QRNMemoryMonitorItem>(TopicName::Memory, 1.0),
        builtClass<QRNVolumeMonitorItem>(TopicName::FileSystem, 1.0),
        builtClass<QRNDiskMonitorItem>(TopicName::Disk, 1.0),
        builtClass<QRNNetMonitorItem>(TopicName::Network, 1.0),
        builtClass<QRNActivityMonitorItem>(TopicName::Activity, QRNActivityMonitorItem::DefaultMonitoringInterval),
    }
{
}

MonitorItemClasses& MonitorItemClasses::shared()
{
    static MonitorItemClasses classes;
    return classes;
}

const MonitorItemClass* MonitorItemClasses::find(const QString& className) const
{
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const MonitorItemClass& c) { return c.name == className; });
    return it == m_rows.end() ? nullptr : &*it;
}

const MonitorItemClass* MonitorItemClasses::findForTopic(const QString& topicName) const
{
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const MonitorItemClass& c) { return c.topicName == topicName; });
    return it == m_rows.end() ? nullptr : &*it;
}

MonitorItemClass::Factory MonitorItemClasses::setFactory(const QString& className, MonitorItemClass::Factory factory)
{
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const MonitorItemClass& c) { return c.name == className; });
    if (it == m_rows.end())
        return {};
    std::swap(it->create, factory);
    return factory;
}
