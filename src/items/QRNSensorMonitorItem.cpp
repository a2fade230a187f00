#include "items/QRNSensorMonitorItem.h"

#include "extension/QRNExtendableSensorInstrument.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace {

constexpr quint32 GraphCapacity = 30;
constexpr qint64 RebuildThrottleMilliseconds = 1000;

enum QuantityType { Temperature = 1, Voltage = 2, Current = 3, Power = 4, Frequency = 13 };

void strikeRight(QRNTextPairView* view, const QString& text, bool struck)
{
    if (view)
        view->setRightStringValue(text, struck);
}

}

QRNSensorMonitorItem::QRNSensorMonitorItem()
    : QRNSensorMonitorItem(QRNExtendableSensorInstrument::sharedSensorInstrument())
{
}

QRNSensorMonitorItem::QRNSensorMonitorItem(std::shared_ptr<QRNExtendableSensorInstrument> instrument)
    : m_instrument(std::move(instrument))
{
    m_fanViews.reserve(10);
    m_fanGraphs.reserve(10);
    m_gadgetViews.reserve(10);
    m_siliconViews.reserve(30);
    addMonitorInstrument(m_instrument);
}

QRNSensorMonitorItem::~QRNSensorMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNSensorMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNSensorMonitorItem>(codes);
}

QStringList QRNSensorMonitorItem::settingNames()
{
    return {SettingName::UseAppExtension, SettingName::ShowFanSpeedGraphs, SettingName::UseFixRangeFanGraphs,
        SettingName::PermitPowerGadget, SettingName::PermitARMGadget};
}

void QRNSensorMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (!isBooleanValue(value))
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    else if (name.endsWith(SettingName::UseAppExtension))
        setShouldUseExtendedAccess(value.toBool());
    else if (name.endsWith(SettingName::ShowFanSpeedGraphs))
        setShowsFanSpeedGraphs(value.toBool());
    else if (name.endsWith(SettingName::UseFixRangeFanGraphs))
        setHasFixRangeFanSpeedGraphs(value.toBool());
    else if (name.endsWith(SettingName::PermitPowerGadget))
        setIsPermittingPowerGadget(value.toBool());
    else if (name.endsWith(SettingName::PermitARMGadget))
        setIsPermittingARMGadget(value.toBool());
    else
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
}

void QRNSensorMonitorItem::setShouldUseExtendedAccess(bool use)
{
    m_shouldUseExtendedAccess = use;
    m_instrument->setShouldUseExtendedAccess(use);
    rebuildMenu();
}

void QRNSensorMonitorItem::setShowsFanSpeedGraphs(bool shows)
{
    m_showsFanSpeedGraphs = shows;
    rebuildMenu();
}

void QRNSensorMonitorItem::setHasFixRangeFanSpeedGraphs(bool fixed)
{
    m_hasFixRangeFanSpeedGraphs = fixed;
    rebuildMenu();
}

void QRNSensorMonitorItem::setIsPermittingPowerGadget(bool permits)
{
    m_isPermittingPowerGadget = permits;
    rebuildMenu();
}

void QRNSensorMonitorItem::setIsPermittingARMGadget(bool permits)
{
    m_isPermittingARMGadget = permits;
    rebuildMenu();
}

void QRNSensorMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell)) {
        text->setStringValue(QStringLiteral("TMP"));
    } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell)) {
        graph->setCapacity(GraphCapacity);
        graph->setZoomsLocally(true);
    }
}

std::optional<QString> QRNSensorMonitorItem::localizedNameOfFanAtIndex(quint64 index) const
{
    const std::optional<QString> location = m_instrument->locationIdentifierForFanAtIndex(index);
    if (!location || location->isEmpty())
        return std::nullopt;
    const QByteArray key = location->toUtf8();
    const QString localized = QCoreApplication::translate("FanLocations", key.constData());
    if (localized == *location)
        return tr("Fan '%1'").arg(*location);
    return localized;
}

std::optional<QString> QRNSensorMonitorItem::localizedValueForIntelPowerGadgetEntry(const VLPPowerGadgetEntry& entry)
{
    switch (entry.quantityType) {
    case Frequency:
        return CDP::displayTextForFrequency(quint64(std::trunc(entry.value)) * 1'000'000ULL);
    case Power:
        return tr("%1 %2").arg(QLocale().toString(entry.value, 'f', 2), entry.unit);
    case Temperature:
        return presentationStringForCentigradeValue(entry.value);
    default:
        return std::nullopt;
    }
}

