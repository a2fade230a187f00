#pragma once

#include "extension/VLPProcessInstrumentEntry.h"
#include "instruments/QRNSystemInstrument.h"
#include "platform/notifications/NotificationCenter.h"

#include <QVariantMap>

#include <memory>

// The busiest processes by processor and by memory as Vistrel Plus last
// reported them. It never talks to the companion: each sample copies the
// process record out of the session's current data set, and the record is
// kept until the session is lost, so a payload without it changes nothing.
class QRNRemoteProcessInstrument : public QRNSystemInstrument {
public:
    static constexpr char ClassName[] = "QRNRemoteProcessInstrument";

    QRNRemoteProcessInstrument();
    ~QRNRemoteProcessInstrument() override;
    QRNRemoteProcessInstrument(const QRNRemoteProcessInstrument&) = delete;
    QRNRemoteProcessInstrument& operator=(const QRNRemoteProcessInstrument&) = delete;

    static std::shared_ptr<QRNRemoteProcessInstrument> sharedProcessInstrument();

    // Takes the record of the running session's data set while it is connected.
    void collectNewSample() override;
    // The record under its class name becomes the received one; a data set
    // without it, or with something else there, keeps the previous one.
    void adoptRecordFromDataSet(const QVariantMap& dataSet);
    QString description() const override;
    QString className() const override { return QLatin1String(ClassName); }

    // None before the first record and after the session was lost.
    std::shared_ptr<const VLPProcessInstrumentEntry> receivedEntry() const { return m_receivedEntry; }
    void setReceivedEntry(std::shared_ptr<const VLPProcessInstrumentEntry> entry) { m_receivedEntry = std::move(entry); }

    // The session changed: without a connected client the record goes.
    void appExtensionDidChange();

private:
    std::shared_ptr<const VLPProcessInstrumentEntry> m_receivedEntry;
    NotificationCenter::Token m_changeObserver = 0;
};
