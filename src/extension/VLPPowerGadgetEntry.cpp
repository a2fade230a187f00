#include "extension/VLPPowerGadgetEntry.h"

#include "platform/archive/KeyedDecoder.h"

QString VLPPowerGadgetEntry::description() const
{
    return QStringLiteral("%1name '%2', type %3, value %4 %5 (specified for %6 %5)\n")
        .arg(VLPTransferEntry::description(), name, QString::number(quantityType), QString::number(value, 'f', 6), unit,
            QString::number(specifiedValue, 'f', 6));
}

QVariant VLPPowerGadgetEntry::decode(KeyedDecoder& decoder)
{
    auto entry = std::make_shared<VLPPowerGadgetEntry>();
    entry->decodeBaseFields(decoder);
    entry->name = decoder.decodeString("Name");
    entry->quantityType = quint8(decoder.decodeInt64("Quantity") & 0xff);
    entry->value = decoder.decodeDouble("Value");
    entry->specifiedValue = decoder.decodeDouble("SpecifiedValue");
    entry->unit = decoder.decodeString("Unit");
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
