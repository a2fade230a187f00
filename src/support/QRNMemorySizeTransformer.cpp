#include "support/QRNMemorySizeTransformer.h"

#include "support/CDP.h"

#include <cmath>
#include <limits>

namespace {

// The number's unsigned 64-bit value: negative integers wrap, fractions are
// cut off, floating-point values beyond the range are held at its ends.
quint64 unsignedValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::Float && value.typeId() != QMetaType::Double)
        return value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong ? value.toULongLong()
                                                                                              : quint64(value.toLongLong());
    const double number = value.toDouble();
    if (!(number > 0))
        return 0;
    if (number >= 18446744073709551616.0)
        return std::numeric_limits<quint64>::max();
    return quint64(std::trunc(number));
}

} // namespace

QVariant QRNMemorySizeTransformer::transformedValue(const QVariant& value) const
{
    if (!isNumber(value))
        return {};
    return CDP::displayTextForMemorySize(unsignedValue(value));
}
