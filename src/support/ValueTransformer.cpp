#include "support/ValueTransformer.h"

#include "support/VariantNumbers.h"

bool ValueTransformer::isNumber(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool || isNumeric(value);
}
