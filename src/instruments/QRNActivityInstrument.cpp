#include "instruments/QRNActivityInstrument.h"

#include "storage/QRNIORegistryEntry.h"

QRNActivityInstrument::QRNActivityInstrument(std::shared_ptr<QRNIORegistryEntry> entry)
    : m_deviceEntry(std::move(entry))
{
}

std::shared_ptr<QRNActivityInstrument> QRNActivityInstrument::initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry)
{
    if (!entry)
        return nullptr;
    return std::shared_ptr<QRNActivityInstrument>(new QRNActivityInstrument(std::move(entry)));
}

QString QRNActivityInstrument::deviceIdentification() const
{
    return locked(m_deviceIdentification);
}

void QRNActivityInstrument::setDeviceIdentification(const QString& identification)
{
    setLocked(m_deviceIdentification, identification);
}

ActivityCounters QRNActivityInstrument::currentCounters() const
{
    return locked(m_currentCounters);
}

void QRNActivityInstrument::takeSample(const ActivityCounters& counters, bool follows)
{
    std::lock_guard lock(m_mutex);
    m_lastCounters = follows && m_hasInformation ? m_currentCounters : counters;
    m_currentCounters = counters;
    m_hasInformation = true;
}

ActivityCounters QRNActivityInstrument::lastCounters() const
{
    return locked(m_lastCounters);
}

ActivityState QRNActivityInstrument::currentActivity() const
{
    std::lock_guard lock(m_mutex);
    if (!m_hasInformation)
        return ActivityState::NoInformation;
    return activityStateBetween(m_lastCounters, m_currentCounters);
}

QString QRNActivityInstrument::description() const
{
    return QStringLiteral("<%1>: activity of device '%2': '%3'\n")
        .arg(className(), deviceIdentification(), activityStateText(currentActivity()));
}
