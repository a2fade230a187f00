#include "TrayHost.h"

#include "XServer.h"
#include "platform/statusbar/StatusBarProbe.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

#include <algorithm>

TrayHost::TrayHost()
    : m_previousAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    if (m_bus.isRunning())
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
}

TrayHost::~TrayHost()
{
    stop();
    QDBusConnection::disconnectFromBus(m_bus.address());
    if (m_previousAddress.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress);
}

void TrayHost::stop()
{
    errorOutput();
    // The last started goes first: a panel before the settings daemon it reads.
    std::for_each(m_programs.rbegin(), m_programs.rend(), [](const auto& program) {
        program->terminate();
        if (!program->waitForFinished(3000))
            program->kill();
    });
    m_programs.clear();
}

QString TrayHost::homePath(const QString& relative) const
{
    return m_home.filePath(relative);
}

void TrayHost::launch(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& kind : {QStringLiteral("config"), QStringLiteral("cache"), QStringLiteral("data")})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(kind.toUpper()), m_home.filePath(kind));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
    // No accessibility bus: it would outlive the test.
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.remove(QStringLiteral("SESSION_MANAGER"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(extra);
    auto& process = *m_programs.emplace_back(std::make_unique<QProcess>());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
}

QString TrayHost::errorOutput()
{
    for (const auto& program : m_programs)
        m_output += QString::fromUtf8(program->readAll());
    return m_output;
}

bool TrayHost::waitUntilReady(int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), m_bus.address());
    return m_bus.isRunning()
        && waitUntil([&] { return bus.interface()->isServiceRegistered(StatusBarProbe::WatcherService).value(); }, timeoutMs);
}

QVariant TrayHost::property(const QString& service, const QString& path, const QString& interface,
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

QStringList TrayHost::registeredItems() const
{
    return property(StatusBarProbe::WatcherService, QStringLiteral("/StatusNotifierWatcher"), StatusBarProbe::WatcherService,
        QStringLiteral("RegisteredStatusNotifierItems"))
        .toStringList();
}
