#pragma once

#include "configuration/MonitorItemTopic.h"
#include "platform/notifications/NotificationCenter.h"

#include <QPointer>

class QLabel;

// The sensor page: the item's switch and cells, whether it uses Vistrel
// Plus, fan graphs and which optional sections Vistrel Plus may report.
// Every switch is stored at once and reaches the live item; the page shows
// what Vistrel Plus offers right now and leads to its own page.
class SensorTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "SensorTopic";

    SensorTopic();
    ~SensorTopic() override;
    QString className() const override { return QLatin1String(ClassName); }

    void setShouldUseExtendedAccess(bool use);
    void setIsShowingFanSpeedGraphs(bool shows);
    void setHasFixRangeFanSpeedGraphs(bool fixed);
    // The two permissions are also handed to Vistrel Plus.
    void setIsPermittingPowerGadget(bool permits);
    void setIsPermittingARMGadget(bool permits);

    // Vistrel Plus is connected.
    static bool canUseExtendedAccess();
    // What the connected Vistrel Plus last reported it can measure.
    static bool isPowerGadgetAvailable();
    static bool isARMGadgetAvailable();

    // The page's summary of what Vistrel Plus offers now.
    QString availabilityText() const;

Q_SIGNALS:
    // "Vistrel Plus..." was pressed: show its page.
    void appExtensionPageRequested();

protected:
    QWidget* createContentView() override;

private:
    void storeSwitch(const QString& name, bool on);
    void appExtensionDidChangeOrReceive();

    QPointer<QLabel> m_availability;
    NotificationCenter::Token m_changeObserver = 0;
    NotificationCenter::Token m_receiveObserver = 0;
};
