#pragma once

#include "platform/notifications/NotificationCenter.h"

#include <functional>

// Follows the equipment monitor's arrival and departure notifications for as
// long as it lives; items and pages that list devices keep one.
class EquipmentObserver {
public:
    using Handler = std::function<void(const QVariantMap& userInfo)>;

    EquipmentObserver() = default;
    ~EquipmentObserver();
    EquipmentObserver(const EquipmentObserver&) = delete;
    EquipmentObserver& operator=(const EquipmentObserver&) = delete;

    void observe(Handler added, Handler removed);

private:
    NotificationCenter::Token m_addedToken = 0;
    NotificationCenter::Token m_removedToken = 0;
};
