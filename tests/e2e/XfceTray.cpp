#include "XfceTray.h"

#include "XServer.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "platform/statusbar/StatusBarProbe.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>

XfceTray::XfceTray()
    : m_previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    const QString folder = m_home.filePath(QStringLiteral("config/xfce4/xfconf/xfce-perchannel-xml"));
    // One panel of 70 pixels holding only the tray, its icons in one row as
    // tall as the panel (in the usual three rows every icon is shrunk into a
    // 22-pixel square); shared with bench/tray-message-rate.sh.
    if (!QDir().mkpath(folder) || !QFile::copy(QStringLiteral(XFCE_PANEL_CONFIGURATION), folder + QStringLiteral("/xfce4-panel.xml"))
        || !m_bus.isRunning())
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& kind : {QStringLiteral("config"), QStringLiteral("cache"), QStringLiteral("data")})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(kind.toUpper()), m_home.filePath(kind));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    // No accessibility bus: it would outlive the test.
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    for (QProcess* process : {&m_settings, &m_panel}) {
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
    }
    m_settings.start(QStringLiteral(XFCONFD_EXECUTABLE), {});
    m_panel.start(QStringLiteral(XFCE4_PANEL_EXECUTABLE), {QStringLiteral("--disable-wm-check")});
}

XfceTray::~XfceTray()
{
    for (QProcess* process : {&m_panel, &m_settings}) {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
    }
    QDBusConnection::disconnectFromBus(m_bus.address());
    if (m_previousAddress.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
}

QString XfceTray::errorOutput()
{
    return QString::fromUtf8(m_panel.readAll());
}

bool XfceTray::waitUntilReady(int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), m_bus.address());
    return m_bus.isRunning()
        && waitUntil([&] { return bus.interface()->isServiceRegistered(StatusBarProbe::WatcherService).value(); }, timeoutMs);
}

QVariant XfceTray::property(const QString& service, const QString& path, const QString& interface,
    const QString& name) const
{
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = QDBusConnection::connectToBus(m_bus.address(), m_bus.address()).call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QStringList XfceTray::registeredItems() const
{
    return property(StatusBarProbe::WatcherService, QStringLiteral("/StatusNotifierWatcher"), StatusBarProbe::WatcherService,
        QStringLiteral("RegisteredStatusNotifierItems"))
        .toStringList();
}
