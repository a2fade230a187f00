#pragma once

#include "configuration/MonitorItemTopic.h"

// The disk page: the disk item's switch and cells.
class DiskTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "DiskTopic";

    DiskTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
