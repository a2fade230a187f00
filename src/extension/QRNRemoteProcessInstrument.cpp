#include "extension/QRNRemoteProcessInstrument.h"

#include "extension/VistrelPlusSession.h"

namespace {

bool isSessionConnected()
{
    const VistrelPlusSession* session = VistrelPlusSession::current();
    return session && session->isConnected();
}

}

QRNRemoteProcessInstrument::QRNRemoteProcessInstrument()
{
    m_changeObserver = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(VistrelPlusSession::DidChangeNotification),
        [this](const QString&, const QVariantMap&) { appExtensionDidChange(); });
}

QRNRemoteProcessInstrument::~QRNRemoteProcessInstrument()
{
    NotificationCenter::defaultCenter().removeObserver(m_changeObserver);
}

std::shared_ptr<QRNRemoteProcessInstrument> QRNRemoteProcessInstrument::sharedProcessInstrument()
{
    static const std::shared_ptr<QRNRemoteProcessInstrument> shared = std::make_shared<QRNRemoteProcessInstrument>();
    return shared;
}

void QRNRemoteProcessInstrument::collectNewSample()
{
    if (!isSessionConnected())
        return;
    if (const std::optional<QVariantMap>& dataSet = VistrelPlusSession::current()->appExtensionDataSet())
        adoptRecordFromDataSet(*dataSet);
}

void QRNRemoteProcessInstrument::adoptRecordFromDataSet(const QVariantMap& dataSet)
{
    if (auto entry = transferEntry<VLPProcessInstrumentEntry>(dataSet.value(QLatin1String(VLPProcessInstrumentEntry::ClassName))))
        m_receivedEntry = std::move(entry);
}

QString QRNRemoteProcessInstrument::description() const
{
    return QStringLiteral("<%1> received process data: %2\n")
        .arg(className(), m_receivedEntry ? m_receivedEntry->description() : QStringLiteral("(null)"));
}

void QRNRemoteProcessInstrument::appExtensionDidChange()
{
    if (!isSessionConnected())
        m_receivedEntry.reset();
}
