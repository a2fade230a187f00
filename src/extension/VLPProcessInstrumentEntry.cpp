#include "extension/VLPProcessInstrumentEntry.h"

#include "extension/VLPSensorInstrumentEntry.h"
#include "platform/archive/KeyedDecoder.h"

QString VLPProcessInstrumentEntry::description() const
{
    QString text = QStringLiteral("%1top 5 processes by CPU:\n").arg(VLPTransferEntry::description());
    for (const auto& entry : top5CPUProcessEntries)
        text += entry->description();
    text += QStringLiteral("top 5 processes by memory:\n");
    for (const auto& entry : top5MemoryProcessEntries)
        text += entry->description();
    return text;
}

QVariant VLPProcessInstrumentEntry::decode(KeyedDecoder& decoder)
{
    const QStringList allowed {QStringLiteral("NSArray"), QLatin1String(VLPProcessEntry::ClassName)};
    auto entry = std::make_shared<VLPProcessInstrumentEntry>();
    entry->decodeBaseFields(decoder);
    entry->top5CPUProcessEntries = transferEntries<VLPProcessEntry>(decoder.decodeObject("Top5CPU", allowed));
    entry->top5MemoryProcessEntries = transferEntries<VLPProcessEntry>(decoder.decodeObject("Top5Memory", allowed));
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
