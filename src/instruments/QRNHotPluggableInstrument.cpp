#include "instruments/QRNHotPluggableInstrument.h"

#include "support/EventLog.h"

namespace {
QString stateName(bool offline)
{
    return offline ? QStringLiteral("offline") : QStringLiteral("online");
}
} // namespace

void QRNHotPluggableInstrument::setIsOffline(bool offline)
{
    if (offline == m_isOffline)
        return;
    m_isOffline = offline;
    processHotPlugChange();
}

void QRNHotPluggableInstrument::processHotPlugChange()
{
    EventLog::append(QStringLiteral("%1 is processing a hot-plug notification. The new state is %2.\n")
                         .arg(className(), stateName(m_isOffline)));
}

QString QRNHotPluggableInstrument::description() const
{
    return QStringLiteral("<%1>: hotplug status: %2\n").arg(className(), stateName(m_isOffline));
}
