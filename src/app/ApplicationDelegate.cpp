#include "app/ApplicationDelegate.h"

#include "app/EventLog.h"
#include "app/QRNHostUserDefaults.h"
#include "app/WelcomeWindow.h"
#include "configuration/ConfigurationWindow.h"
#include "configuration/ConfigurationWindowController.h"
#include "configuration/GUISwitchNoticeWindowController.h"
#include "configuration/TopicTree.h"
#include <QTreeWidget>
#include "instruments/QRNSystemInstrument.h"
#include "items/MonitorItemClasses.h"
#include "items/QRNMonitorItem.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "platform/bundle/BundleResources.h"
#include "platform/linux/ResidentFilePages.h"
#include "platform/log/Log.h"
#include "platform/defaults/PropertyList.h"
#include "platform/defaults/DefaultsWatcher.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/statusbar/StatusBar.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>
#include <QMenu>

#include <algorithm>
#include <unordered_set>

namespace {
ApplicationDelegate* currentDelegate = nullptr;

// The placeholder's button shows this single character.
const QString PlaceholderTitle = QString(QChar(0x2327));

UserDefaults& defaults()
{
    return UserDefaults::standardUserDefaults();
}
} // namespace

ApplicationDelegate::ApplicationDelegate()
{
    currentDelegate = this;
    m_idlePageReleaseTimer.setSingleShot(true);
    m_idlePageReleaseTimer.setInterval(10'000);
    connect(&m_idlePageReleaseTimer, &QTimer::timeout, this, [] { ResidentFilePages::releaseIdlePages(); });
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        m_switchNoticeWindowController = std::make_unique<GUISwitchNoticeWindowController>();
        // The window exists from the start, hidden until the full interface is asked for.
        m_configurationWindow = std::make_unique<ConfigurationWindow>(localizedApplicationName());
        m_configurationWindowController = std::make_unique<ConfigurationWindowController>(*m_configurationWindow);
        connect(m_configurationWindow.get(), &ConfigurationWindow::windowWillClose, this, [this] { setFullGUIEnabled(false); });
        connect(m_configurationWindow.get(), &ConfigurationWindow::outlineViewSelectionDidChange, this,
            &ApplicationDelegate::outlineViewSelectionDidChange);
    }
}

ApplicationDelegate::~ApplicationDelegate()
{
    m_itemWithOpenMenu = nullptr;
    m_activeTimers.clear();
    m_mainMenuMonitorItem.reset();
    m_placeholderItem.reset();
    m_placeholderMenu.reset();
    if (currentDelegate == this)
        currentDelegate = nullptr;
}

ApplicationDelegate* ApplicationDelegate::current()
{
    return currentDelegate;
}

const std::vector<ApplicationDelegate::TopicRow>& ApplicationDelegate::monitorItemTable()
{
    static const std::vector<TopicRow> table = {
        {QStringLiteral("ProcessorTopic"), QStringLiteral("QRNCPUMonitorItem")},
        {QStringLiteral("SensorTopic"), QStringLiteral("QRNSensorMonitorItem")},
        {QStringLiteral("MemoryTopic"), QStringLiteral("QRNMemoryMonitorItem")},
        {QStringLiteral("FileSystemTopic"), QStringLiteral("QRNVolumeMonitorItem")},
        {QStringLiteral("DiskTopic"), QStringLiteral("QRNDiskMonitorItem")},
        {QStringLiteral("NetworkTopic"), QStringLiteral("QRNNetMonitorItem")},
        {QStringLiteral("ActivityTopic"), QStringLiteral("QRNActivityMonitorItem")},
    };
    return table;
}

std::optional<QString> ApplicationDelegate::monitorItemClassNameForTopicName(const QString& topicName)
{
    for (const auto& row : monitorItemTable()) {
        if (row.topicName == topicName)
            return row.monitorItemClassName;
    }
    return std::nullopt;
}

std::optional<QString> ApplicationDelegate::topicNameForMonitorItemClassName(const QString& className)
{
    for (const auto& row : monitorItemTable()) {
        if (row.monitorItemClassName == className)
            return row.topicName;
    }
    return std::nullopt;
}

