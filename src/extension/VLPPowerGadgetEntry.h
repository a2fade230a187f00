#pragma once

#include "extension/VLPTransferEntry.h"

#include <QVariant>

// One processor-package quantity: power, frequency or temperature.
class VLPPowerGadgetEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPPowerGadgetEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    static QVariant decode(KeyedDecoder& decoder);

    QString name;
    quint8 quantityType = 0;  // the archive's 32-bit value, low 8 bits kept
    double value = 0;
    double specifiedValue = 0;
    QString unit;
};
