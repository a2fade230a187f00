#pragma once

#include "configuration/MonitorItemTopic.h"
#include "configuration/TopProcessesSwitch.h"

// The memory page: the item's switch and cells, the terminology of its menu,
// what counts as free and how sizes, paging, the graph, the graphics memory
// and the busiest processes are shown. Every change is stored at once and
// reaches the live item.
class MemoryTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "MemoryTopic";

    MemoryTopic();
    QString className() const override { return QLatin1String(ClassName); }

    void setIsHandlingInactiveAsFree(bool handles);
    // Stored, and the companion told; the switch is usable only while it is connected.
    void setIsShowingTop5Processes(bool shows);
    static bool canShowTop5Processes() { return TopProcessesSwitch::canShowTop5Processes(); }
    void setIsShowingMemoryBySize(bool shows);
    void setIsShowingMenuGraph(bool shows);
    void setIsShowingSwapsAsBytes(bool shows);
    void setIsShowingGPUMemory(bool shows);
    // 0 classic (reserved, active, inactive), 1 and 2 by use (apps, cache,
    // wired, compressed) with the cache counted as used resp. apart.
    void setMemoryTerminologyStyle(int style);

protected:
    QWidget* createContentView() override;

private:
    void storeBool(const QString& name, bool value);

    TopProcessesSwitch m_topProcessesSwitch;
};