void ApplicationDelegate::applicationDidFinishLaunching()
{
    const bool firstStartOfThisVersion
        = !defaults().hasKey(QStringLiteral("PassedFirstStart"))
        || defaults().integerForKey(QStringLiteral("PassedFirstStart")) != FirstStartVersionCode;
    loadConfigurationTopics();
    QRNHostUserDefaults::setGlobalChangeDelegate(this);
    completeLaunchSetupOfAllTopicsInList(m_configurationTopics);
    const QString selectedTopic = defaults().stringForKey(QStringLiteral("SelectedTopicClass"));
    if (!selectedTopic.isEmpty())
        selectTopicWithClassName(selectedTopic);
    // Settings changed by another program take effect as if written here.
    auto* watcher = new DefaultsWatcher(defaults(), this);
    connect(watcher, &DefaultsWatcher::keysChanged, this, [this](const QStringList& keys) {
        for (const QString& key : keys)
            handleChangeOfValue(defaults().objectForKey(key), key);
    });
    establishClassHandledPreferences();
    activateAllConfiguredMonitorItems();

    m_isLoggingEvents = defaults().boolForKey(QStringLiteral("EnableEventLogging"));
    EventLog::setEnabled(m_isLoggingEvents);
    EventLog::append(QStringLiteral("*** Event logging is enabled. App is about to complete its startup phase.\n"));

    setFullGUIEnabled(false);
    if (firstStartOfThisVersion)
        handleFirstLaunchOfNewVersion();
}

void ApplicationDelegate::handleFirstLaunchOfNewVersion()
{
    const bool veryFirstStart = !defaults().hasKey(QStringLiteral("PassedFirstStart"));
    // Every page writes its cells and its switch through the routed writer,
    // which creates the items one by one.
    if (veryFirstStart)
        activateAllFeaturesOfAllTopicsInList(m_configurationTopics);
    setFullGUIEnabled(true);
    openPreferences();
    QRNHostUserDefaults::setInteger(FirstStartVersionCode, QStringLiteral("PassedFirstStart"));

    QString information;
    if (veryFirstStart) {
        information = tr("The configuration window can be used to define the menu-bar items as you like them. The next time you start this App, you can re-open the window via the menu item 'Preferences...' in any of the menu-bar items of Vistrel, if required.");
    } else if (defaults().boolForKey(QStringLiteral("KeepInMenuBar"))) {
        information = tr("With modern versions of macOS, the architecture of this App could be simplified. The menu-bar part is no longer a separate component, so the preference setting 'keep in menu bar' that you had activated needs an update.\n\nmacOS requires you to confirm this manually. Please select the menu item 'Options > Open at login' via the Dock tile of this App now to give your permission to launch the App automatically. You can change this setting any time via the Users & Groups pane of System Preferences.");
        // There is no separate login item to switch off on Linux; starting at
        // login is an XDG autostart entry the user manages.
        defaults().setObject(QStringLiteral("KeepInMenuBar"), false);
    } else {
        information = tr("Your settings from the previous version have been taken over successfully. The Dock icon and main menu will hide when you close the configuration window.");
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!m_welcomeWindow)
        m_welcomeWindow = std::make_unique<WelcomeWindow>();
    m_welcomeWindow->present(tr("Welcome to %1 %2").arg(localizedApplicationName(), QStringLiteral(VISTREL_VERSION)), information);
}

QWidget* ApplicationDelegate::welcomeWindow() const
{
    return m_welcomeWindow.get();
}

