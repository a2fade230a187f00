#pragma once

#include "extension/VLPTransferEntry.h"

#include <QVariantMap>

// One generic hardware sensor (on Linux: an hwmon channel).
class VLPAppleSiliconSensorEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPAppleSiliconSensorEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    static QVariant decode(KeyedDecoder& decoder);

    QString localizedName;
    QVariantMap numericProperties;  // "RangeMinimum" and the like
    quint8 quantityType = 0;
    double currentValue = 0;
};
