#pragma once

#include "configuration/MonitorItemTopic.h"

// The processor page: the processor item's switch and cells.
class ProcessorTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "ProcessorTopic";

    ProcessorTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
