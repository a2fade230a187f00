#include "configuration/ConfigurationWindow.h"

#include "configuration/QRNMenuBarSimulatorView.h"
#include "platform/log/Log.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

ConfigurationWindow::ConfigurationWindow(const QString& applicationName)
    : m_splitView(new QSplitter(this))
    , m_topicOutline(new QTreeWidget)
    , m_configurationBox(new QWidget)
    , m_emptyConfigurationView(new QLabel(tr("Select a topic on the left.")))
    , m_visiblePage(m_emptyConfigurationView)
{
    setWindowTitle(tr("%1 Configuration").arg(applicationName));
    setObjectName(QStringLiteral("configurationWindow"));

    m_topicOutline->setObjectName(QStringLiteral("topicOutline"));
    m_topicOutline->setHeaderHidden(true);
    m_topicOutline->setSelectionMode(QAbstractItemView::SingleSelection);
    m_topicOutline->setIconSize(QSize(20, 20));
    connect(m_topicOutline, &QTreeWidget::itemSelectionChanged, this, &ConfigurationWindow::outlineViewSelectionDidChange);

    m_configurationBox->setObjectName(QStringLiteral("configurationBox"));
    auto* boxLayout = new QVBoxLayout(m_configurationBox);
    static_cast<QLabel*>(m_emptyConfigurationView)->setAlignment(Qt::AlignCenter);
    boxLayout->addWidget(m_emptyConfigurationView);

    m_splitView->addWidget(m_topicOutline);
    m_splitView->addWidget(m_configurationBox);
    m_splitView->setStretchFactor(1, 1);
    m_splitView->setSizes({200, 560});
    m_splitView->setChildrenCollapsible(false);
    setCentralWidget(m_splitView);
    resize(760, 480);

    auto* closeWindow = new QAction(tr("Close Window"), this);
    closeWindow->setShortcut(QKeySequence::Close);
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    addAction(closeWindow);
}

void ConfigurationWindow::setTopics(const ConfigurationTopic::List& topics)
{
    m_topicOutline->clear();
    addTopics(topics, nullptr);
    m_topicOutline->expandAll();
}

void ConfigurationWindow::addTopics(const ConfigurationTopic::List& topics, QTreeWidgetItem* parent)
{
    for (const auto& topic : topics) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_topicOutline);
        item->setText(0, topic->displayTitle());
        item->setIcon(0, topic->iconForSourceList());
        item->setData(0, Qt::AccessibleDescriptionRole, topic->accessibilityDescriptionOfIcon());
        addTopics(topic->children(), item);
    }
}

QTreeWidgetItem* ConfigurationWindow::outlineItemAtIndexPath(const ConfigurationTopic::IndexPath& path) const
{
    QTreeWidgetItem* item = nullptr;
    for (int index : path) {
        const int count = item ? item->childCount() : m_topicOutline->topLevelItemCount();
        if (index < 0 || index >= count)
            return nullptr;
        item = item ? item->child(index) : m_topicOutline->topLevelItem(index);
    }
    return item;
}

ConfigurationTopic::IndexPath ConfigurationWindow::indexPathOfItem(const QTreeWidgetItem* item) const
{
    ConfigurationTopic::IndexPath path;
    for (; item; item = item->parent())
        path.prepend(item->parent() ? item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item))
                                    : m_topicOutline->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)));
    return path;
}

QList<ConfigurationTopic::IndexPath> ConfigurationWindow::selectedTopicPaths() const
{
    QList<ConfigurationTopic::IndexPath> paths;
    for (const QTreeWidgetItem* item : m_topicOutline->selectedItems())
        paths.append(indexPathOfItem(item));
    return paths;
}

void ConfigurationWindow::setSelectedTopicPaths(const QList<ConfigurationTopic::IndexPath>& paths)
{
    {
        const QSignalBlocker blocker(m_topicOutline);
        m_topicOutline->clearSelection();
        for (const auto& path : paths) {
            if (QTreeWidgetItem* item = outlineItemAtIndexPath(path)) {
                item->setSelected(true);
                m_topicOutline->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
            }
        }
    }
    Q_EMIT outlineViewSelectionDidChange();
}

QWidget* ConfigurationWindow::showPage(QWidget* page)
{
    if (!page)
        page = m_emptyConfigurationView;
    if (page == m_visiblePage)
        return page;
    if (m_visiblePage)
        m_visiblePage->hide();
    if (page->parentWidget() != m_configurationBox)
        m_configurationBox->layout()->addWidget(page);
    page->show();
    m_visiblePage = page;
    logVisiblePageLater();
    return page;
}

void ConfigurationWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    logVisiblePageLater();
}

void ConfigurationWindow::logVisiblePageLater()
{
    if (Log::threshold() != LogLevel::Debug)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !m_visiblePage)
            return;
        QString strips;
        for (const QRNMenuBarSimulatorView* strip : m_visiblePage->findChildren<QRNMenuBarSimulatorView*>()) {
            const QPoint origin = strip->mapToGlobal(QPoint(0, 0));
            strips += QStringLiteral("%1 at %2,%3 height %4:").arg(strip->objectName()).arg(origin.x()).arg(origin.y()).arg(strip->height());
            for (quint64 i = 0; i < strip->countOfMenuBarCells(); ++i) {
                const QRNMenuBarCell* cell = strip->menuBarCellAtIndex(i);
                strips += QStringLiteral(" %1@%2+%3").arg(cell->stringCode()).arg(origin.x() + qRound(cell->offset())).arg(qRound(cell->width()));
            }
            strips += u'\n';
        }
        // And where its named buttons and switches and the outline's rows are,
        // for whoever drives the window by mouse, and what its named texts say.
        const auto place = [](const QString& what, QPoint origin, QSize size) {
            return QStringLiteral("%1 at %2,%3 size %4x%5\n").arg(what).arg(origin.x()).arg(origin.y()).arg(size.width()).arg(size.height());
        };
        for (const QAbstractButton* button : m_visiblePage->findChildren<QAbstractButton*>()) {
            if (button->objectName().isEmpty() || !button->isVisible())
                continue;
            strips += place(QStringLiteral("control ") + button->objectName(), button->mapToGlobal(QPoint(0, 0)), button->size());
        }
        for (const QLabel* label : m_visiblePage->findChildren<QLabel*>()) {
            if (!label->objectName().isEmpty() && label->isVisible())
                strips += QStringLiteral("text %1: %2\n").arg(label->objectName(), label->text());
        }
        for (QTreeWidgetItemIterator row(m_topicOutline); *row; ++row) {
            const QRect rect = m_topicOutline->visualItemRect(*row);
            strips += place(QStringLiteral("topic '%1'").arg((*row)->text(0)), m_topicOutline->viewport()->mapToGlobal(rect.topLeft()), rect.size());
        }
        Log::debug("%{public}@: the page '%{public}@' shows:\n%@",
            {QStringLiteral("ConfigurationWindow"), m_visiblePage->objectName(), strips});
    });
}

void ConfigurationWindow::closeEvent(QCloseEvent* event)
{
    Q_EMIT windowWillClose();
    QMainWindow::closeEvent(event);
}
