#pragma once

#include "configuration/ActivityDeviceList.h"
#include "configuration/ConfigurationTopic.h"
#include "instruments/EquipmentObserver.h"

#include <QPointer>

class ActivityDeviceTable;
class QCheckBox;

// The activity page: the item's switch, one table of disks and one of
// network interfaces in which the user ticks the devices to watch, chooses
// coloured lamps and drags rows into lamp order, and whether network lamps
// show direction arcs. Every change is stored at once; devices coming and
// going change the tables' online marks and add new rows.
class ActivityTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "ActivityTopic";
    enum class Table { Disks, Interfaces };

    ActivityTopic();
    ~ActivityTopic() override;

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;
    void init() override;
    // Every disk and interface is watched until the user chooses.
    void setupInitialDefaultSetOfMonitoredItems() override;

    // Reads the stored choice and the devices present now.
    void recreateObjectDescriptions();
    const ActivityDeviceList& descriptions(Table table) const { return table == Table::Disks ? m_disks : m_interfaces; }
    void setEnabled(Table table, bool enabled, size_t index);
    void set3State(Table table, bool coloured, size_t index);
    void enableMonitoringOfAll(Table table, bool enabled);
    // Moves rows of one table (the drag); the stored lamp order follows.
    void moveRows(Table table, const std::vector<size_t>& rows, size_t dropRow);
    void updateOnlineStatus(bool online, const QVariantMap& equipmentNotification);
    bool usesUpDownNetworkMarkers() const { return m_usesUpDownNetworkMarkers; }
    void setUsesUpDownNetworkMarkers(bool upDown);
    // Writes both lists, in table order.
    void updateUserDefaults();

protected:
    QWidget* createContentView() override;

private:
    ActivityDeviceList& list(Table table) { return table == Table::Disks ? m_disks : m_interfaces; }
    void fillTable(Table table);
    // The tables change one row at a time; rows are rebuilt only after the model changed.
    void changed(Table table);

    ActivityDeviceList m_disks;
    ActivityDeviceList m_interfaces;
    bool m_usesUpDownNetworkMarkers = false;
    QPointer<ActivityDeviceTable> m_diskTable;
    QPointer<ActivityDeviceTable> m_interfaceTable;
    QPointer<QCheckBox> m_upDownSwitch;
    EquipmentObserver m_equipment;
};
