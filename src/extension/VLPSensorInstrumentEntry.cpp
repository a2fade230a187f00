#include "extension/VLPSensorInstrumentEntry.h"

#include "platform/archive/KeyedDecoder.h"

namespace {

template<typename Entry>
QString numbered(const char* heading, const QList<std::shared_ptr<const Entry>>& entries)
{
    QString text;
    for (qsizetype index = 0; index < entries.size(); ++index)
        text += QStringLiteral("- %1 %2: %3").arg(QLatin1String(heading)).arg(index + 1).arg(entries[index]->description());
    return text;
}

}

QString VLPSensorInstrumentEntry::description() const
{
    QString text = QStringLiteral("%1main temperature: %2°C (key %3)\n")
                       .arg(VLPTransferEntry::description(), QString::number(mainCentigradeValue, 'f', 6), mainTemperatureAccessKey);
    text += fanEntries.isEmpty() ? QStringLiteral("- no fans -\n") : numbered("fan", fanEntries);
    if (isPowerGadgetEnabled)
        text += numbered("Power Gadget", powerGadgetEntries);
    else
        text += isPowerGadgetAvailable ? QStringLiteral("Power Gadget disabled.\n") : QStringLiteral("Power Gadget not available.\n");
    if (isAppleSiliconSupportEnabled)
        text += numbered("Apple Silicon sensor", appleSiliconSensorEntries);
    else
        text += isAppleSiliconSupportAvailable ? QStringLiteral("Apple Silicon monitoring disabled.\n")
                                               : QStringLiteral("Apple Silicon monitoring is not supported.\n");
    return text;
}

QVariant VLPSensorInstrumentEntry::decode(KeyedDecoder& decoder)
{
    const QString array = QStringLiteral("NSArray");
    auto entry = std::make_shared<VLPSensorInstrumentEntry>();
    entry->decodeBaseFields(decoder);
    entry->isPowerGadgetAvailable = decoder.decodeBool("HasPowerGadget");
    entry->isAppleSiliconSupportAvailable = decoder.decodeBool("HasAppleSiliconMonitor");
    entry->isPowerGadgetEnabled = decoder.decodeBool("PowerGadget");
    entry->isAppleSiliconSupportEnabled = decoder.decodeBool("AppleSiliconMonitor");
    entry->mainCentigradeValue = decoder.decodeDouble("MainTemperature");
    entry->mainTemperatureAccessKey = decoder.decodeString("MainAccessKey");
    entry->fanEntries = transferEntries<VLPFanEntry>(
        decoder.decodeObject("FanEntries", {array, QLatin1String(VLPFanEntry::ClassName)}));
    entry->powerGadgetEntries = transferEntries<VLPPowerGadgetEntry>(
        decoder.decodeObject("PowerGadgetEntries", {array, QLatin1String(VLPPowerGadgetEntry::ClassName)}));
    entry->appleSiliconSensorEntries = transferEntries<VLPAppleSiliconSensorEntry>(
        decoder.decodeObject("AppleSiliconSensorEntries", {array, QLatin1String(VLPAppleSiliconSensorEntry::ClassName)}));
    return QVariant::fromValue(TransferEntryPointer(std::move(entry)));
}
