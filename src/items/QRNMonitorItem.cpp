#include "items/QRNMonitorItem.h"

#include "app/ApplicationDelegate.h"
#include "app/EventLog.h"
#include "instruments/QRNSystemInstrument.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusMenu.h"


QRNMonitorItem::QRNMonitorItem() = default;

QRNMonitorItem::~QRNMonitorItem()
{
    if (m_statusItem)
        unlinkFromMenu();
    if (m_isMenuVisible) {
        if (auto* controller = ApplicationDelegate::current())
            controller->registerOpenMenuForMonitorItem(nullptr);
    }
}

void QRNMonitorItem::updateInterfaceMenuBar(bool, bool)
{
}

void QRNMonitorItem::unlinkFromMenu()
{
    if (!m_statusItem)
        return;
    disconnect(m_statusItem.get(), nullptr, this, nullptr);
    if (StatusBar* bar = m_statusItem->statusBar())
        bar->removeStatusItem(*m_statusItem);
}

void QRNMonitorItem::openAttachedMenu()
{
    if (!m_statusItem || !m_statusItem->menu())
        return;
    m_statusItem->setHighlighted(true);
    m_statusItem->popUpMenu();
}

void QRNMonitorItem::closeAttachedMenu()
{
    if (!m_statusItem || !m_statusItem->menu())
        return;
    m_statusItem->setHighlighted(false);
    m_statusItem->menu()->hide();
}

void QRNMonitorItem::handleChangeOfUserDefault(const QString& key, const QVariant&)
{
    Log::error("%{public}@: could not handle change of user default '%{public}@'.", {className(), key});
}

void QRNMonitorItem::addMonitorInstrument(std::shared_ptr<QRNSystemInstrument> instrument)
{
    m_monitorInstruments.push_back(std::move(instrument));
    m_hasChangedInstruments = true;
}

void QRNMonitorItem::setMonitorInstruments(Instruments instruments)
{
    m_monitorInstruments = std::move(instruments);
    m_hasChangedInstruments = true;
}

void QRNMonitorItem::adoptStatusItem(std::unique_ptr<StatusItem> statusItem)
{
    m_statusItem = std::move(statusItem);
    connect(m_statusItem.get(), &StatusItem::visibleChanged, this, &QRNMonitorItem::statusItemVisibilityChanged);
}

void QRNMonitorItem::buildMenu()
{
    m_menu = std::make_unique<StatusMenu>();
    if (m_statusItem)
        m_menu->setMinimumWidth(int(m_statusItem->width()));
    createMenuItemsInMenu(*m_menu);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &QRNMonitorItem::menuWillOpen);
    connect(m_menu.get(), &QMenu::aboutToHide, this, &QRNMonitorItem::menuDidClose);
    if (m_statusItem)
        m_statusItem->setMenu(m_menu.get());
}

void QRNMonitorItem::rebuildMenu()
{
    if (!m_menu) {
        Log::error("%{public}@: ignoring request to rebuild menu because status item has no menu yet.", {className()});
        return;
    }
    m_menu->clear();
    createMenuItemsInMenu(*m_menu);
    updateInterfaceMenuBar(false, true);
}

void QRNMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    QAction* preferences = menu.addAction(tr("Preferences..."));
    connect(preferences, &QAction::triggered, this, &QRNMonitorItem::openUserInterfaceForPreferenceSettings);
    QAction* diagnostics = menu.addAction(tr("Show Diagnostics Window"));
    if (auto* controller = ApplicationDelegate::current())
        connect(diagnostics, &QAction::triggered, controller, &ApplicationDelegate::showDiagnosticsWindow);
    menu.addAlternate(preferences, diagnostics, Qt::AltModifier);
}

void QRNMonitorItem::openUserInterfaceForPreferenceSettings()
{
    if (auto* controller = ApplicationDelegate::current())
        controller->openPreferenceSettingsForMonitorItem(this);
}

void QRNMonitorItem::menuWillOpen()
{
    m_isMenuVisible = true;
    if (auto* controller = ApplicationDelegate::current())
        controller->registerOpenMenuForMonitorItem(this);
    EventLog::append(QStringLiteral("%1: opening menu.\n").arg(className()));
    updateInterfaceMenuBar(false, true);
}

void QRNMonitorItem::menuDidClose()
{
    if (m_statusItem)
        m_statusItem->setHighlighted(false);
    m_isMenuVisible = false;
    if (auto* controller = ApplicationDelegate::current())
        controller->registerOpenMenuForMonitorItem(nullptr);
    EventLog::append(QStringLiteral("%1: closed menu.\n").arg(className()));
}

void QRNMonitorItem::statusItemVisibilityChanged(bool visible)
{
    // The user dragged the item out of the bar.
    if (visible)
        return;
    if (auto* controller = ApplicationDelegate::current())
        controller->requestDeactivationOfMonitorItem(this);
}
