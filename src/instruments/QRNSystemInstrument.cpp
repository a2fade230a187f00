#include "instruments/QRNSystemInstrument.h"

#include "platform/log/Log.h"

void QRNSystemInstrument::collectNewSample()
{
    Log::error("%{public}@: -collectNewSample must be overridden in subclass.", {className()});
}

QString QRNSystemInstrument::description() const
{
    return QStringLiteral("<%1>\n").arg(className());
}
