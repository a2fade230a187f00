#pragma once

#include "configuration/ConfigurationTopic.h"
#include "items/QRNMonitorItem.h"
#include "platform/statusbar/StatusMenuTracker.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class ConfigurationWindow;
class ConfigurationWindowController;
class GUISwitchNoticeWindowController;
class QMenu;

class QRNSystemInstrument;
class QWidget;
class StatusItem;

// One repeating timer per refresh interval with the items it drives and the
// instruments it samples (each at most once).
struct SamplingGroup {
    double interval = 1.0;
    QTimer* timer = nullptr;
    std::vector<std::unique_ptr<QRNMonitorItem>> items;
    std::vector<std::shared_ptr<QRNSystemInstrument>> instruments;
};

// The application controller: starts up, turns the configured monitor items
// into live ones, drives sampling and redrawing, keeps the placeholder or the
// main-menu item visible, switches between menu-bar only and the full
// interface, and lets the user slide from one open item menu to the next.
class ApplicationDelegate : public QObject {
    Q_OBJECT
public:
    struct TopicRow {
        QString topicName;
        QString monitorItemClassName;
    };

    ApplicationDelegate();
    ~ApplicationDelegate() override;

    // The live controller, or null before creation and after destruction.
    static ApplicationDelegate* current();

    // The seven item topics in activation order.
    static const std::vector<TopicRow>& monitorItemTable();
    static std::optional<QString> monitorItemClassNameForTopicName(const QString& topicName);
    static std::optional<QString> topicNameForMonitorItemClassName(const QString& className);

    void applicationDidFinishLaunching();
    // Remembers the selected configuration topic for the next start.
    void applicationWillTerminate();
    // The first start of this version: a new user gets every item class's
    // default cells switched on.
    void handleFirstLaunchOfNewVersion();
    // Marks a completed first start (0x0500).
    static constexpr qint64 FirstStartVersionCode = 1280;

    void activateAllConfiguredMonitorItems();
    void activate(bool on, const QString& className, const std::optional<QStringList>& cellConfiguration);
    void updateItems(SamplingGroup& group);
    static void refreshInstrumentation(std::vector<std::shared_ptr<QRNSystemInstrument>>& instruments,
        const std::vector<std::unique_ptr<QRNMonitorItem>>& items);
    QRNMonitorItem* activeMonitorItemWithClassName(const QString& className) const;
    void requestDeactivationOfMonitorItem(QRNMonitorItem* item);

    void setPlaceholderItemActive(bool active);
    void setMainMenuIconDisabled(bool disabled);
    void setFullGUIEnabled(bool enabled);
    bool isFullGUIEnabled() const { return m_fullGUIEnabled; }

    void openPreferenceSettingsForMonitorItem(QRNMonitorItem* item);
    void openPreferences();
    void openConfigurationWindowForPlaceholderItem();

    void registerOpenMenuForMonitorItem(QRNMonitorItem* item);
    void terminateApplication();
    void orderFrontStandardAboutPanel();
    void showHelp();
    void showDiagnosticsWindow();

    QString localizedApplicationName() const;

    // Settings routing: a written setting reaches the controller, the live
    // item of its topic, or nobody (it stays stored for a later item).
    void handleChangeOfValue(const QVariant& value, const QString& key);
    // What reacts to a key: the controller, a live item, or nothing.
    QObject* targetForUserDefaultWithKey(const QString& key) const;
    void handleChangeOfUserDefault(const QString& key, const QVariant& value);
    // Hands a new item every stored setting of its topic.
    void pushUserDefaultsToMonitorItem(QRNMonitorItem& item);
    // The class-wide display settings of the cells, applied once at launch.
    void establishClassHandledPreferences();

    const std::vector<std::unique_ptr<SamplingGroup>>& activeTimers() const { return m_activeTimers; }
    StatusItem* placeholderItem() const { return m_placeholderItem.get(); }
    QMenu* placeholderMenu() const { return m_placeholderMenu.get(); }
    QRNMonitorItem* mainMenuMonitorItem() const { return m_mainMenuMonitorItem.get(); }
    QRNMonitorItem* itemWithOpenMenu() const { return m_itemWithOpenMenu; }
    bool isTrackingMenu() const { return m_menuTracker.isTracking(); }
    QWidget* configurationWindow() const;
    QWidget* welcomeWindow() const;
    GUISwitchNoticeWindowController* switchNoticeWindowController() const { return m_switchNoticeWindowController.get(); }

    // The configuration window's topics (groups and pages).
    const ConfigurationTopic::List& configurationTopics() const { return m_configurationTopics; }
    ConfigurationTopic* topicForClassName(const QString& className) const;
    static std::optional<ConfigurationTopic::IndexPath> configurationIndexPathOfClassNamed(const QString& className,
        const ConfigurationTopic::List& topics);
    // Selects the topic in the outline, which shows its page; nothing when absent.
    void selectTopicWithClassName(const QString& className);
    // The topic when exactly one is selected, else null.
    ConfigurationTopic* selectedConfigurationTopic() const;
    // Shows the topic's page, or the empty page for a topic without one.
    void switchToConfigurationTopic(ConfigurationTopic* topic);
    ConfigurationTopic* visibleTopic() const { return m_visibleTopic; }
    static void activateAllFeaturesOfAllTopicsInList(const ConfigurationTopic::List& topics);
    static void completeLaunchSetupOfAllTopicsInList(const ConfigurationTopic::List& topics);
    static void refreshConfigurationCellsOfAllTopicsInList(const ConfigurationTopic::List& topics);
    void refreshConfigurationCellsInAllTopics();

private:
    SamplingGroup* groupWithInterval(double interval) const;
    SamplingGroup& createGroup(double interval);
    void removeGroup(SamplingGroup& group);
    void applyPlaceholderRule();
    void retire(std::unique_ptr<QRNMonitorItem> item);
    // Builds the topic tree from the "Configuration" resource and shows it in the outline.
    void loadConfigurationTopics();
    void outlineViewSelectionDidChange();
    // Menu-bar only: the window leaves the screen and the task bar.
    void leaveFullInterface();

    std::vector<std::unique_ptr<SamplingGroup>> m_activeTimers;
    std::unique_ptr<StatusItem> m_placeholderItem;
    std::unique_ptr<QMenu> m_placeholderMenu;
    std::unique_ptr<QRNMonitorItem> m_mainMenuMonitorItem;
    QPointer<QRNMonitorItem> m_itemWithOpenMenu;
    StatusMenuTracker m_menuTracker;
    // Hands back the pages only start-up, a menu or the window touched, once idle.
    QTimer m_idlePageReleaseTimer;
    std::mutex m_openMenuLock;
    bool m_fullGUIEnabled = true;
    bool m_isLoggingEvents = false;
    ConfigurationTopic::List m_configurationTopics;
    QPointer<ConfigurationTopic> m_visibleTopic;
    std::unique_ptr<GUISwitchNoticeWindowController> m_switchNoticeWindowController;
    std::unique_ptr<ConfigurationWindow> m_configurationWindow;
    std::unique_ptr<ConfigurationWindowController> m_configurationWindowController;
    std::unique_ptr<QWidget> m_diagnosticWindow;
    std::unique_ptr<class WelcomeWindow> m_welcomeWindow;
};
