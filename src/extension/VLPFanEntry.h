#pragma once

#include "extension/VLPTransferEntry.h"

#include <QVariant>

// One fan of the machine.
class VLPFanEntry : public VLPTransferEntry {
public:
    static constexpr char ClassName[] = "VLPFanEntry";

    QString className() const override { return QLatin1String(ClassName); }
    QString description() const override;
    // None when the decoder failed.
    static QVariant decode(KeyedDecoder& decoder);

    QString localizedName;
    double rpmValue = 0;
    double specifiedRPMValue = 0;  // the maximum the fan is made for
};
