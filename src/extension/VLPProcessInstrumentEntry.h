#pragma once

#include "extension/VLPProcessEntry.h"
#include "extension/VLPTransferEntry.h"

#include <QList>

// The busiest processes by processor use and by memory, five each.
class VLPProcessInstrumentEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPProcessInstrumentEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    static QVariant decode(KeyedDecoder& decoder);

    QList<std::shared_ptr<const VLPProcessEntry>> top5CPUProcessEntries;
    QList<std::shared_ptr<const VLPProcessEntry>> top5MemoryProcessEntries;
};
