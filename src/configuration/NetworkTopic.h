#pragma once

#include "configuration/MonitorItemTopic.h"
#include "platform/notifications/NotificationCenter.h"

#include <QPointer>

#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTableWidget;

// The network page: the item's switch and cells, which interfaces it shows
// in which order, how it draws and counts, and whether it asks for the
// public address. Every change is stored at once and reaches the live item.
class NetworkTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "NetworkTopic";

    struct InterfaceDescription {
        QString deviceName;
        QString displayName;
        bool isOnline = false;
        bool isSelected = false;
        bool operator==(const InterfaceDescription&) const = default;
    };

    NetworkTopic();
    ~NetworkTopic() override;
    QString className() const override { return QLatin1String(ClassName); }
    void init() override;

    // The stored interfaces first, in stored order, then the other active ones.
    void recreateInterfaceDescriptions();
    const std::vector<InterfaceDescription>& interfaceDescriptions() const { return m_interfaceDescriptions; }
    void setEnabled(bool enabled, int interfaceMonitoringAtIndex);
    void enableMonitoringOfAllInterfaces(bool enabled);
    // Moves a row (the table's drag and its buttons); the stored order follows.
    void moveInterface(int from, int to);
    void updateOnlineStatus(bool online, const QString& ofNetInterfaceWithName);

    // 0 stacked, 1 opposed.
    void setIndexOfGraphDisplayStyle(int index);
    // 0 common scale, 1 each graph zoomed to its own range.
    void setIndexOfGraphZoomMode(int index);
    void setShowsReadingsAsBits(bool shows);
    void setShouldGetWANAddress(bool gets);
    // Seconds between public-address queries; 0 asks only on network changes.
    void setWANUpdateInterval(int seconds);

protected:
    QWidget* createContentView() override;

private:
    void updateUserDefaults();
    void refreshTable();
    void storeBool(const QString& name, bool value);

    std::vector<InterfaceDescription> m_interfaceDescriptions;
    std::vector<NotificationCenter::Token> m_observers;
    QPointer<QTableWidget> m_table;
    bool m_refreshingTable = false;
};
