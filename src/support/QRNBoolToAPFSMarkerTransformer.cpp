#include "support/QRNBoolToAPFSMarkerTransformer.h"

#include "platform/log/Log.h"

#include <QCoreApplication>

QVariant QRNBoolToAPFSMarkerTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid())
        return {};
    if (!isNumber(value)) {
        Log::fault("%@: value of class %@ cannot hold a boolean value.",
            {className(), QString::fromLatin1(value.metaType().name())});
        return {};
    }
    return value.toBool() ? QCoreApplication::translate(ClassName, "APFS") : QString();
}
