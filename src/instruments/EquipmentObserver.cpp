#include "instruments/EquipmentObserver.h"

#include "instruments/QRNEquipmentMonitor.h"

EquipmentObserver::~EquipmentObserver()
{
    NotificationCenter::defaultCenter().removeObserver(m_addedToken);
    NotificationCenter::defaultCenter().removeObserver(m_removedToken);
}

void EquipmentObserver::observe(Handler added, Handler removed)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(m_addedToken);
    center.removeObserver(m_removedToken);
    m_addedToken = center.addObserver(QLatin1String(EquipmentWasAddedNotification),
        [added = std::move(added)](const QString&, const QVariantMap& userInfo) { added(userInfo); });
    m_removedToken = center.addObserver(QLatin1String(EquipmentWasRemovedNotification),
        [removed = std::move(removed)](const QString&, const QVariantMap& userInfo) { removed(userInfo); });
}
