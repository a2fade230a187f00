#include "configuration/SensorTopic.h"

#include "configuration/SettingControls.h"
#include "extension/VLPSensorInstrumentEntry.h"
#include "extension/VistrelPlusSession.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The sensor record of the connected session's data set, if any.
std::shared_ptr<const VLPSensorInstrumentEntry> connectedSensorEntry()
{
    if (!SensorTopic::canUseExtendedAccess())
        return nullptr;
    const std::optional<QVariantMap>& dataSet = VistrelPlusSession::current()->appExtensionDataSet();
    if (!dataSet)
        return nullptr;
    return transferEntry<VLPSensorInstrumentEntry>(dataSet->value(QLatin1String(VLPSensorInstrumentEntry::ClassName)));
}

}

SensorTopic::SensorTopic()
    : MonitorItemTopic(QStringLiteral("thermometer"), tr("thermometer"),
        ExampleCellTexts::labelled(QStringLiteral("TMP")))
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto refresh = [this](const QString&, const QVariantMap&) { appExtensionDidChangeOrReceive(); };
    m_changeObserver = center.addObserver(QLatin1String(VistrelPlusSession::DidChangeNotification), refresh);
    m_receiveObserver = center.addObserver(QLatin1String(VistrelPlusSession::DidReceiveNotification), refresh);
}

SensorTopic::~SensorTopic()
{
    NotificationCenter::defaultCenter().removeObserver(m_changeObserver);
    NotificationCenter::defaultCenter().removeObserver(m_receiveObserver);
}

void SensorTopic::storeSwitch(const QString& name, bool on)
{
    QRNHostUserDefaults::setBool(on, topicUserDefaultsKeyForKey(name));
}

void SensorTopic::setShouldUseExtendedAccess(bool use)
{
    storeSwitch(SettingName::UseAppExtension, use);
}

void SensorTopic::setIsShowingFanSpeedGraphs(bool shows)
{
    storeSwitch(SettingName::ShowFanSpeedGraphs, shows);
}

void SensorTopic::setHasFixRangeFanSpeedGraphs(bool fixed)
{
    storeSwitch(SettingName::UseFixRangeFanGraphs, fixed);
}

void SensorTopic::setIsPermittingPowerGadget(bool permits)
{
    storeSwitch(SettingName::PermitPowerGadget, permits);
    if (VistrelPlusSession* session = VistrelPlusSession::current())
        session->notifyAppExtensionAboutPreferenceChange();
}

void SensorTopic::setIsPermittingARMGadget(bool permits)
{
    storeSwitch(SettingName::PermitARMGadget, permits);
    if (VistrelPlusSession* session = VistrelPlusSession::current())
        session->notifyAppExtensionAboutPreferenceChange();
}

bool SensorTopic::canUseExtendedAccess()
{
    const VistrelPlusSession* session = VistrelPlusSession::current();
    return session && session->isConnected();
}

bool SensorTopic::isPowerGadgetAvailable()
{
    const auto entry = connectedSensorEntry();
    return entry && entry->isPowerGadgetAvailable;
}

bool SensorTopic::isARMGadgetAvailable()
{
    const auto entry = connectedSensorEntry();
    return entry && entry->isAppleSiliconSupportAvailable;
}

QString SensorTopic::availabilityText() const
{
    if (!canUseExtendedAccess())
        return tr("Vistrel Plus is not connected: the item shows the system's thermal state.");
    QStringList offers {tr("temperatures and fans")};
    if (isPowerGadgetAvailable())
        offers << tr("processor power and frequency");
    if (isARMGadgetAvailable())
        offers << tr("hardware sensors");
    return tr("Vistrel Plus is connected and reports %1.").arg(QLocale().createSeparatedList(offers));
}

void SensorTopic::appExtensionDidChangeOrReceive()
{
    if (m_availability)
        m_availability->setText(availabilityText());
}

QWidget* SensorTopic::createContentView()
{
    QWidget* page = MonitorItemTopic::createContentView();
    QVBoxLayout* layout = pageLayout();
    const auto addSwitch = [&](const QString& text, const QString& objectName, const QString& name, void (SensorTopic::*setter)(bool)) {
        layout->addWidget(SettingControls::makeSwitch(text, objectName, topicUserDefaultsKeyForKey(name),
            [this, setter](bool on) { (this->*setter)(on); }));
    };
    addSwitch(tr("Show temperatures and fans from Vistrel Plus"), QStringLiteral("useAppExtension"),
        SettingName::UseAppExtension, &SensorTopic::setShouldUseExtendedAccess);
    addSwitch(tr("Show a graph under each fan"), QStringLiteral("fanSpeedGraphs"),
        SettingName::ShowFanSpeedGraphs, &SensorTopic::setIsShowingFanSpeedGraphs);
    addSwitch(tr("Fan graphs from zero to the fan's highest speed (instead of zooming)"), QStringLiteral("fixRangeFanGraphs"),
        SettingName::UseFixRangeFanGraphs, &SensorTopic::setHasFixRangeFanSpeedGraphs);
    addSwitch(tr("Show processor power and frequency"), QStringLiteral("permitPowerGadget"),
        SettingName::PermitPowerGadget, &SensorTopic::setIsPermittingPowerGadget);
    addSwitch(tr("Show the hardware sensors"), QStringLiteral("permitARMGadget"),
        SettingName::PermitARMGadget, &SensorTopic::setIsPermittingARMGadget);

    m_availability = new QLabel(availabilityText());
    m_availability->setObjectName(QStringLiteral("appExtensionAvailability"));
    m_availability->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(m_availability, 1);
    auto* status = new QPushButton(tr("Vistrel Plus..."));
    status->setObjectName(QStringLiteral("checkAppExtensionStatus"));
    connect(status, &QPushButton::clicked, this, &SensorTopic::appExtensionPageRequested);
    row->addWidget(status);
    layout->addLayout(row);
    return page;
}
