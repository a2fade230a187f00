#pragma once

#include "extension/VLPAppleSiliconSensorEntry.h"
#include "extension/VLPFanEntry.h"
#include "extension/VLPPowerGadgetEntry.h"
#include "extension/VLPTransferEntry.h"

#include <QList>

// The sensor data set: main temperature, fans, package quantities and the
// generic sensors.
class VLPSensorInstrumentEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPSensorInstrumentEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    static QVariant decode(KeyedDecoder& decoder);

    bool isPowerGadgetAvailable = false;
    bool isAppleSiliconSupportAvailable = false;
    bool isPowerGadgetEnabled = false;
    bool isAppleSiliconSupportEnabled = false;
    double mainCentigradeValue = 0;
    QString mainTemperatureAccessKey;  // which sensor gave it; for diagnostics
    // Missing lists decode as empty ones.
    QList<std::shared_ptr<const VLPFanEntry>> fanEntries;
    QList<std::shared_ptr<const VLPPowerGadgetEntry>> powerGadgetEntries;
    QList<std::shared_ptr<const VLPAppleSiliconSensorEntry>> appleSiliconSensorEntries;
};

// The records of a decoded list that are of the class; other members (a
// nested list) are left out.
template<typename Entry>
QList<std::shared_ptr<const Entry>> transferEntries(const QVariant& list)
{
    QList<std::shared_ptr<const Entry>> entries;
    for (const QVariant& member : list.toList())
        if (std::shared_ptr<const Entry> entry = transferEntry<Entry>(member))
            entries.append(std::move(entry));
    return entries;
}
