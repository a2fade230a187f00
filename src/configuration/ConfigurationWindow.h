#pragma once

#include "configuration/ConfigurationTopic.h"

#include <QMainWindow>
#include <QPointer>

class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// The configuration window: the outline of topics on the left, the selected
// topic's page on the right. Closing it returns the application to menu-bar only.
class ConfigurationWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ConfigurationWindow(const QString& applicationName);

    // Fills the outline with the topics and their groups, fully expanded.
    void setTopics(const ConfigurationTopic::List& topics);
    QList<ConfigurationTopic::IndexPath> selectedTopicPaths() const;
    // Replaces the selection; paths that lead nowhere are left out.
    void setSelectedTopicPaths(const QList<ConfigurationTopic::IndexPath>& paths);
    // Shows the page in the page area, or the empty page for null; answers
    // the page shown.
    QWidget* showPage(QWidget* page);

    QTreeWidget* topicOutline() const { return m_topicOutline; }
    QWidget* configurationBox() const { return m_configurationBox; }
    QWidget* emptyConfigurationView() const { return m_emptyConfigurationView; }
    // The outline row of a topic, for tests that click it; null when absent.
    QTreeWidgetItem* outlineItemAtIndexPath(const ConfigurationTopic::IndexPath& path) const;

Q_SIGNALS:
    void windowWillClose();
    // The user or the program changed the outline's selection.
    void outlineViewSelectionDidChange();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addTopics(const ConfigurationTopic::List& topics, QTreeWidgetItem* parent);
    ConfigurationTopic::IndexPath indexPathOfItem(const QTreeWidgetItem* item) const;
    // At debug level, once the page is laid out: where its strips and their
    // cells are on the screen.
    void logVisiblePageLater();

    QSplitter* m_splitView;
    QTreeWidget* m_topicOutline;
    QWidget* m_configurationBox;
    QWidget* m_emptyConfigurationView;
    QPointer<QWidget> m_visiblePage;
};
