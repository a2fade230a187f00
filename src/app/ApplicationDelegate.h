#pragma once

#include "app/IdlePageRelease.h"
#include "app/SamplingScheduler.h"
#include "app/SettingsRouter.h"
#include "platform/statusbar/StatusMenuTracker.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class ConfigurationWindowController;
class GUISwitchNoticeWindowController;
class PlaceholderItem;
class QRNMonitorItem;
class QWidget;
class SupportWindows;
class VistrelPlusNotices;
class VistrelPlusSession;
class WelcomeWindow;

// The application controller: starts up, turns the configured monitor items
// into live ones, keeps the placeholder or the main-menu item visible,
// switches between menu-bar only and the full interface, and lets the user
// slide from one open item menu to the next. Sampling, settings routing and
// the configuration window each have their own class; the controller wires
// them together.
class ApplicationDelegate : public QObject {
    Q_OBJECT
public:
    ApplicationDelegate();
    ~ApplicationDelegate() override;

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
    QRNMonitorItem* activeMonitorItemWithClassName(const QString& className) const;
    void requestDeactivationOfMonitorItem(QRNMonitorItem* item);

    void setPlaceholderItemActive(bool active);
    void setMainMenuIconDisabled(bool disabled);
    void setFullGUIEnabled(bool enabled);
    bool isFullGUIEnabled() const { return m_fullGUIEnabled; }

    void openPreferenceSettingsForMonitorItem(QRNMonitorItem* item);
    void openPreferences();
    void openConfigurationWindowForPlaceholderItem();
    void showDiagnosticsWindow();
    void terminateApplication();

    void registerOpenMenuForMonitorItem(QRNMonitorItem* item);

    // The change report of the settings writer.
    void handleChangeOfValue(const QVariant& value, const QString& key);

    SamplingScheduler& scheduler() { return m_scheduler; }
    PlaceholderItem* placeholderItem() const { return m_placeholder.get(); }
    QRNMonitorItem* mainMenuMonitorItem() const { return m_mainMenuMonitorItem.get(); }
    StatusMenuTracker& menuTracker() { return m_menuTracker; }
    const IdlePageRelease& idlePageRelease() const { return m_idlePageRelease; }
    // The configuration window with its topics and their pages, built when
    // first needed (a user who never opens it never pays for them); null
    // without a graphical interface (the snapshot runs on a plain core application).
    ConfigurationWindowController* loadConfigurationWindow();
    // Null until the window is built.
    ConfigurationWindowController* configurationWindowController() const { return m_configurationWindowController.get(); }
    QWidget* configurationWindow() const;
    QWidget* welcomeWindow() const;
    VistrelPlusSession& vistrelPlusSession() const { return *m_vistrelPlusSession; }

private:
    // Connects a new item's requests to the controller.
    void adopt(QRNMonitorItem& item);
    void applyPlaceholderRule();
    void retire(std::unique_ptr<QRNMonitorItem> item);
    void activationChanged(const MonitorItemClass& itemClass);
    // Switches the class's item on or off as its stored switch and cells say.
    void activateAsStored(const MonitorItemClass& itemClass);
    // Menu-bar only: the window leaves the screen and the task bar.
    void leaveFullInterface();

    SamplingScheduler m_scheduler;
    SettingsRouter m_router;
    std::unique_ptr<PlaceholderItem> m_placeholder;
    std::unique_ptr<QRNMonitorItem> m_mainMenuMonitorItem;
    StatusMenuTracker m_menuTracker;
    IdlePageRelease m_idlePageRelease;
    bool m_fullGUIEnabled = true;
    std::unique_ptr<GUISwitchNoticeWindowController> m_switchNoticeWindowController;
    std::unique_ptr<ConfigurationWindowController> m_configurationWindowController;
    std::unique_ptr<SupportWindows> m_supportWindows;
    std::unique_ptr<WelcomeWindow> m_welcomeWindow;
    std::unique_ptr<VistrelPlusSession> m_vistrelPlusSession;
    std::unique_ptr<VistrelPlusNotices> m_vistrelPlusNotices;
};
