#include "extension/QRNExtendableSensorInstrument.h"

#include "extension/VistrelPlusSession.h"
#include "platform/linux/ThermalZones.h"

QRNExtendableSensorInstrument::Session QRNExtendableSensorInstrument::currentSession()
{
    return {
        [] {
            const VistrelPlusSession* session = VistrelPlusSession::current();
            return session && session->isConnected();
        },
        [] {
            const VistrelPlusSession* session = VistrelPlusSession::current();
            return session ? session->appExtensionDataSet() : std::nullopt;
        },
    };
}

std::function<int()> QRNExtendableSensorInstrument::systemThermalState()
{
    return [zones = ThermalZones()] { return int(zones.thermalState()); };
}

std::shared_ptr<QRNExtendableSensorInstrument> QRNExtendableSensorInstrument::sharedSensorInstrument()
{
    static const std::shared_ptr<QRNExtendableSensorInstrument> shared = std::make_shared<QRNExtendableSensorInstrument>();
    return shared;
}

QRNExtendableSensorInstrument::QRNExtendableSensorInstrument(Session session, std::function<int()> thermalState)
    : m_session(std::move(session))
    , m_thermalStateSource(std::move(thermalState))
{
    m_changeObserver = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(VistrelPlusSession::DidChangeNotification), [this](const QString&, const QVariantMap&) { appExtensionDidChange(); });
}

QRNExtendableSensorInstrument::~QRNExtendableSensorInstrument()
{
    NotificationCenter::defaultCenter().removeObserver(m_changeObserver);
}

bool QRNExtendableSensorInstrument::hasExtendedAccess() const
{
    return m_shouldUseExtendedAccess && m_session.isConnected();
}

void QRNExtendableSensorInstrument::collectNewSample()
{
    m_thermalState = m_thermalStateSource();
    if (!hasExtendedAccess())
        return;
    const std::optional<QVariantMap> dataSet = m_session.dataSet();
    if (!dataSet)
        return;
    // A data set without sensors (or with something else under their key)
    // keeps the last good record.
    if (auto entry = transferEntry<VLPSensorInstrumentEntry>(dataSet->value(QLatin1String(VLPSensorInstrumentEntry::ClassName))))
        m_receivedEntry = std::move(entry);
}

void QRNExtendableSensorInstrument::appExtensionDidChange()
{
    if (!m_session.isConnected())
        m_receivedEntry.reset();
}

QString QRNExtendableSensorInstrument::description() const
{
    const_cast<QRNExtendableSensorInstrument*>(this)->collectNewSample();
    const bool extended = hasExtendedAccess();
    QString text = QStringLiteral("<%1>: %2 - status: %3\n")
                       .arg(className(), extended ? QStringLiteral("with extended acccess") : QStringLiteral("in default mode"))
                       .arg(m_thermalState);
    if (extended && m_receivedEntry)
        text += m_receivedEntry->description();
    return text;
}

double QRNExtendableSensorInstrument::roundsPerMinuteForFanAtIndex(quint64 index) const
{
    const auto fan = fanEntryAtIndex(index);
    return fan ? fan->rpmValue : 0.0;
}

double QRNExtendableSensorInstrument::maxSpecifiedRoundsPerMinuteForFanAtIndex(quint64 index) const
{
    const auto fan = fanEntryAtIndex(index);
    return fan ? fan->specifiedRPMValue : 0.0;
}

std::optional<QString> QRNExtendableSensorInstrument::locationIdentifierForFanAtIndex(quint64 index) const
{
    const auto fan = fanEntryAtIndex(index);
    return fan ? std::optional<QString>(fan->localizedName) : std::nullopt;
}

std::shared_ptr<const VLPFanEntry> QRNExtendableSensorInstrument::fanEntryAtIndex(quint64 index) const
{
    if (index >= numberOfFans())
        return nullptr;
    return m_receivedEntry->fanEntries.at(qsizetype(index));
}

QList<std::shared_ptr<const VLPPowerGadgetEntry>> QRNExtendableSensorInstrument::powerGadgetEntries() const
{
    return m_receivedEntry ? m_receivedEntry->powerGadgetEntries : QList<std::shared_ptr<const VLPPowerGadgetEntry>>();
}

QList<std::shared_ptr<const VLPAppleSiliconSensorEntry>> QRNExtendableSensorInstrument::appleSiliconSensorEntries() const
{
    return m_receivedEntry ? m_receivedEntry->appleSiliconSensorEntries : QList<std::shared_ptr<const VLPAppleSiliconSensorEntry>>();
}
