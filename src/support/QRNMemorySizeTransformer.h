#pragma once

#include "support/ValueTransformer.h"

// A byte count as the memory-size text of the user's unit mode; none for
// anything that is not a number.
class QRNMemorySizeTransformer : public ValueTransformer {
public:
    static constexpr char ClassName[] = "QRNMemorySizeTransformer";
    QString className() const override { return QLatin1String(ClassName); }
    QVariant transformedValue(const QVariant& value) const override;
};
