#include "platform/statusbar/TrayStatusBar.h"

#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/StatusNotifierItem.h"
#include "platform/statusbar/WaylandLayerShell.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QMenu>

#include <algorithm>
#include <atomic>

namespace {

// Connection and bus names are process-wide: numbers are never reused.
int nextNumber()
{
    static std::atomic<int> number{0};
    return ++number;
}

} // namespace

TrayStatusBar::TrayStatusBar(const QString& busAddress)
    : m_busAddress(busAddress)
    , m_connectionName(QStringLiteral("vistrel-tray-bar-%1").arg(nextNumber()))
    , m_connection(StatusNotifierItem::connectToBus(busAddress, m_connectionName))
{
    m_watcher = std::make_unique<QDBusServiceWatcher>(StatusBarProbe::WatcherService, m_connection,
        QDBusServiceWatcher::WatchForRegistration);
    // A tray that starts (or restarts) after us learns of our items this way.
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] {
        for (auto& [item, notifier] : m_notifiers)
            notifier->registerWithWatcher();
    });
}

TrayStatusBar::~TrayStatusBar()
{
    m_notifiers.clear();
    m_watcher.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

QString TrayStatusBar::uniqueId(const StatusItem& item) const
{
    // Hosts remember items by id: the autosave name keeps it stable across starts.
    const QString base = QStringLiteral("vistrel-")
        + (item.autosaveName().isEmpty() ? QStringLiteral("item") : item.autosaveName());
    QString id = base;
    for (int n = 2;; ++n) {
        const bool taken = std::any_of(m_notifiers.begin(), m_notifiers.end(),
            [&](const auto& entry) { return entry.second && entry.second->id() == id; });
        if (!taken)
            return id;
        id = base + u'-' + QString::number(n);
    }
}

void TrayStatusBar::itemsDidChange()
{
    const auto& items = statusItems();
    for (auto it = m_notifiers.begin(); it != m_notifiers.end();) {
        if (std::find(items.begin(), items.end(), it->first) == items.end())
            it = m_notifiers.erase(it);
        else
            ++it;
    }
    for (StatusItem* item : items) {
        auto& notifier = m_notifiers[item];
        if (!notifier) {
            notifier = std::make_unique<StatusNotifierItem>(*item, m_busAddress, nextNumber(),
                [this](const StatusItem& named) { return uniqueId(named); });
        }
        notifier->scheduleUpdate();
    }
}

StatusNotifierItem* TrayStatusBar::notifierItem(const StatusItem& item) const
{
    const auto it = m_notifiers.find(&item);
    return it == m_notifiers.end() ? nullptr : it->second.get();
}

void TrayStatusBar::popUpMenu(StatusItem& item)
{
    WaylandLayerShell* shell = WaylandLayerShell::instance();
    QMenu* menu = item.menu();
    if (shell && menu)
        WaylandLayerShell::prepareWindow(*menu);
    StatusBar::popUpMenu(item);
    if (shell && menu && menu->isVisible())
        shell->attachFreeMenu(*menu);
}

QRect TrayStatusBar::buttonFrame(const StatusItem& item) const
{
    const StatusNotifierItem* notifier = notifierItem(item);
    if (!notifier || notifier->activationPoint().isNull())
        return {};
    return QRect(notifier->activationPoint(), QSize(int(std::max(1.0, item.width())), int(Thickness)));
}