QString QRNSensorMonitorItem::localizedValueForAppleSiliconSensorEntry(const VLPAppleSiliconSensorEntry* entry)
{
    if (!entry)
        return {};
    const QLocale locale;
    const auto milli = [&](const char* unit) { return locale.toString(entry->currentValue / 1000.0, 'f', 2) + u' ' + QLatin1String(unit); };
    switch (entry->quantityType) {
    case Temperature:
        return presentationStringForCentigradeValue(entry->currentValue);
    case Voltage:
        return milli("V");
    case Current:
        return milli("A");
    case Power:
        return milli("W");
    default:
        return {};
    }
}

QString QRNSensorMonitorItem::presentationStringForCentigradeValue(double centigrade)
{
    // One cell shared by every menu, so the menu's temperatures follow the
    // unit and digits of the bar's.
    static QRNTemperatureMenuBarCell* const presenter = new QRNTemperatureMenuBarCell;
    presenter->setCentigradeValue(centigrade);
    return presenter->valueAsString();
}

QString QRNSensorMonitorItem::presentationStringForThermalState(qint64 thermalState)
{
    static const char* const names[] = {QT_TR_NOOP("Nominal"), QT_TR_NOOP("Fair"), QT_TR_NOOP("Serious"), QT_TR_NOOP("Critical")};
    const QString name = thermalState >= 0 && thermalState < 4 ? tr(names[thermalState]) : QString();
    return QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(
               QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(int(thermalState)))
        + u' ' + name;
}

QString QRNSensorMonitorItem::fanSpeedText(double roundsPerMinute)
{
    const QString number = QString::number(std::llround(std::max(0.0, roundsPerMinute))).rightJustified(5, u' ');
    return tr("%1 RPM").arg(number);
}

QString QRNSensorMonitorItem::toolTipText() const
{
    if (m_instrument->hasExtendedAccess())
        return tr("Sensors") + u'\n' + presentationStringForCentigradeValue(m_instrument->mainProcessorTemperature());
    return tr("Sensors") + u'\n' + presentationStringForThermalState(m_instrument->thermalState());
}

void QRNSensorMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("Status"), menu);
    m_statusView = addTextPairView(QString(), QString(), &menu);
    menu.addSeparator();
    m_fanViews.clear();
    m_fanGraphs.clear();
    m_gadgetViews.clear();
    m_siliconViews.clear();

    if (m_instrument->hasExtendedAccess()) {
        createFanRows(menu);
        menu.addSeparator();
        const auto gadgets = m_instrument->powerGadgetEntries();
        if (m_isPermittingPowerGadget && !gadgets.isEmpty()) {
            addHeadingView(tr("Intel(R) Power Gadget"), menu);
            for (const auto& entry : gadgets)
                m_gadgetViews.emplace_back(addTextPairView(entry->name, QString(), &menu));
            menu.addSeparator();
        }
        const auto sensors = m_instrument->appleSiliconSensorEntries();
        if (!sensors.isEmpty()) {
            addHeadingView(tr("Apple Silicon"), menu);
            for (const auto& entry : sensors)
                m_siliconViews.emplace_back(addTextPairView(entry->localizedName, QString(), &menu));
            menu.addSeparator();
        }
    }
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

void QRNSensorMonitorItem::createFanRows(StatusMenu& menu)
{
    const quint64 fans = m_instrument->numberOfFans();
    if (fans == 0)
        return;
    addHeadingView(tr("Fan Revs"), menu);
    for (quint64 index = 0; index < fans; ++index) {
        m_fanViews.emplace_back(addTextPairView(localizedNameOfFanAtIndex(index).value_or(QString()), QString(), &menu));
        if (!m_showsFanSpeedGraphs)
            continue;
        QRNGraphMenuView* graph = addGraphView(menu);
        graph->setCapacity(GraphCapacity);
        // A fan that does not tell its highest speed zooms: a range of 0 to 0
        // would draw every speed at the top.
        const double maximum = m_instrument->maxSpecifiedRoundsPerMinuteForFanAtIndex(index);
        if (m_hasFixRangeFanSpeedGraphs && maximum > 0.0)
            graph->setFixedRangeWithMinimum(0.0, maximum);
        else
            graph->setZoomsLocally(true);
        m_fanGraphs.emplace_back(graph);
    }
}

