#pragma once

#include "support/ValueTransformer.h"

// The pool marker of a file-system row: its text for true, "" for false,
// none for no value. A value with no truth value is a programming error:
// it is reported at fault level and gives none.
class QRNBoolToAPFSMarkerTransformer : public ValueTransformer {
public:
    static constexpr char ClassName[] = "QRNBoolToAPFSMarkerTransformer";
    QString className() const override { return QLatin1String(ClassName); }
    QVariant transformedValue(const QVariant& value) const override;
};
