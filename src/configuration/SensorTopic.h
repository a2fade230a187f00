#pragma once

#include "configuration/MonitorItemTopic.h"

// The sensor page: the sensor item's switch and cells.
class SensorTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "SensorTopic";

    SensorTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
