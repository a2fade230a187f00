#pragma once

#include "extension/VLPSensorInstrumentEntry.h"
#include "instruments/QRNSystemInstrument.h"
#include "platform/notifications/NotificationCenter.h"

#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

// Temperatures, fans, package power and the generic hardware sensors as the
// app extension last reported them, plus the system's thermal state, which
// needs no app extension. It never talks to the app extension: each sample
// copies the sensor record out of the session's current data set.
class QRNExtendableSensorInstrument : public QRNSystemInstrument {
public:
    static constexpr char ClassName[] = "QRNExtendableSensorInstrument";

    // How the instrument sees the session; tests hand in their own.
    struct Session {
        std::function<bool()> isConnected;
        std::function<std::optional<QVariantMap>()> dataSet;
    };
    // The running application's session (none connected without one).
    static Session currentSession();
    // The kernel's thermal zones through the sysroot.
    static std::function<int()> systemThermalState();

    static std::shared_ptr<QRNExtendableSensorInstrument> sharedSensorInstrument();

    explicit QRNExtendableSensorInstrument(Session session = currentSession(), std::function<int()> thermalState = systemThermalState());
    ~QRNExtendableSensorInstrument() override;
    QRNExtendableSensorInstrument(const QRNExtendableSensorInstrument&) = delete;
    QRNExtendableSensorInstrument& operator=(const QRNExtendableSensorInstrument&) = delete;

    QString className() const override { return QLatin1String(ClassName); }
    void collectNewSample() override;
    // Takes a sample first, so it tells the present state.
    QString description() const override;

    bool shouldUseExtendedAccess() const { return m_shouldUseExtendedAccess; }
    void setShouldUseExtendedAccess(bool use) { m_shouldUseExtendedAccess = use; }
    bool hasExtendedAccess() const;
    // 0 nominal, 1 fair, 2 serious, 3 critical.
    qint64 thermalState() const { return m_thermalState; }
    const std::shared_ptr<const VLPSensorInstrumentEntry>& receivedEntry() const { return m_receivedEntry; }
    void setReceivedEntry(std::shared_ptr<const VLPSensorInstrumentEntry> entry) { m_receivedEntry = std::move(entry); }

    bool isPowerGadgetAvailable() const { return m_receivedEntry && m_receivedEntry->isPowerGadgetAvailable; }
    bool isAppleSiliconSupportAvailable() const { return m_receivedEntry && m_receivedEntry->isAppleSiliconSupportAvailable; }
    bool isPowerGadgetEnabled() const { return m_receivedEntry && m_receivedEntry->isPowerGadgetEnabled; }
    bool isAppleSiliconSupportEnabled() const { return m_receivedEntry && m_receivedEntry->isAppleSiliconSupportEnabled; }
    // Degrees Celsius; 0 without a record.
    double mainProcessorTemperature() const { return m_receivedEntry ? m_receivedEntry->mainCentigradeValue : 0.0; }
    QString temperatureAccessKey() const { return m_receivedEntry ? m_receivedEntry->mainTemperatureAccessKey : QString(); }

    quint64 numberOfFans() const { return m_receivedEntry ? quint64(m_receivedEntry->fanEntries.size()) : 0; }
    // 0 (or none) for an index beyond the fans.
    double roundsPerMinuteForFanAtIndex(quint64 index) const;
    double maxSpecifiedRoundsPerMinuteForFanAtIndex(quint64 index) const;
    std::optional<QString> locationIdentifierForFanAtIndex(quint64 index) const;
    std::shared_ptr<const VLPFanEntry> fanEntryAtIndex(quint64 index) const;
    // Empty without a record.
    QList<std::shared_ptr<const VLPPowerGadgetEntry>> powerGadgetEntries() const;
    QList<std::shared_ptr<const VLPAppleSiliconSensorEntry>> appleSiliconSensorEntries() const;

    // The session came, went or failed: without a connected client the
    // record goes, so nothing stale is shown as current.
    void appExtensionDidChange();

private:
    Session m_session;
    std::function<int()> m_thermalStateSource;
    bool m_shouldUseExtendedAccess = false;
    qint64 m_thermalState = 0;
    std::shared_ptr<const VLPSensorInstrumentEntry> m_receivedEntry;
    NotificationCenter::Token m_changeObserver = 0;
};
