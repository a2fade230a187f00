#pragma once

#include "configuration/DiskDescriptionList.h"
#include "configuration/MonitorItemTopic.h"
#include "instruments/EquipmentObserver.h"

#include <QPointer>

class QComboBox;
class QListWidget;

// The disk page: the disk item's switch and cells, the graph style and zoom
// of its graphs, and the table of disks to monitor — checked rows are
// monitored, in table order, which the user changes by dragging rows.
// Disks coming and going change the table at once.
class DiskTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "DiskTopic";

    DiskTopic();
    ~DiskTopic() override;
    QString className() const override { return QLatin1String(ClassName); }

    void init() override;
    void setupInitialDefaultSetOfMonitoredItems() override;

    const DiskDescriptionList& diskDescriptions() const { return m_descriptions; }
    // Reads the stored selection and the disks attached now.
    void recreateDiskDescriptions();
    void setEnabled(bool enabled, size_t diskMonitoringAtIndex);
    void enableMonitoringOfAllDisks(bool enabled);
    void updateOnlineStatus(bool online, const QString& identification);
    // Stores the selected disks in table order.
    void updateDiskDefaults();
    // 1: read and write graphs drawn against each other; 0: side by side.
    void setIndexOfGraphDisplayStyle(int index);
    // 1: each graph zooms to its own peak; 0: a common scale.
    void setIndexOfGraphZoomMode(int index);

protected:
    QWidget* createContentView() override;

private:
    void fillTable();
    void takeOrderFromTable();

    DiskDescriptionList m_descriptions;
    QPointer<QListWidget> m_table;
    QPointer<QComboBox> m_graphStyle;
    QPointer<QComboBox> m_zoomMode;
    EquipmentObserver m_equipment;
};
