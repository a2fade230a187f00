#include "app/SettingsRouter.h"

#include "instruments/QRNWANIPAddress.h"
#include "items/MonitorItemClasses.h"
#include "items/QRNMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/Log.h"
#include "settings/SettingNames.h"
#include "settings/UpdateSettingNames.h"

namespace {

UserDefaults& defaults()
{
    return UserDefaults::standardUserDefaults();
}

bool isLayoutSetting(const QString& name)
{
    return name == SettingName::BarSuppressMainMenuIcon || name == SettingName::BarSuppressDecimalPlaces
        || name == SettingName::BarHistoryScaling || name == SettingName::BarGraphScaling;
}

} // namespace

SettingsRouter::SettingsRouter(Receivers receivers)
    : m_receivers(std::move(receivers))
{
}

void SettingsRouter::handleChangeOfValue(const QVariant& value, const QString& rawKey)
{
    const SettingsKey key = SettingsKey::parse(rawKey);
    switch (targetForUserDefaultWithKey(key)) {
    case Target::Controller:
        handleChangeOfUserDefault(key, value);
        break;
    case Target::Item:
        if (QRNMonitorItem* item = m_receivers.liveItem(MonitorItemClasses::shared().findForTopic(key.topic())->name))
            item->handleChangeOfUserDefault(key, value);
        break;
    case Target::None:
        break;
    }
}

SettingsRouter::Target SettingsRouter::targetForUserDefaultWithKey(const SettingsKey& key)
{
    if (key.isEmpty())
        return Target::None;
    if (!key.hasTopic() || key.name() == SettingName::IsActive || key.topic() == TopicName::Preferences
        || key.topic() == TopicName::MenuBarLayout)
        return Target::Controller;
    return MonitorItemClasses::shared().findForTopic(key.topic()) ? Target::Item : Target::None;
}

void SettingsRouter::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name == SettingName::IsActive) {
        if (const MonitorItemClass* itemClass = MonitorItemClasses::shared().findForTopic(key.topic()))
            m_receivers.activationChanged(*itemClass);
        return;
    }
    if (name == SettingName::MenuBarConfiguration)
        return;
    if (key.topic() == TopicName::MenuBarLayout) {
        // The layout page applies these itself as it writes them.
        if (!isLayoutSetting(name))
            reportUnhandled(key);
        return;
    }
    if (key.topic() == TopicName::Preferences) {
        handlePreference(key, value);
        return;
    }
    // The update check reads its switch when it runs.
    if (key.hasTopic()
        || (name != SettingName::PassedFirstStart && name != SettingName::UseAppExtension
            && name != UpdateSettingName::AutoUpdateNotification))
        reportUnhandled(key);
}

void SettingsRouter::handlePreference(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name == SettingName::SuppressSwitchingNotice)
        return;
    if (name == SettingName::MemoryDisplayMode) {
        // The number formatting reads the mode at the application level.
        defaults().setObject(name, value);
        return;
    }
    if (name == SettingName::TemperatureUnit) {
        QRNTemperatureMenuBarCell::setTemperatureUnit(value.toInt());
        return;
    }
    if (name == SettingName::WANProviderCode) {
        QRNWANIPAddress::setServiceProvider(value.toLongLong());
        return;
    }
    // The reflector host names are read when a query starts.
    if (name.startsWith(QLatin1String("WAN")) && name.contains(QLatin1String("HostIPv")))
        return;
    reportUnhandled(key);
}

void SettingsRouter::reportUnhandled(const SettingsKey& key)
{
    Log::error("%{public}@: cannot handle change of user default '%{public}@'.\n",
        {QStringLiteral("ApplicationDelegate"), key.toString()});
}

void SettingsRouter::pushUserDefaultsToMonitorItem(QRNMonitorItem& item)
{
    const MonitorItemClass* itemClass = MonitorItemClasses::shared().find(item.className());
    if (!itemClass)
        return;
    const QVariantMap stored = defaults().domainValues(UserDefaults::Domain::Host);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const SettingsKey key = SettingsKey::parse(it.key());
        if (key.topic() == itemClass->topicName && key.name() != SettingName::MenuBarConfiguration
            && key.name() != SettingName::IsActive)
            item.handleChangeOfUserDefault(key, it.value());
    }
}

void SettingsRouter::establishClassHandledPreferences()
{
    const auto key = &SettingsKey::stored;
    QRNTemperatureMenuBarCell::setTemperatureUnit(int(defaults().integerForKey(key(TopicName::Preferences, SettingName::TemperatureUnit))));
    QRNWANIPAddress::setServiceProvider(defaults().integerForKey(key(TopicName::Preferences, SettingName::WANProviderCode)));
    // A unit mode written while Vistrel was not running reaches the number formatting too.
    const QString memoryDisplayMode = key(TopicName::Preferences, SettingName::MemoryDisplayMode);
    if (defaults().hasKey(memoryDisplayMode))
        defaults().setObject(SettingName::MemoryDisplayMode, defaults().objectForKey(memoryDisplayMode));
    const bool suppress = defaults().boolForKey(key(TopicName::MenuBarLayout, SettingName::BarSuppressDecimalPlaces));
    QRNNumericMenuBarCell::setSuppressesFractionDigits(suppress);
    QRNTemperatureMenuBarCell::setSuppressesFractionDigits(suppress);
    QRNGraphMenuBarCell::setWidthScalingFactor(defaults().integerForKey(key(TopicName::MenuBarLayout, SettingName::BarHistoryScaling)) / 100.0);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(
        defaults().integerForKey(key(TopicName::MenuBarLayout, SettingName::BarGraphScaling)) / 100.0);
}
