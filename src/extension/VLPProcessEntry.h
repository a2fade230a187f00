#pragma once

#include "extension/VLPTransferEntry.h"

#include <QVariant>

// One of the busiest processes.
class VLPProcessEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPProcessEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    static QVariant decode(KeyedDecoder& decoder);

    QString processName;
    double cpuUsage = 0;     // 1.0 is one processor fully busy
    double memoryUsage = 0;  // fraction of physical memory
    quint64 realMemorySize = 0;  // resident bytes
};
