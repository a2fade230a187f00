#include "extension/VLPProcessEntry.h"

#include "platform/archive/KeyedDecoder.h"

QString VLPProcessEntry::description() const
{
    return QStringLiteral("%1name '%2', CPU usage %3, memory usage %4, real memory %5\n")
        .arg(VLPTransferEntry::description(), processName, QString::number(cpuUsage, 'f', 6),
            QString::number(memoryUsage, 'f', 6), QString::number(realMemorySize));
}

QVariant VLPProcessEntry::decode(KeyedDecoder& decoder)
{
    auto entry = std::make_shared<VLPProcessEntry>();
    entry->decodeBaseFields(decoder);
    entry->processName = decoder.decodeString("Name");
    entry->cpuUsage = decoder.decodeDouble("CPUUsage");
    entry->memoryUsage = decoder.decodeDouble("MemoryUsage");
    entry->realMemorySize = quint64(decoder.decodeInt64("RealMemory"));
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
