#pragma once

#include "configuration/MonitorItemTopic.h"

// The network page: the network item's switch and cells.
class NetworkTopic : public MonitorItemTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "NetworkTopic";

    NetworkTopic();
    QString className() const override { return QLatin1String(ClassName); }
};