bool QRNSensorMonitorItem::rebuildMenuIfEntriesChanged()
{
    const bool changed = m_instrument->numberOfFans() != m_fanViews.size()
        || (m_isPermittingPowerGadget && size_t(m_instrument->powerGadgetEntries().size()) != m_gadgetViews.size())
        || size_t(m_instrument->appleSiliconSensorEntries().size()) != m_siliconViews.size();
    if (!changed)
        return false;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!m_timeOfRebuildDuringUpdate || m_timeOfRebuildDuringUpdate->msecsTo(now) > RebuildThrottleMilliseconds) {
        m_timeOfRebuildDuringUpdate = now;
        rebuildMenu();
        return true;
    }
    Log::notice("Throttling synchronization of sensor menu user interface");
    return false;
}

void QRNSensorMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    const bool wanted = m_shouldUseExtendedAccess;
    const bool access = m_instrument->hasExtendedAccess();
    double centigrade = QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(int(m_instrument->thermalState()));
    if (access) {
        if (rebuildMenuIfEntriesChanged())
            return;
        centigrade = m_instrument->mainProcessorTemperature();
    }
    if (menuBar)
        pushIntoCells(centigrade, wanted, access);
    for (size_t index = 0; index < m_fanGraphs.size(); ++index)
        if (m_fanGraphs[index])
            m_fanGraphs[index]->addNewValue(access ? m_instrument->roundsPerMinuteForFanAtIndex(index) : 0.0);
    if (menuItems && isMenuVisible())
        updateMenuRows(access);
}

void QRNSensorMonitorItem::pushIntoCells(double centigrade, bool wanted, bool access)
{
    QRNMenuBarItemImage* image = menuBarImage();
    if (!image)
        return;
    for (const auto& cell : image->menuBarCells()) {
        if (auto* temperature = dynamic_cast<QRNTemperatureMenuBarCell*>(cell.get())) {
            temperature->setShouldShowThermalState(!wanted);
            temperature->setIsInNoDataMode(wanted && !access);
            temperature->setCentigradeValue(centigrade);
        } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(cell.get())) {
            graph->addNewValue(centigrade);
        }
    }
    image->refreshCells();
}

void QRNSensorMonitorItem::updateMenuRows(bool access)
{
    const bool struck = !access;
    if (m_statusView)
        m_statusView->setLeftStringValue(presentationStringForThermalState(m_instrument->thermalState()));
    for (size_t index = 0; index < m_fanViews.size(); ++index)
        strikeRight(m_fanViews[index].data(), fanSpeedText(access ? m_instrument->roundsPerMinuteForFanAtIndex(index) : 0.0), struck);
    if (m_isPermittingPowerGadget) {
        const auto gadgets = m_instrument->powerGadgetEntries();
        for (size_t index = 0; index < m_gadgetViews.size(); ++index) {
            const std::optional<QString> value = qsizetype(index) < gadgets.size()
                ? localizedValueForIntelPowerGadgetEntry(*gadgets[qsizetype(index)]) : std::nullopt;
            strikeRight(m_gadgetViews[index].data(), value.value_or(QString()), struck);
        }
    }
    const auto sensors = m_instrument->appleSiliconSensorEntries();
    for (size_t index = 0; index < m_siliconViews.size(); ++index) {
        QRNTextPairView* view = m_siliconViews[index];
        if (!view)
            continue;
        const VLPAppleSiliconSensorEntry* entry = qsizetype(index) < sensors.size() ? sensors[qsizetype(index)].get() : nullptr;
        QString text = localizedValueForAppleSiliconSensorEntry(entry);
        bool atMinimum = false;
        if (entry) {
            const QVariant minimum = entry->numericProperties.value(QStringLiteral("RangeMinimum"));
            bool ok = false;
            const double lowest = minimum.toDouble(&ok);
            atMinimum = ok && lowest >= entry->currentValue;
        }
        // A reading at or under the sensor's lowest specified value is no
        // measurement, only a bound.
        if (atMinimum)
            text = QStringLiteral("%1 %2").arg(QChar(0x2264), text);
        const MenuBarColor color = atMinimum ? MenuBarColor::System::Label : MenuBarColor::System::Text;
        view->setLeftColor(color);
        view->setRightColor(color);
        view->setRightStringValue(text, struck);
    }
    updateMenuWidthForTextPairViewsIfNeeded();
}