void ApplicationDelegate::activateAllConfiguredMonitorItems()
{
    for (const auto& row : monitorItemTable()) {
        const QVariant cells = defaults().objectForKey(row.topicName + QStringLiteral("-MenuBarConfiguration"));
        if (!MonitorItemClasses::shared().find(row.monitorItemClassName))
            continue;
        if (!PropertyList::isArray(cells))
            continue;
        if (!defaults().boolForKey(row.topicName + QStringLiteral("-IsActive")))
            continue;
        activate(true, row.monitorItemClassName, cells.toStringList());
    }
    setMainMenuIconDisabled(defaults().boolForKey(QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon")));
    applyPlaceholderRule();
}

SamplingGroup* ApplicationDelegate::groupWithInterval(double interval) const
{
    for (const auto& group : m_activeTimers) {
        if (group->interval == interval)
            return group.get();
    }
    return nullptr;
}

SamplingGroup& ApplicationDelegate::createGroup(double interval)
{
    auto group = std::make_unique<SamplingGroup>();
    group->interval = interval;
    group->timer = new QTimer(this);
    // A coarse timer lets the system coalesce our wake-ups with others.
    group->timer->setTimerType(Qt::CoarseTimer);
    group->timer->setInterval(int(interval * 1000));
    SamplingGroup* raw = group.get();
    connect(group->timer, &QTimer::timeout, this, [this, raw] { updateItems(*raw); });
    m_activeTimers.push_back(std::move(group));
    raw->timer->start();
    return *raw;
}

void ApplicationDelegate::removeGroup(SamplingGroup& group)
{
    group.timer->stop();
    group.timer->deleteLater();
    m_activeTimers.erase(std::find_if(m_activeTimers.begin(), m_activeTimers.end(),
        [&](const auto& g) { return g.get() == &group; }));
}

void ApplicationDelegate::activate(bool on, const QString& className, const std::optional<QStringList>& cellConfiguration)
{
    if (className.isEmpty() || (on && !cellConfiguration))
        return;
    const MonitorItemClass* itemClass = MonitorItemClasses::shared().find(className);
    if (!itemClass)
        return;
    SamplingGroup* group = groupWithInterval(itemClass->defaultMonitoringInterval);

    if (on) {
        std::unique_ptr<QRNMonitorItem> item = itemClass->create(*cellConfiguration);
        if (!item)
            return;
        QRNMonitorItem& created = *item;
        if (group) {
            group->items.push_back(std::move(item));
        } else {
            SamplingGroup& newGroup = createGroup(itemClass->defaultMonitoringInterval);
            newGroup.items.push_back(std::move(item));
            // The first tick runs at once, so the new item shows values right away.
            updateItems(newGroup);
        }
        pushUserDefaultsToMonitorItem(created);
        return;
    }

    if (!group)
        return;
    auto it = std::find_if(group->items.begin(), group->items.end(),
        [&](const auto& item) { return itemClass->isInstance(*item); });
    if (it == group->items.end())
        return;
    std::unique_ptr<QRNMonitorItem> item = std::move(*it);
    group->items.erase(it);
    item->unlinkFromMenu();
    retire(std::move(item));
    if (group->items.empty())
        removeGroup(*group);
}

void ApplicationDelegate::retire(std::unique_ptr<QRNMonitorItem> item)
{
    if (m_itemWithOpenMenu == item.get())
        registerOpenMenuForMonitorItem(nullptr);
    // The item may be the caller (it asked to be removed): delete it once
    // control is back in the event loop.
    item.release()->deleteLater();
}

void ApplicationDelegate::updateItems(SamplingGroup& group)
{
    bool changed = false;
    for (const auto& item : group.items) {
        if (item->hasChangedInstruments()) {
            item->setHasChangedInstruments(false);
            changed = true;
        }
    }
    if (changed)
        refreshInstrumentation(group.instruments, group.items);
    for (const auto& instrument : group.instruments)
        instrument->collectNewSample();
    for (const auto& item : group.items)
        item->updateInterface();
}

void ApplicationDelegate::refreshInstrumentation(std::vector<std::shared_ptr<QRNSystemInstrument>>& instruments,
    const std::vector<std::unique_ptr<QRNMonitorItem>>& items)
{
    std::unordered_set<const QRNSystemInstrument*> listed;
    for (const auto& item : items) {
        for (const auto& instrument : item->monitorInstruments())
            listed.insert(instrument.get());
    }
    std::unordered_set<const QRNSystemInstrument*> present;
    std::vector<std::shared_ptr<QRNSystemInstrument>> survivors;
    for (auto& instrument : instruments) {
        if (listed.count(instrument.get()) && present.insert(instrument.get()).second)
            survivors.push_back(std::move(instrument));
    }
    for (const auto& item : items) {
        for (const auto& instrument : item->monitorInstruments()) {
            if (present.insert(instrument.get()).second)
                survivors.push_back(instrument);
        }
    }
    instruments = std::move(survivors);
}

QRNMonitorItem* ApplicationDelegate::activeMonitorItemWithClassName(const QString& className) const
{
    for (const auto& group : m_activeTimers) {
        for (const auto& item : group->items) {
            if (item->className() == className)
                return item.get();
        }
    }
    return nullptr;
}

void ApplicationDelegate::requestDeactivationOfMonitorItem(QRNMonitorItem* item)
{
    if (!item)
        return;
    const QString className = item->className();
    const auto topic = topicNameForMonitorItemClassName(className);
    if (topic)
        defaults().setObject(*topic + QStringLiteral("-IsActive"), false, UserDefaults::Domain::Host);
    activate(false, className, std::nullopt);
    applyPlaceholderRule();
    // The page's switch follows; its routed write finds no item left to remove.
    if (topic) {
        if (ConfigurationTopic* page = topicForClassName(*topic))
            page->setIsFeatureActive(false);
    }
}

void ApplicationDelegate::applyPlaceholderRule()
{
    setPlaceholderItemActive(m_activeTimers.empty() && !m_mainMenuMonitorItem);
}

void ApplicationDelegate::setPlaceholderItemActive(bool active)
{
    if (active == bool(m_placeholderItem))
        return;
    if (!active) {
        m_placeholderItem.reset();
        m_placeholderMenu.reset();
        return;
    }
    m_placeholderItem = StatusBar::systemStatusBar().statusItemWithLength(StatusItem::SquareLength);
    m_placeholderItem->setTitle(PlaceholderTitle);
    m_placeholderItem->setToolTip(localizedApplicationName());

    m_placeholderMenu = std::make_unique<QMenu>();
    m_placeholderMenu->setMinimumWidth(int(m_placeholderItem->width()));
    QAction* info = m_placeholderMenu->addAction(tr("%1 (no monitor items active)").arg(localizedApplicationName()));
    info->setEnabled(false);
    m_placeholderMenu->addSeparator();
    QAction* preferences = m_placeholderMenu->addAction(tr("Preferences..."));
    connect(preferences, &QAction::triggered, this, &ApplicationDelegate::openConfigurationWindowForPlaceholderItem);
    m_placeholderItem->setMenu(m_placeholderMenu.get());
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
    }
    applyPlaceholderRule();
}

QWidget* ApplicationDelegate::configurationWindow() const
{
    return m_configurationWindow.get();
}

void ApplicationDelegate::setFullGUIEnabled(bool enabled)
{
    if (enabled == m_fullGUIEnabled)
        return;
    m_fullGUIEnabled = enabled;
    const bool suppressNotice = defaults().boolForKey(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"));
    if (enabled) {
        if (m_configurationWindow) {
            if (!m_configurationWindow->isVisible() && !m_configurationWindowController->restoreFrame()) {
                if (QScreen* screen = QGuiApplication::primaryScreen())
                    m_configurationWindow->move(screen->geometry().center() - m_configurationWindow->rect().center());
            }
            m_configurationWindow->show();
            m_configurationWindow->raise();
            m_configurationWindow->activateWindow();
        }
        if (m_switchNoticeWindowController && !suppressNotice)
            m_switchNoticeWindowController->runNotificationForGUIEnabled(true);
        m_idlePageReleaseTimer.stop();
        return;
    }
    if (suppressNotice || !m_switchNoticeWindowController)
        leaveFullInterface();
    else
        m_switchNoticeWindowController->runNotificationForGUIEnabled(false, [this] { leaveFullInterface(); });
}

void ApplicationDelegate::leaveFullInterface()
{
    // A hidden window also leaves the task bar.
    if (m_configurationWindow)
        m_configurationWindow->hide();
    m_idlePageReleaseTimer.start();
}

void ApplicationDelegate::openPreferenceSettingsForMonitorItem(QRNMonitorItem* item)
{
    if (!item || item->className().isEmpty())
        return;
    if (const auto topic = topicNameForMonitorItemClassName(item->className()))
        selectTopicWithClassName(*topic);
    setFullGUIEnabled(true);
}

void ApplicationDelegate::openPreferences()
{
    setFullGUIEnabled(true);
    selectTopicWithClassName(QStringLiteral("PreferencesTopic"));
}

void ApplicationDelegate::openConfigurationWindowForPlaceholderItem()
{
    setFullGUIEnabled(true);
    openPreferences();
}

void ApplicationDelegate::loadConfigurationTopics()
{
    if (!m_configurationWindow)
        return;
    const auto description = BundleResources::propertyListNamed(QStringLiteral("Configuration"));
    m_configurationTopics = ConfigurationTopic::topicHierarchyForConfigurationDescription(description.value_or(QVariant()))
                                .value_or(ConfigurationTopic::List());
    m_configurationWindow->setTopics(m_configurationTopics);
}

ConfigurationTopic* ApplicationDelegate::topicForClassName(const QString& className) const
{
    return TopicTree::topicForClassName(m_configurationTopics, className);
}

std::optional<ConfigurationTopic::IndexPath> ApplicationDelegate::configurationIndexPathOfClassNamed(const QString& className,
    const ConfigurationTopic::List& topics)
{
    return TopicTree::configurationIndexPathOfClassNamed(className, topics);
}

void ApplicationDelegate::selectTopicWithClassName(const QString& className)
{
    const auto path = configurationIndexPathOfClassNamed(className, m_configurationTopics);
    if (path && m_configurationWindow)
        m_configurationWindow->setSelectedTopicPaths({*path});
}

ConfigurationTopic* ApplicationDelegate::selectedConfigurationTopic() const
{
    if (!m_configurationWindow)
        return nullptr;
    const auto paths = m_configurationWindow->selectedTopicPaths();
    return paths.size() == 1 ? TopicTree::topicAtIndexPath(m_configurationTopics, paths.first()) : nullptr;
}

void ApplicationDelegate::outlineViewSelectionDidChange()
{
    if (ConfigurationTopic* topic = selectedConfigurationTopic())
        switchToConfigurationTopic(topic);
}

void ApplicationDelegate::switchToConfigurationTopic(ConfigurationTopic* topic)
{
    if (!m_configurationWindow)
        return;
    QWidget* page = m_configurationWindow->showPage(topic ? topic->contentView() : nullptr);
    m_visibleTopic = topic;
    // Tab leads from the outline into the page.
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
            QWidget::setTabOrder(m_configurationWindow->topicOutline(), child);
            break;
        }
    }
}

