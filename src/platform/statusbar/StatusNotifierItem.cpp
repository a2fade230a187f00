#include "platform/statusbar/StatusNotifierItem.h"

#include "platform/log/Log.h"
#include "platform/statusbar/DBusMenuAdaptor.h"
#include "platform/statusbar/DBusMenuExporter.h"
#include "platform/statusbar/MenuText.h"
#include "platform/statusbar/StatusBar.h"
#include "platform/statusbar/StatusBarProbe.h"
#include "platform/statusbar/StatusNotifierItemAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMenu>
#include <QStandardPaths>

namespace {

QString iconFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/vistrel-tray");
}

} // namespace

StatusNotifierItem::StatusNotifierItem(StatusItem& item, const QString& busAddress, int number, IdSource idSource)
    : m_item(&item)
    , m_connectionName(QStringLiteral("vistrel-tray-%1").arg(number))
    , m_connection(connectToBus(busAddress, m_connectionName))
    , m_serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(number))
    , m_idSource(std::move(idSource))
    , m_icon(iconFolder(), QStringLiteral("vistrel-%1-%2").arg(QCoreApplication::applicationPid()).arg(number))
{
    registerStatusNotifierTypes();
    registerDBusMenuTypes();
    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &StatusNotifierItem::update);
    connect(&item, &StatusItem::changed, this, &StatusNotifierItem::scheduleUpdate);
    m_toolTipTimer.setSingleShot(true);
    m_toolTipTimer.setInterval(ToolTipIntervalMs);
    connect(&m_toolTipTimer, &QTimer::timeout, this, [this] {
        if (m_toolTipPending)
            announceToolTip();
    });
    if (!m_connection.isConnected()) {
        Log::error("%{public}@: could not connect to the session bus: %{public}@", {QStringLiteral("StatusNotifierItem"),
            m_connection.lastError().message()});
        return;
    }
    new StatusNotifierItemAdaptor(this);
    m_connection.registerObject(QString::fromLatin1(ItemPath), this, QDBusConnection::ExportAdaptors);
    m_connection.registerService(m_serviceName);
    scheduleUpdate();
}

QDBusConnection StatusNotifierItem::connectToBus(const QString& busAddress, const QString& name)
{
    if (busAddress.isEmpty())
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    return QDBusConnection::connectToBus(busAddress, name);
}

StatusNotifierItem::~StatusNotifierItem()
{
    m_menuExporter.reset();
    // Leaving the bus takes the item out of every tray.
    QDBusConnection::disconnectFromBus(m_connectionName);
}

StatusNotifierToolTip StatusNotifierItem::toolTip() const
{
    // The first line names the item (the title), the rest gives its value.
    StatusNotifierToolTip tip;
    tip.title = m_title;
    const qsizetype lineEnd = m_toolTip.indexOf(u'\n');
    if (lineEnd >= 0)
        tip.description = m_toolTip.mid(lineEnd + 1);
    return tip;
}

QDBusObjectPath StatusNotifierItem::menuPath() const
{
    return QDBusObjectPath(m_menuExporter ? QString::fromLatin1(MenuPath) : QStringLiteral("/NO_DBUSMENU"));
}

void StatusNotifierItem::activate(int x, int y)
{
    m_activationPoint = QPoint(x, y);
    if (m_item)
        m_item->popUpMenu();
}

void StatusNotifierItem::scheduleUpdate()
{
    m_updateTimer.start();
}

void StatusNotifierItem::followMenu(QMenu* menu)
{
    if (menu == m_menu.data() && (menu != nullptr) == bool(m_menuExporter))
        return;
    if (m_menuExporter) {
        m_connection.unregisterObject(QString::fromLatin1(MenuPath));
        m_menuExporter.reset();
    }
    m_menu = menu;
    if (!menu)
        return;
    m_menuExporter = std::make_unique<DBusMenuExporter>(menu);
    new DBusMenuAdaptor(m_menuExporter.get());
    // Connected after the owner, so the rows already hold their values.
    connect(menu, &QMenu::aboutToShow, m_menuExporter.get(), [this, menu] {
        if (m_menuExporter->isOpen() && Log::threshold() == LogLevel::Debug)
            Log::debug("%{public}@: the tray opened the menu of '%{public}@':\n%@",
                {QStringLiteral("StatusNotifierItem"), m_id, MenuText::of(*menu)});
    });
    m_connection.registerObject(QString::fromLatin1(MenuPath), m_menuExporter.get(), QDBusConnection::ExportAdaptors);
}

void StatusNotifierItem::update()
{
    m_updateTimer.stop();
    if (!m_item || !m_item->statusBar() || !m_connection.isConnected())
        return;
    StatusBar& bar = *m_item->statusBar();
    followMenu(m_item->menu());

    const QString toolTip = m_item->toolTip();
    QString title = toolTip.section(u'\n', 0, 0);
    if (title.isEmpty())
        title = QCoreApplication::applicationName();
    const QString status = m_item->isVisible() ? QStringLiteral("Active") : QStringLiteral("Passive");
    const bool iconChanged = m_item->width() > 0 && m_icon.update(renderIcon(bar));

    if (m_id.isEmpty()) {
        // Hosts read everything once when the item registers: wait until it has a picture.
        m_title = title;
        m_toolTip = toolTip;
        m_status = status;
        if (!m_icon.image().isNull()) {
            m_id = m_idSource(*m_item);
            registerWithWatcher();
        }
        return;
    }
    if (iconChanged)
        Q_EMIT newIcon();
    if (title != m_title) {
        m_title = title;
        Q_EMIT newTitle();
    }
    if (toolTip != m_toolTip) {
        m_toolTip = toolTip;
        m_toolTipPending = true;
        if (!m_toolTipTimer.isActive())
            announceToolTip();
    }
    if (status != m_status) {
        m_status = status;
        Q_EMIT newStatus(m_status);
    }
    // An open menu follows the values its owner puts in on every tick.
    if (m_menuExporter && m_menuExporter->isOpen())
        m_menuExporter->scheduleRefresh();
}

StatusNotifierIcon::Renderings StatusNotifierItem::renderIcon(const StatusBar& bar) const
{
    StatusNotifierIcon::Renderings icon;
    icon.image = m_item->renderButton(bar.devicePixelRatio(), bar.palette());
    // Squares up to the image's height, larger ones only while smaller than
    // the wide image: hosts that pick the largest picture must find the wide one.
    const qsizetype area = qsizetype(icon.image.width()) * icon.image.height();
    for (int side : StatusNotifierIcon::SquareSides) {
        if (side > icon.image.height() && qsizetype(side) * side >= area)
            break;
        const QImage square = m_item->compactImage(side, bar.palette());
        if (!square.isNull())
            icon.squares.append(square);
    }
    return icon;
}

void StatusNotifierItem::announceToolTip()
{
    m_toolTipPending = false;
    m_toolTipTimer.start();
    Q_EMIT newToolTip();
}

void StatusNotifierItem::registerWithWatcher()
{
    // An item without a picture has not been named yet; it registers once it has one.
    if (!m_connection.isConnected() || m_id.isEmpty())
        return;
    const QString service = StatusBarProbe::WatcherService;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierWatcher"), service,
        QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        const QDBusPendingReply<> reply = *finished;
        if (reply.isError())
            Log::error("%{public}@: the tray did not take item '%{public}@': %{public}@",
                {QStringLiteral("StatusNotifierItem"), m_id, reply.error().message()});
        finished->deleteLater();
    });
}
