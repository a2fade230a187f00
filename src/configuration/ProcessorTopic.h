#pragma once

#include "configuration/MonitorItemTopic.h"
#include "configuration/TopProcessesSwitch.h"

#include <QPointer>

#include <vector>

class QListWidget;

// The processor page: the item's switch and cells, totals or one group of
// cells per processor, which processors get a graph in the menu, and the
// graphics and busiest-process rows. Every change is stored at once and
// reaches the live item.
class ProcessorTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "ProcessorTopic";

    struct ProcessorOption {
        QString displayName;
        bool isSelected = false;
        bool operator==(const ProcessorOption&) const = default;
    };

    ProcessorTopic();
    QString className() const override { return QLatin1String(ClassName); }
    void init() override;
    // A first start shows a graph of every processor.
    void setupInitialDefaultSetOfMonitoredItems() override;

    // One row per logical processor, selected where the stored graph flags say so.
    const std::vector<ProcessorOption>& processorOptionDescriptions() const { return m_processorOptions; }
    // 0 totals, 1 one cell group per processor.
    void setMenuBarDisplayMode(int mode);
    void setIsShowingGPULoads(bool shows);
    // Stored, and the companion told; the switch is usable only while it is connected.
    void setIsShowingTop5Processes(bool shows);
    static bool canShowTop5Processes() { return TopProcessesSwitch::canShowTop5Processes(); }
    void setEnabled(bool enabled, int processorMonitoringAtIndex);
    bool isEnabledProcessorMonitoringAtIndex(int index) const;
    void enableMonitoringForAllProcessorIndexes(bool enabled);

    // Empty unless the logical and physical counts differ.
    static QString multiThreadingNotice(quint64 logical, quint64 physical);

protected:
    QWidget* createContentView() override;

private:
    void storeGraphFlags();
    void refreshList();

    std::vector<ProcessorOption> m_processorOptions;
    QPointer<QListWidget> m_list;
    bool m_refreshingList = false;
    TopProcessesSwitch m_topProcessesSwitch;
};
