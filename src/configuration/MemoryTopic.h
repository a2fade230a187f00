#pragma once

#include "configuration/MonitorItemTopic.h"

// The memory page: the memory item's switch and cells.
class MemoryTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "MemoryTopic";

    MemoryTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
