#include "configuration/ConfigurationWindowController.h"

#include "configuration/ConfigurationWindow.h"
#include "configuration/MenuBarLayoutTopic.h"
#include "configuration/SensorTopic.h"
#include "configuration/TopicTree.h"
#include "configuration/VistrelPlusTopic.h"
#include "configuration/WindowFrameAutosave.h"
#include "platform/bundle/BundleResources.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTreeWidget>

ConfigurationWindowController::ConfigurationWindowController(const QString& applicationName)
    : m_window(std::make_unique<ConfigurationWindow>(applicationName))
    , m_frameAutosave(std::make_unique<WindowFrameAutosave>(*m_window))
{
    connect(m_window.get(), &ConfigurationWindow::windowWillClose, this, &ConfigurationWindowController::windowWillClose);
    connect(m_window.get(), &ConfigurationWindow::outlineViewSelectionDidChange, this,
        &ConfigurationWindowController::outlineViewSelectionDidChange);
}

ConfigurationWindowController::~ConfigurationWindowController() = default;

void ConfigurationWindowController::loadConfigurationTopics()
{
    const auto description = BundleResources::propertyListNamed(QStringLiteral("Configuration"));
    m_configurationTopics = ConfigurationTopic::topicHierarchyForConfigurationDescription(description.value_or(QVariant()))
                                .value_or(ConfigurationTopic::List());
    connectTopics(m_configurationTopics);
    m_window->setTopics(m_configurationTopics);
}

void ConfigurationWindowController::connectTopics(const ConfigurationTopic::List& topics)
{
    for (const auto& topic : topics) {
        connectTopics(topic->children());
        if (auto* sensors = qobject_cast<SensorTopic*>(topic.get()))
            connect(sensors, &SensorTopic::appExtensionPageRequested, this,
                [this] { selectTopicWithClassName(QLatin1String(VistrelPlusTopic::ClassName)); });
        auto* layout = qobject_cast<MenuBarLayoutTopic*>(topic.get());
        if (!layout)
            continue;
        connect(layout, &MenuBarLayoutTopic::suppressesMainMenuIconChanged, this,
            &ConfigurationWindowController::mainMenuIconSuppressionChanged);
        connect(layout, &MenuBarLayoutTopic::cellWidthsChanged, this,
            &ConfigurationWindowController::refreshConfigurationCellsInAllTopics);
    }
}

ConfigurationTopic* ConfigurationWindowController::topicForClassName(const QString& className) const
{
    return TopicTree::topicForClassName(m_configurationTopics, className);
}

void ConfigurationWindowController::selectTopicWithClassName(const QString& className)
{
    if (const auto path = TopicTree::configurationIndexPathOfClassNamed(className, m_configurationTopics))
        m_window->setSelectedTopicPaths({*path});
}

ConfigurationTopic* ConfigurationWindowController::selectedConfigurationTopic() const
{
    const auto paths = m_window->selectedTopicPaths();
    return paths.size() == 1 ? TopicTree::topicAtIndexPath(m_configurationTopics, paths.first()) : nullptr;
}

void ConfigurationWindowController::outlineViewSelectionDidChange()
{
    if (ConfigurationTopic* topic = selectedConfigurationTopic())
        switchToConfigurationTopic(topic);
}

void ConfigurationWindowController::switchToConfigurationTopic(ConfigurationTopic* topic)
{
    QWidget* page = m_window->showPage(topic ? topic->contentView() : nullptr);
    m_visibleTopic = topic;
    // Tab leads from the outline into the page.
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
            QWidget::setTabOrder(m_window->topicOutline(), child);
            break;
        }
    }
}

void ConfigurationWindowController::activateAllFeaturesOfAllTopics()
{
    TopicTree::activateAllFeaturesOfAllTopicsInList(m_configurationTopics);
}

void ConfigurationWindowController::completeLaunchSetupOfAllTopics()
{
    TopicTree::completeLaunchSetupOfAllTopicsInList(m_configurationTopics);
}

void ConfigurationWindowController::refreshConfigurationCellsInAllTopics()
{
    TopicTree::refreshConfigurationCellsOfAllTopicsInList(m_configurationTopics);
}

void ConfigurationWindowController::present()
{
    if (!m_window->isVisible() && !m_frameAutosave->restoreFrame()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            m_window->move(screen->geometry().center() - m_window->rect().center());
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void ConfigurationWindowController::hide()
{
    // A hidden window also leaves the task bar.
    m_window->hide();
}
