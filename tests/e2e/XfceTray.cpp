#include "XfceTray.h"

#include "XServer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// xfconf's own format: one panel of 70 pixels across the top holding only
// the tray, its icons in one row as tall as the panel (with the usual three
// rows of 22 pixels every icon is shrunk into a 22-pixel square).
const char* PanelConfiguration = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="70"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray">
      <property name="single-row" type="bool" value="true"/>
      <property name="icon-size" type="int" value="0"/>
    </property>
  </property>
</channel>
)";

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

bool XfceTray::isInstalled()
{
    return QFileInfo(QStringLiteral(XFCE4_PANEL_EXECUTABLE)).isExecutable()
        && QFileInfo(QStringLiteral(XFCONFD_EXECUTABLE)).isExecutable();
}

XfceTray::XfceTray()
{
    writePanelConfiguration();
    m_bus.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    if (!m_bus.waitForStarted() || !waitUntil([&] { return m_bus.canReadLine(); }, 5000))
        return;
    m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
    m_previousAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
    startProcess(m_settings, QStringLiteral(XFCONFD_EXECUTABLE), {});
    startProcess(m_panel, QStringLiteral(XFCE4_PANEL_EXECUTABLE), {QStringLiteral("--disable-wm-check")});
}

XfceTray::~XfceTray()
{
    for (QProcess* process : {&m_panel, &m_settings, &m_bus}) {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
    }
    if (!m_busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(m_busAddress);
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
}

void XfceTray::writePanelConfiguration() const
{
    const QString folder = m_home.filePath(QStringLiteral("config/xfce4/xfconf/xfce-perchannel-xml"));
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/xfce4-panel.xml"));
    if (file.open(QIODevice::WriteOnly))
        file.write(PanelConfiguration);
}

void XfceTray::startProcess(QProcess& process, const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    // No accessibility bus: it would outlive the test.
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
}

QString XfceTray::errorOutput()
{
    return QString::fromUtf8(m_panel.readAll());
}

bool XfceTray::waitUntilReady(int timeoutMs)
{
    if (m_busAddress.isEmpty())
        return false;
    QDBusConnection bus = QDBusConnection::connectToBus(m_busAddress, m_busAddress);
    return waitUntil([&] { return bus.interface()->isServiceRegistered(WatcherService).value(); }, timeoutMs);
}

QVariant XfceTray::property(const QString& service, const QString& path, const QString& interface,
    const QString& name) const
{
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = QDBusConnection::connectToBus(m_busAddress, m_busAddress).call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QStringList XfceTray::registeredItems() const
{
    return property(WatcherService, QStringLiteral("/StatusNotifierWatcher"), WatcherService,
        QStringLiteral("RegisteredStatusNotifierItems"))
        .toStringList();
}
