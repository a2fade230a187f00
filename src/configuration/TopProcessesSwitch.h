#pragma once

#include "platform/notifications/NotificationCenter.h"

#include <QCoreApplication>
#include <QPointer>
#include <QString>

#include <functional>

class QCheckBox;

// The switch of the busiest-process rows on the processor and memory pages.
// The rows come from Vistrel Plus, so the switch works only while the
// companion is connected and follows the session's changes; each change is
// stored and the companion is told whether any item still wants the lists.
class TopProcessesSwitch {
    Q_DECLARE_TR_FUNCTIONS(TopProcessesSwitch)
public:
    TopProcessesSwitch();
    ~TopProcessesSwitch();
    TopProcessesSwitch(const TopProcessesSwitch&) = delete;
    TopProcessesSwitch& operator=(const TopProcessesSwitch&) = delete;

    // True exactly while the running session's companion is connected.
    static bool canShowTop5Processes();
    // Stores the setting under the topic-qualified key, then hands the
    // permissions to the companion.
    static void store(bool shows, const QString& key);

    // The page's control, showing the stored value; the setter stores.
    QCheckBox* makeSwitch(const QString& key, std::function<void(bool)> setter);

private:
    void appExtensionDidChange();

    QPointer<QCheckBox> m_control;
    NotificationCenter::Token m_observer = 0;
};