void ApplicationDelegate::activateAllFeaturesOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    TopicTree::activateAllFeaturesOfAllTopicsInList(topics);
}

void ApplicationDelegate::completeLaunchSetupOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    TopicTree::completeLaunchSetupOfAllTopicsInList(topics);
}

void ApplicationDelegate::refreshConfigurationCellsOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    TopicTree::refreshConfigurationCellsOfAllTopicsInList(topics);
}

void ApplicationDelegate::refreshConfigurationCellsInAllTopics()
{
    refreshConfigurationCellsOfAllTopicsInList(m_configurationTopics);
}

void ApplicationDelegate::applicationWillTerminate()
{
    if (ConfigurationTopic* topic = selectedConfigurationTopic())
        defaults().setObject(QStringLiteral("SelectedTopicClass"), topic->className());
}

void ApplicationDelegate::registerOpenMenuForMonitorItem(QRNMonitorItem* item)
{
    std::lock_guard lock(m_openMenuLock);
    m_itemWithOpenMenu = item;
    m_menuTracker.setItemWithOpenMenu(item ? item->statusItem() : nullptr);
    if (item)
        m_idlePageReleaseTimer.stop();
    else if (!m_fullGUIEnabled)
        m_idlePageReleaseTimer.start();
}

void ApplicationDelegate::terminateApplication()
{
    QCoreApplication::quit();
}

