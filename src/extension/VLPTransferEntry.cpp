#include "extension/VLPTransferEntry.h"

#include "platform/archive/KeyedDecoder.h"

QString VLPTransferEntry::description() const
{
    return QStringLiteral("<%1> version %2\n").arg(className()).arg(version);
}

void VLPTransferEntry::decodeBaseFields(KeyedDecoder& decoder)
{
    version = quint64(decoder.decodeInt64("Version"));
}

QVariant VLPTransferEntry::decode(KeyedDecoder& decoder)
{
    auto entry = std::make_shared<VLPTransferEntry>();
    entry->decodeBaseFields(decoder);
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
