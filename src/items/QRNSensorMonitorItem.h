#pragma once

#include "items/QRNMonitorItem.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNTextPairView.h"

#include <QDateTime>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QRNExtendableSensorInstrument;
class VLPAppleSiliconSensorEntry;
class VLPPowerGadgetEntry;

// Temperatures, fans and power. Without the app extension the cells show
// the system's thermal state as a pseudo-temperature; with it the main
// processor temperature, and the menu lists every fan (optionally with a
// graph), the package power and frequency, and every hardware sensor.
// Sections come and go with the entries the app extension reports.
class QRNSensorMonitorItem : public QRNMonitorItem {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "QRNSensorMonitorItem";
    static constexpr double DefaultMonitoringInterval = 5.0;

    QRNSensorMonitorItem();
    // Tests hand in an instrument over a session of their own.
    explicit QRNSensorMonitorItem(std::shared_ptr<QRNExtendableSensorInstrument> instrument);
    ~QRNSensorMonitorItem() override;

    QString className() const override { return QLatin1String(ClassName); }
    static std::unique_ptr<QRNMonitorItem> create(const QStringList& codes);
    static QStringList settingNames();
    void handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value) override;
    void updateInterfaceMenuBar(bool menuBar, bool menuItems) override;

    bool shouldUseExtendedAccess() const { return m_shouldUseExtendedAccess; }
    void setShouldUseExtendedAccess(bool use);
    bool showsFanSpeedGraphs() const { return m_showsFanSpeedGraphs; }
    void setShowsFanSpeedGraphs(bool shows);
    bool hasFixRangeFanSpeedGraphs() const { return m_hasFixRangeFanSpeedGraphs; }
    void setHasFixRangeFanSpeedGraphs(bool fixed);
    bool isPermittingPowerGadget() const { return m_isPermittingPowerGadget; }
    void setIsPermittingPowerGadget(bool permits);
    bool isPermittingARMGadget() const { return m_isPermittingARMGadget; }
    void setIsPermittingARMGadget(bool permits);

    // None for an index beyond the fans or a fan without location.
    std::optional<QString> localizedNameOfFanAtIndex(quint64 index) const;
    static std::optional<QString> localizedValueForIntelPowerGadgetEntry(const VLPPowerGadgetEntry& entry);
    static QString localizedValueForAppleSiliconSensorEntry(const VLPAppleSiliconSensorEntry* entry);
    // In the unit and format of the temperature cells.
    static QString presentationStringForCentigradeValue(double centigrade);
    static QString presentationStringForThermalState(qint64 thermalState);
    // " 1200 RPM": the speed without fraction, padded to five characters.
    static QString fanSpeedText(double roundsPerMinute);

    QRNExtendableSensorInstrument& sensorInstrument() const { return *m_instrument; }
    QRNTextPairView* statusView() const { return m_statusView; }
    const std::vector<QPointer<QRNTextPairView>>& fanViews() const { return m_fanViews; }
    const std::vector<QPointer<QRNGraphMenuView>>& fanGraphs() const { return m_fanGraphs; }
    const std::vector<QPointer<QRNTextPairView>>& gadgetViews() const { return m_gadgetViews; }
    const std::vector<QPointer<QRNTextPairView>>& siliconViews() const { return m_siliconViews; }
    const std::optional<QDateTime>& timeOfRebuildDuringUpdate() const { return m_timeOfRebuildDuringUpdate; }
    void setTimeOfRebuildDuringUpdate(const std::optional<QDateTime>& time) { m_timeOfRebuildDuringUpdate = time; }

protected:
    void customizeNewMenuBarCell(QRNMenuBarCell& cell) override;
    void createMenuItemsInMenu(StatusMenu& menu) override;
    QString toolTipText() const override;

private:
    // True when the menu was rebuilt (and this update should end).
    bool rebuildMenuIfEntriesChanged();
    void pushIntoCells(double centigrade, bool wanted, bool access);
    void updateMenuRows(bool access);
    void createFanRows(StatusMenu& menu);

    std::shared_ptr<QRNExtendableSensorInstrument> m_instrument;
    bool m_shouldUseExtendedAccess = false;
    bool m_showsFanSpeedGraphs = false;
    bool m_hasFixRangeFanSpeedGraphs = false;
    bool m_isPermittingPowerGadget = false;
    bool m_isPermittingARMGadget = false;
    QPointer<QRNTextPairView> m_statusView;
    std::vector<QPointer<QRNTextPairView>> m_fanViews;
    std::vector<QPointer<QRNGraphMenuView>> m_fanGraphs;
    std::vector<QPointer<QRNTextPairView>> m_gadgetViews;
    std::vector<QPointer<QRNTextPairView>> m_siliconViews;
    std::optional<QDateTime> m_timeOfRebuildDuringUpdate;
};