void ApplicationDelegate::orderFrontStandardAboutPanel()
{
    setFullGUIEnabled(true);
    QMessageBox::about(m_configurationWindow.get(), tr("About %1").arg(localizedApplicationName()),
        tr("<b>%1</b> %2<p>A system monitor that lives in the menu bar.</p>")
            .arg(localizedApplicationName(), QStringLiteral(VISTREL_VERSION)));
}

void ApplicationDelegate::showHelp()
{
    // The manual is the README, installed next to the program or beside its sources.
    const QString installed = QStringLiteral("/usr/share/doc/vistrel/README.md");
    const QString source = QStringLiteral(VISTREL_SOURCE_DIR "/README.md");
    const QString manual = QFileInfo::exists(installed) ? installed : source;
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void ApplicationDelegate::showDiagnosticsWindow()
{
    EventLog::append(QStringLiteral("Diagnostics window opened.\n"));
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!m_diagnosticWindow) {
        auto* text = new QPlainTextEdit;
        text->setReadOnly(true);
        text->setObjectName(QStringLiteral("diagnosticWindow"));
        text->setWindowTitle(tr("%1 Diagnostics").arg(localizedApplicationName()));
        text->resize(640, 400);
        m_diagnosticWindow.reset(text);
    }
    auto* text = static_cast<QPlainTextEdit*>(m_diagnosticWindow.get());
    QString report;
    for (const auto& group : m_activeTimers) {
        for (const auto& instrument : group->instruments)
            report += instrument->description();
    }
    report += EventLog::lines().join(QString());
    text->setPlainText(report);
    text->show();
    text->raise();
    text->activateWindow();
}

