#pragma once

#include "configuration/ConfigurationTopic.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ConfigurationWindow;
class WindowFrameAutosave;

// The configuration window with its topics: builds the topic tree, keeps the
// outline's selection and the visible page in step, and brings the window to
// the front at its stored frame.
class ConfigurationWindowController : public QObject {
    Q_OBJECT
public:
    explicit ConfigurationWindowController(const QString& applicationName);
    ~ConfigurationWindowController() override;

    ConfigurationWindow& window() const { return *m_window; }
    // Builds the topic tree from the "Configuration" resource and shows it in the outline.
    void loadConfigurationTopics();
    const ConfigurationTopic::List& configurationTopics() const { return m_configurationTopics; }
    ConfigurationTopic* topicForClassName(const QString& className) const;

    // Selects the topic in the outline, which shows its page; nothing when absent.
    void selectTopicWithClassName(const QString& className);
    // The topic when exactly one is selected, else null.
    ConfigurationTopic* selectedConfigurationTopic() const;
    // Shows the topic's page, or the empty page for a topic without one.
    void switchToConfigurationTopic(ConfigurationTopic* topic);
    ConfigurationTopic* visibleTopic() const { return m_visibleTopic; }

    // The very first start: every page switched on with its initial set.
    void activateAllFeaturesOfAllTopics();
    void completeLaunchSetupOfAllTopics();
    void refreshConfigurationCellsInAllTopics();

    // Brings the window to the front, at its stored frame or centred.
    void present();
    void hide();

Q_SIGNALS:
    void windowWillClose();
    // The layout page hid or showed the main-menu item.
    void mainMenuIconSuppressionChanged(bool suppressed);

private:
    void outlineViewSelectionDidChange();
    void connectTopics(const ConfigurationTopic::List& topics);

    std::unique_ptr<ConfigurationWindow> m_window;
    std::unique_ptr<WindowFrameAutosave> m_frameAutosave;
    ConfigurationTopic::List m_configurationTopics;
    QPointer<ConfigurationTopic> m_visibleTopic;
};
