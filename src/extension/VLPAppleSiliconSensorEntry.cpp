#include "extension/VLPAppleSiliconSensorEntry.h"

#include "platform/archive/KeyedDecoder.h"
#include "platform/defaults/PropertyList.h"

QString VLPAppleSiliconSensorEntry::description() const
{
    return QStringLiteral("%1name '%2', type %3, value %4 properties %5\n")
        .arg(VLPTransferEntry::description(), localizedName, QString::number(quantityType),
            QString::number(currentValue, 'f', 6), PropertyList::description(numericProperties));
}

QVariant VLPAppleSiliconSensorEntry::decode(KeyedDecoder& decoder)
{
    auto entry = std::make_shared<VLPAppleSiliconSensorEntry>();
    entry->decodeBaseFields(decoder);
    entry->localizedName = decoder.decodeString("Name");
    entry->numericProperties = decoder
        .decodeObject("Properties", {QStringLiteral("NSDictionary"), QStringLiteral("NSString"), QStringLiteral("NSNumber")})
        .toMap();
    entry->quantityType = quint8(decoder.decodeInt64("Quantity") & 0xff);
    entry->currentValue = decoder.decodeDouble("Value");
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