void ApplicationDelegate::handleChangeOfValue(const QVariant& value, const QString& key)
{
    QObject* target = targetForUserDefaultWithKey(key);
    if (target == this)
        handleChangeOfUserDefault(key, value);
    else if (auto* item = qobject_cast<QRNMonitorItem*>(target))
        item->handleChangeOfUserDefault(key, value);
}

QObject* ApplicationDelegate::targetForUserDefaultWithKey(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    if (key.endsWith(QLatin1String("-IsActive")) || key.startsWith(QLatin1String("PreferencesTopic-"))
        || key.startsWith(QLatin1String("MenuBarLayoutTopic-")))
        return const_cast<ApplicationDelegate*>(this);
    const qsizetype hyphen = key.indexOf(u'-');
    if (hyphen < 0)
        return const_cast<ApplicationDelegate*>(this);
    const auto className = monitorItemClassNameForTopicName(key.left(hyphen));
    return className ? activeMonitorItemWithClassName(*className) : nullptr;
}

void ApplicationDelegate::handleChangeOfUserDefault(const QString& key, const QVariant& value)
{
    static const QString activeSuffix = QStringLiteral("-IsActive");
    static const QString preferences = QStringLiteral("PreferencesTopic-");
    if (key.endsWith(activeSuffix)) {
        const QString topic = key.chopped(activeSuffix.size());
        const auto className = monitorItemClassNameForTopicName(topic);
        const QVariant cells = defaults().objectForKey(topic + QStringLiteral("-MenuBarConfiguration"));
        activate(defaults().boolForKey(key), className.value_or(QString()),
            PropertyList::isArray(cells) ? std::optional<QStringList>(cells.toStringList()) : std::nullopt);
        applyPlaceholderRule();
        return;
    }
    if (key.endsWith(QLatin1String("-MenuBarConfiguration")) || key.startsWith(QLatin1String("MenuBarLayoutTopic-")))
        return;
    if (key.startsWith(preferences)) {
        const QString name = key.mid(preferences.size());
        if (name == QLatin1String("SuppressSwitchingNotice"))
            return;
        if (name == QLatin1String("QRNMemoryDisplayMode")) {
            defaults().setObject(name, value);
            return;
        }
        if (name == QLatin1String("TemperatureUnit")) {
            QRNTemperatureMenuBarCell::setTemperatureUnit(value.toInt());
            return;
        }
    } else if (key == QLatin1String("PassedFirstStart") || key == QLatin1String("UseAppExtension")) {
        return;
    }
    Log::error("%{public}@: cannot handle change of user default '%{public}@'.\n", {QStringLiteral("ApplicationDelegate"), key});
}

void ApplicationDelegate::pushUserDefaultsToMonitorItem(QRNMonitorItem& item)
{
    const auto topic = topicNameForMonitorItemClassName(item.className());
    if (!topic)
        return;
    const QVariantMap stored = defaults().domainValues(UserDefaults::Domain::Host);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const QString& key = it.key();
        if (key.startsWith(*topic) && !key.endsWith(QLatin1String("-MenuBarConfiguration"))
            && !key.endsWith(QLatin1String("-IsActive")))
            item.handleChangeOfUserDefault(key, it.value());
    }
}

void ApplicationDelegate::establishClassHandledPreferences()
{
    QRNTemperatureMenuBarCell::setTemperatureUnit(int(defaults().integerForKey(QStringLiteral("PreferencesTopic-TemperatureUnit"))));
    const bool suppress = defaults().boolForKey(QStringLiteral("MenuBarLayoutTopic-BarSuppressDecimalPlaces"));
    QRNNumericMenuBarCell::setSuppressesFractionDigits(suppress);
    QRNTemperatureMenuBarCell::setSuppressesFractionDigits(suppress);
    QRNGraphMenuBarCell::setWidthScalingFactor(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarHistoryScaling")) / 100.0);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(defaults().integerForKey(QStringLiteral("MenuBarLayoutTopic-BarGraphScaling")) / 100.0);
}

QString ApplicationDelegate::localizedApplicationName() const
{
    return tr("Vistrel");
}
