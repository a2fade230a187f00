#include "extension/VLPFanEntry.h"

#include "platform/archive/KeyedDecoder.h"

QString VLPFanEntry::description() const
{
    return QStringLiteral("%1name '%2', %3 RPM (%4 specified)\n")
        .arg(VLPTransferEntry::description(), localizedName, QString::number(rpmValue, 'f', 6),
            QString::number(specifiedRPMValue, 'f', 6));
}

QVariant VLPFanEntry::decode(KeyedDecoder& decoder)
{
    auto entry = std::make_shared<VLPFanEntry>();
    entry->decodeBaseFields(decoder);
    entry->localizedName = decoder.decodeString("LocalizedName");
    entry->rpmValue = decoder.decodeDouble("RPMValue");
    entry->specifiedRPMValue = decoder.decodeDouble("SpecifiedRPM");
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
