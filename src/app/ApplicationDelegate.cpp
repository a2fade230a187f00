#include "app/ApplicationDelegate.h"

#include "app/EquipmentWatches.h"
#include "app/PlaceholderItem.h"
#include "app/SupportWindows.h"
#include "app/VistrelPlusNotices.h"
#include "app/WelcomeWindow.h"
#include "configuration/ConfigurationWindow.h"
#include "configuration/ConfigurationWindowController.h"
#include "configuration/GUISwitchNoticeWindowController.h"
#include "extension/TransferPayload.h"
#include "extension/VistrelPlusSession.h"
#include "items/MonitorItemClasses.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "platform/defaults/DefaultsWatcher.h"
#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/statusbar/StatusBar.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"
#include "support/ApplicationName.h"
#include "support/DiagnosticReport.h"
#include "support/EventLog.h"
#include "support/QRNProcessInfo.h"

#include <QApplication>

namespace {

UserDefaults& defaults()
{
    return UserDefaults::standardUserDefaults();
}

bool hasGraphicalInterface()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

ApplicationDelegate::ApplicationDelegate()
    : m_router({[this](const MonitorItemClass& itemClass) { activationChanged(itemClass); },
          [this](const QString& className) { return activeMonitorItemWithClassName(className); }})
{
    EquipmentWatches::start(defaults().boolForKey(SettingName::SuppressDiskSerialsInMenus));
    m_vistrelPlusSession = std::make_unique<VistrelPlusSession>();
    if (hasGraphicalInterface()) {
        m_switchNoticeWindowController = std::make_unique<GUISwitchNoticeWindowController>();
        m_supportWindows = std::make_unique<SupportWindows>();
        m_vistrelPlusNotices = std::make_unique<VistrelPlusNotices>(*m_vistrelPlusSession);
    }
}

ApplicationDelegate::~ApplicationDelegate()
{
    QRNHostUserDefaults::setGlobalChangeDelegate({});
    // Items report their closing menus while they go; nothing may answer then.
    for (QRNMonitorItem* item : m_scheduler.items())
        item->disconnect(this);
    if (m_mainMenuMonitorItem)
        m_mainMenuMonitorItem->disconnect(this);
}

void ApplicationDelegate::applicationDidFinishLaunching()
{
    const bool firstStartOfThisVersion = !defaults().hasKey(SettingName::PassedFirstStart)
        || defaults().integerForKey(SettingName::PassedFirstStart) != FirstStartVersionCode;
    QRNHostUserDefaults::setGlobalChangeDelegate(
        [this](const QVariant& value, const QString& key) { handleChangeOfValue(value, key); });
    // Settings changed by another program take effect as if written here.
    auto* watcher = new DefaultsWatcher(defaults(), this);
    connect(watcher, &DefaultsWatcher::keysChanged, this, [this](const QStringList& keys) {
        for (const QString& key : keys)
            handleChangeOfValue(defaults().objectForKey(key), key);
    });
    EventLog::appendString(DiagnosticReport::header(localizedApplicationName(),
                               DiagnosticReport::presentedVersion(QStringLiteral(VISTREL_VERSION)),
                               QRNProcessInfo::processInfo().operatingSystemVersionCode()),
        false);
    SettingsRouter::establishClassHandledPreferences();
    m_vistrelPlusSession->start();
    activateAllConfiguredMonitorItems();
    EventLog::appendString(m_scheduler.instrumentDescriptions(), false);

    EventLog::setEnabled(defaults().boolForKey(SettingName::EnableEventLogging));
    EventLog::append(QStringLiteral("*** Event logging is enabled. App is about to complete its startup phase.\n"));

    setFullGUIEnabled(false);
    if (firstStartOfThisVersion)
        handleFirstLaunchOfNewVersion();
}

void ApplicationDelegate::handleFirstLaunchOfNewVersion()
{
    const bool veryFirstStart = !defaults().hasKey(SettingName::PassedFirstStart);
    // Every page writes its cells and its switch through the routed writer,
    // which creates the items one by one; the window shows next anyway.
    if (ConfigurationWindowController* window = veryFirstStart ? loadConfigurationWindow() : nullptr)
        window->activateAllFeaturesOfAllTopics();
    setFullGUIEnabled(true);
    openPreferences();
    QRNHostUserDefaults::setInteger(FirstStartVersionCode, SettingName::PassedFirstStart);

    auto occasion = WelcomeWindow::Occasion::SettingsTakenOver;
    if (veryFirstStart) {
        occasion = WelcomeWindow::Occasion::FirstStart;
    } else if (defaults().boolForKey(SettingName::KeepInMenuBar)) {
        occasion = WelcomeWindow::Occasion::MenuBarPartRetired;
        // There is no separate login item to switch off on Linux; starting at
        // login is an XDG autostart entry the user manages.
        defaults().setObject(SettingName::KeepInMenuBar, false);
    }
    if (!hasGraphicalInterface())
        return;
    if (!m_welcomeWindow)
        m_welcomeWindow = std::make_unique<WelcomeWindow>();
    m_welcomeWindow->present(occasion);
}

QWidget* ApplicationDelegate::welcomeWindow() const
{
    return m_welcomeWindow.get();
}

void ApplicationDelegate::activateAllConfiguredMonitorItems()
{
    // Switches only items on: one already live stays, whatever its stored switch says.
    for (const MonitorItemClass& itemClass : MonitorItemClasses::shared().rows()) {
        if (defaults().boolForKey(SettingsKey::stored(itemClass.topicName, SettingName::IsActive)))
            activateAsStored(itemClass);
    }
    setMainMenuIconDisabled(defaults().boolForKey(SettingsKey::stored(TopicName::MenuBarLayout, SettingName::BarSuppressMainMenuIcon)));
    applyPlaceholderRule();
}

void ApplicationDelegate::activate(bool on, const QString& className, const std::optional<QStringList>& cellConfiguration)
{
    if (className.isEmpty() || (on && !cellConfiguration))
        return;
    const MonitorItemClass* itemClass = MonitorItemClasses::shared().find(className);
    if (!itemClass || !itemClass->isAvailable())
        return;
    if (!on) {
        if (std::unique_ptr<QRNMonitorItem> item = m_scheduler.remove(className, itemClass->defaultMonitoringInterval)) {
            item->unlinkFromMenu();
            retire(std::move(item));
        }
        return;
    }
    // One live item per class: switching on an item that is on changes nothing.
    if (activeMonitorItemWithClassName(className))
        return;
    std::unique_ptr<QRNMonitorItem> item = itemClass->create(*cellConfiguration);
    if (!item)
        return;
    adopt(*item);
    QRNMonitorItem& added = m_scheduler.add(std::move(item), itemClass->defaultMonitoringInterval);
    SettingsRouter::pushUserDefaultsToMonitorItem(added);
}

void ApplicationDelegate::adopt(QRNMonitorItem& item)
{
    connect(&item, &QRNMonitorItem::menuOpened, this, &ApplicationDelegate::registerOpenMenuForMonitorItem);
    connect(&item, &QRNMonitorItem::menuClosed, this, [this](QRNMonitorItem* closed) {
        // A late report from an earlier menu does not end the tracking of the one opened since.
        StatusItem* open = m_menuTracker.itemWithOpenMenu();
        if (!open || open == closed->statusItem())
            registerOpenMenuForMonitorItem(nullptr);
    });
    connect(&item, &QRNMonitorItem::preferencesRequested, this, &ApplicationDelegate::openPreferenceSettingsForMonitorItem);
    connect(&item, &QRNMonitorItem::diagnosticsRequested, this, &ApplicationDelegate::showDiagnosticsWindow);
    connect(&item, &QRNMonitorItem::removalRequested, this, &ApplicationDelegate::requestDeactivationOfMonitorItem);
}

void ApplicationDelegate::retire(std::unique_ptr<QRNMonitorItem> item)
{
    if (item->statusItem() && m_menuTracker.itemWithOpenMenu() == item->statusItem())
        registerOpenMenuForMonitorItem(nullptr);
    item->disconnect(this);
    // The item may be the caller (it asked to be removed): delete it once
    // control is back in the event loop.
    item.release()->deleteLater();
}

QRNMonitorItem* ApplicationDelegate::activeMonitorItemWithClassName(const QString& className) const
{
    return m_scheduler.activeMonitorItemWithClassName(className);
}

void ApplicationDelegate::requestDeactivationOfMonitorItem(QRNMonitorItem* item)
{
    if (!item)
        return;
    const QString className = item->className();
    const MonitorItemClass* itemClass = MonitorItemClasses::shared().find(className);
    if (itemClass)
        defaults().setObject(SettingsKey::stored(itemClass->topicName, SettingName::IsActive), false, UserDefaults::Domain::Host);
    activate(false, className, std::nullopt);
    applyPlaceholderRule();
    // The page's switch follows; its routed write finds no item left to remove.
    if (itemClass && m_configurationWindowController) {
        if (ConfigurationTopic* page = m_configurationWindowController->topicForClassName(itemClass->topicName))
            page->setIsFeatureActive(false);
    }
}

void ApplicationDelegate::activationChanged(const MonitorItemClass& itemClass)
{
    activateAsStored(itemClass);
    applyPlaceholderRule();
}

void ApplicationDelegate::activateAsStored(const MonitorItemClass& itemClass)
{
    const QVariant cells = defaults().objectForKey(SettingsKey::stored(itemClass.topicName, SettingName::MenuBarConfiguration));
    activate(defaults().boolForKey(SettingsKey::stored(itemClass.topicName, SettingName::IsActive)), itemClass.name,
        PropertyList::isArray(cells) ? std::optional<QStringList>(cells.toStringList()) : std::nullopt);
}

void ApplicationDelegate::handleChangeOfValue(const QVariant& value, const QString& key)
{
    m_router.handleChangeOfValue(value, key);
}

void ApplicationDelegate::applyPlaceholderRule()
{
    setPlaceholderItemActive(m_scheduler.isEmpty() && !m_mainMenuMonitorItem);
}

void ApplicationDelegate::setPlaceholderItemActive(bool active)
{
    if (active == bool(m_placeholder))
        return;
    if (!active) {
        m_placeholder.reset();
        return;
    }
    m_placeholder = std::make_unique<PlaceholderItem>();
    connect(m_placeholder.get(), &PlaceholderItem::preferencesRequested, this,
        &ApplicationDelegate::openConfigurationWindowForPlaceholderItem);
}

void ApplicationDelegate::setMainMenuIconDisabled(bool disabled)
{
    if (disabled == !m_mainMenuMonitorItem)
        return;
    if (disabled) {
        m_mainMenuMonitorItem->unlinkFromMenu();
        retire(std::move(m_mainMenuMonitorItem));
    } else if (const auto& create = MonitorItemClasses::shared().createMainMenuItem) {
        m_mainMenuMonitorItem = create();
        adopt(*m_mainMenuMonitorItem);
        if (auto* mainMenu = qobject_cast<QRNMainMenuMonitorItem*>(m_mainMenuMonitorItem.get())) {
            connect(mainMenu, &QRNMainMenuMonitorItem::aboutRequested, this, [this] {
                setFullGUIEnabled(true);
                m_supportWindows->orderFrontStandardAboutPanel();
            });
            if (m_supportWindows)
                connect(mainMenu, &QRNMainMenuMonitorItem::updateCheckRequested, m_supportWindows.get(),
                    &SupportWindows::checkForSoftwareUpdate);
            connect(mainMenu, &QRNMainMenuMonitorItem::helpRequested, this, &SupportWindows::showHelp);
            connect(mainMenu, &QRNMainMenuMonitorItem::quitRequested, this, &ApplicationDelegate::terminateApplication);
        }
    }
    applyPlaceholderRule();
}

ConfigurationWindowController* ApplicationDelegate::loadConfigurationWindow()
{
    if (m_configurationWindowController || !hasGraphicalInterface())
        return m_configurationWindowController.get();
    m_configurationWindowController = std::make_unique<ConfigurationWindowController>(localizedApplicationName());
    ConfigurationWindowController& window = *m_configurationWindowController;
    connect(&window, &ConfigurationWindowController::windowWillClose, this, [this] { setFullGUIEnabled(false); });
    connect(&window, &ConfigurationWindowController::mainMenuIconSuppressionChanged, this,
        &ApplicationDelegate::setMainMenuIconDisabled);
    window.loadConfigurationTopics();
    window.completeLaunchSetupOfAllTopics();
    const QString selectedTopic = defaults().stringForKey(SettingName::SelectedTopicClass);
    if (!selectedTopic.isEmpty())
        window.selectTopicWithClassName(selectedTopic);
    return &window;
}

QWidget* ApplicationDelegate::configurationWindow() const
{
    return m_configurationWindowController ? &m_configurationWindowController->window() : nullptr;
}

void ApplicationDelegate::setFullGUIEnabled(bool enabled)
{
    if (enabled == m_fullGUIEnabled)
        return;
    m_fullGUIEnabled = enabled;
    const bool suppressNotice = defaults().boolForKey(SettingsKey::stored(TopicName::Preferences, SettingName::SuppressSwitchingNotice));
    if (enabled) {
        if (ConfigurationWindowController* window = loadConfigurationWindow())
            window->present();
        if (m_switchNoticeWindowController && !suppressNotice)
            m_switchNoticeWindowController->runNotificationForGUIEnabled(true);
        m_idlePageRelease.setInUse(true);
        return;
    }
    if (suppressNotice || !m_switchNoticeWindowController)
        leaveFullInterface();
    else
        m_switchNoticeWindowController->runNotificationForGUIEnabled(false, [this] { leaveFullInterface(); });
}

void ApplicationDelegate::leaveFullInterface()
{
    if (m_configurationWindowController)
        m_configurationWindowController->hide();
    m_idlePageRelease.setInUse(false);
}

void ApplicationDelegate::openPreferenceSettingsForMonitorItem(QRNMonitorItem* item)
{
    if (!item || item->className().isEmpty())
        return;
    const MonitorItemClass* itemClass = MonitorItemClasses::shared().find(item->className());
    ConfigurationWindowController* window = loadConfigurationWindow();
    if (itemClass && window)
        window->selectTopicWithClassName(itemClass->topicName);
    setFullGUIEnabled(true);
}

void ApplicationDelegate::openPreferences()
{
    setFullGUIEnabled(true);
    if (ConfigurationWindowController* window = loadConfigurationWindow())
        window->selectTopicWithClassName(TopicName::Preferences);
}

void ApplicationDelegate::openConfigurationWindowForPlaceholderItem()
{
    openPreferences();
}

void ApplicationDelegate::showDiagnosticsWindow()
{
    EventLog::append(QStringLiteral("Diagnostics window opened.\n"));
    // What Vistrel Plus sent last goes into the report beside the events.
    EventLog::appendString(TransferPayload::description(m_vistrelPlusSession->appExtensionDataSet().value_or(QVariantMap())), false);
    if (m_supportWindows)
        m_supportWindows->showDiagnosticsWindow();
}

void ApplicationDelegate::applicationWillTerminate()
{
    m_vistrelPlusSession->terminate();
    if (!m_configurationWindowController)
        return;
    if (ConfigurationTopic* topic = m_configurationWindowController->selectedConfigurationTopic())
        defaults().setObject(SettingName::SelectedTopicClass, topic->className());
}

void ApplicationDelegate::terminateApplication()
{
    QCoreApplication::quit();
}

void ApplicationDelegate::registerOpenMenuForMonitorItem(QRNMonitorItem* item)
{
    m_menuTracker.setItemWithOpenMenu(item ? item->statusItem() : nullptr);
    m_idlePageRelease.setInUse(item || m_fullGUIEnabled);
}
