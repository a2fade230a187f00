#include "platform/statusbar/TestTray.h"

#include "platform/statusbar/PrivateSessionBus.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>

namespace {

const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

void appendRows(const DBusMenuLayoutItem& parent, const QString& indent, QString& out)
{
    for (const DBusMenuLayoutItem& row : parent.children) {
        const QVariantMap& p = row.properties;
        if (!p.value(QStringLiteral("visible"), true).toBool())
            continue;
        QString line = p.value(QStringLiteral("label")).toString().replace(QStringLiteral("__"), QStringLiteral("_"));
        if (p.value(QStringLiteral("type")).toString() == QLatin1String("separator"))
            line = QStringLiteral("-----");
        else if (p.contains(QStringLiteral("icon-data")))
            line = QStringLiteral("[image]");
        if (!p.value(QStringLiteral("enabled"), true).toBool())
            line += QStringLiteral(" (disabled)");
        out += indent + line + u'\n';
        appendRows(row, indent + QStringLiteral("    "), out);
    }
}

} // namespace

TestTray::TestTray(const QString& busAddress)
    : m_connectionName(QStringLiteral("test-tray-%1").arg(quintptr(this)))
    , m_connection(QDBusConnection::connectToBus(busAddress, m_connectionName))
{
    registerStatusNotifierTypes();
    registerDBusMenuTypes();
    for (const char* member : {"NewIcon", "NewTitle", "NewToolTip", "NewStatus"})
        m_connection.connect({}, {}, ItemInterface, QLatin1String(member), this, SLOT(record(QDBusMessage)));
    for (const char* member : {"LayoutUpdated", "ItemsPropertiesUpdated"})
        m_connection.connect({}, {}, MenuInterface, QLatin1String(member), this, SLOT(record(QDBusMessage)));
}

TestTray::~TestTray()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool TestTray::startWatcher()
{
    return m_connection.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
               QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
        && m_connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

int TestTray::signalCount(const QString& member) const
{
    return int(std::count_if(m_signals.begin(), m_signals.end(), [&](const QDBusMessage& m) { return m.member() == member; }));
}

bool TestTray::isServiceOnBus(const QString& service) const
{
    return m_connection.interface()->isServiceRegistered(service).value();
}

QDBusMessage TestTray::call(const QString& service, const QString& path, const QString& interface,
    const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusPendingCall pending = m_connection.asyncCall(message);
    processEventsUntil([&] { return pending.isFinished(); });
    return pending.reply();
}

QVariantMap TestTray::itemProperties(const QString& service)
{
    const QDBusMessage reply = call(service, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"), {ItemInterface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
}

StatusNotifierPixmaps TestTray::iconPixmaps(const QString& service)
{
    return qdbus_cast<StatusNotifierPixmaps>(itemProperties(service).value(QStringLiteral("IconPixmap")));
}

std::optional<DBusMenuLayoutItem> TestTray::menuLayout(const QString& service)
{
    const QString path = itemProperties(service).value(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    const QDBusMessage reply = call(service, path, MenuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
        return std::nullopt;
    return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().at(1));
}

QString TestTray::menuText(const DBusMenuLayoutItem& layout)
{
    QString out;
    appendRows(layout, QString(), out);
    return out;
}

int TestTray::rowId(const DBusMenuLayoutItem& layout, const QString& label)
{
    for (const DBusMenuLayoutItem& row : layout.children) {
        if (row.properties.value(QStringLiteral("label")).toString() == label)
            return row.id;
        if (const int id = rowId(row, label); id >= 0)
            return id;
    }
    return -1;
}
