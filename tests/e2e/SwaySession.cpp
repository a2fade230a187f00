#include "SwaySession.h"

#include "XServer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

bool writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// Any user may connect: the compositor's bar runs as "nobody", Vistrel as the tester.
const char* const BusConfiguration = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

const char* const SwayConfiguration = R"(output * bg #203040 solid_color
default_border normal
font DejaVu Sans 10
)";

const char* const SwaybarConfiguration = R"(bar {
  position top
  tray_output *
  tray_padding 3
  colors {
    background #dcdcdc
    statusline #202020
  }
}
)";

// The command prefix that runs a program as "nobody"; none when not root.
QStringList sessionUserCommand()
{
    if (geteuid() != 0)
        return {};
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
        QStringLiteral("--clear-groups"), QStringLiteral("--")};
}

bool handOver(const QString& folder)
{
    if (geteuid() != 0)
        return true;
    bool all = chown(qPrintable(folder), Nobody, Nobody) == 0;
    QDirIterator files(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext())
        all = lchown(qPrintable(files.next()), Nobody, Nobody) == 0 && all;
    return all;
}

} // namespace

VistrelProcess::Launcher SwaySession::asSessionUser()
{
    return [](const QString& home) { return handOver(home) ? sessionUserCommand() : QStringList(); };
}

QString SwaySession::sessionUserCannotRun(const QString& program)
{
    QStringList command = sessionUserCommand();
    if (command.isEmpty())
        return {};
    command << QStringLiteral("test") << QStringLiteral("-x") << program;
    QProcess check;
    check.start(command.takeFirst(), command);
    if (check.waitForFinished(5000) && check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0)
        return {};
    return QStringLiteral("the user 'nobody' cannot run %1 (a folder on its path is closed to others)").arg(program);
}

SwaySession::SwaySession(bool swaybar)
{
    m_failure = start(swaybar);
}

SwaySession::~SwaySession()
{
    for (auto* process : {&m_pointer, &m_sway, &m_bus}) {
        if (!*process)
            continue;
        (*process)->terminate();
        if (!(*process)->waitForFinished(3000))
            (*process)->kill();
    }
}

std::unique_ptr<QProcess> SwaySession::launch(const QString& program, const QStringList& arguments, bool asSessionUser)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("SWAYSOCK"),
             QStringLiteral("QT_QPA_PLATFORM")})
        environment.remove(name);
    environment.insert(QStringLiteral("HOME"), m_runtime.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    if (!m_busAddress.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    if (!m_waylandSocket.isEmpty())
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandSocket);
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = asSessionUser ? sessionUserCommand() : QStringList();
    command << program << arguments;
    process->start(command.takeFirst(), command);
    return process;
}

QString SwaySession::start(bool swaybar)
{
    if (!m_runtime.isValid())
        return QStringLiteral("no runtime folder");
    if (!handOver(m_runtime.path()))
        return QStringLiteral("cannot hand the runtime folder to nobody");

    const QString busSocket = path(QStringLiteral("bus"));
    if (!writeFile(path(QStringLiteral("bus.conf")), QString::fromUtf8(BusConfiguration).arg(busSocket)))
        return QStringLiteral("cannot write the bus configuration");
    m_bus = launch(QStringLiteral(DBUS_DAEMON_EXECUTABLE),
        {QStringLiteral("--nofork"), QStringLiteral("--config-file=%1").arg(path(QStringLiteral("bus.conf")))}, true);
    if (!waitUntil([&] { return QFile::exists(busSocket); }, 5000))
        return QStringLiteral("the session bus did not start: ") + QString::fromUtf8(m_bus->readAll());
    m_busAddress = QStringLiteral("unix:path=") + busSocket;

    QString configuration = QString::fromUtf8(SwayConfiguration);
    if (swaybar)
        configuration += QString::fromUtf8(SwaybarConfiguration);
    if (!writeFile(path(QStringLiteral("sway.conf")), configuration))
        return QStringLiteral("cannot write the sway configuration");
    m_sway = launch(QStringLiteral(SWAY_EXECUTABLE), {QStringLiteral("--config"), path(QStringLiteral("sway.conf"))}, true);
    const QDir runtime(m_runtime.path());
    waitUntil([&] {
        const QStringList sockets = runtime.entryList({QStringLiteral("wayland-*")}, QDir::System);
        const QStringList ipc = runtime.entryList({QStringLiteral("sway-ipc.*.sock")}, QDir::System);
        for (const QString& socket : sockets) {
            if (!socket.endsWith(QLatin1String(".lock")))
                m_waylandSocket = path(socket);
        }
        if (!ipc.isEmpty())
            m_swaySocket = path(ipc.first());
        return !m_waylandSocket.isEmpty() && !m_swaySocket.isEmpty();
    }, 10000);
    if (m_waylandSocket.isEmpty() || m_swaySocket.isEmpty())
        return QStringLiteral("sway did not start: ") + output();

    // A pointer device, so that clients get pointer events at all.
    m_pointer = launch(QStringLiteral(VIRTUAL_POINTER_EXECUTABLE), {}, false);
    if (!waitUntil([&] { return m_pointer->canReadLine(); }, 5000) || !m_pointer->readLine().startsWith("ready"))
        return QStringLiteral("no virtual pointer: ") + QString::fromUtf8(m_pointer->readAll());
    return {};
}

QString SwaySession::output()
{
    if (m_sway)
        m_output += QString::fromUtf8(m_sway->readAll());
    return m_output;
}

QProcessEnvironment SwaySession::clientEnvironment() const
{
    QProcessEnvironment environment;
    // Empty, not absent: a client must not fall back to an X display.
    environment.insert(QStringLiteral("DISPLAY"), QString());
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandSocket);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    return environment;
}

QImage SwaySession::screenshot() const
{
    const QString file = m_runtime.filePath(QStringLiteral("screen.png"));
    QProcess grim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandSocket);
    grim.setProcessEnvironment(environment);
    grim.start(QStringLiteral(GRIM_EXECUTABLE), {file});
    if (!grim.waitForFinished(10000) || grim.exitCode() != 0)
        return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

bool SwaySession::swaymsg(const QStringList& arguments, QByteArray* output) const
{
    QProcess process;
    process.start(QStringLiteral(SWAYMSG_EXECUTABLE), QStringList{QStringLiteral("--socket"), m_swaySocket} + arguments);
    if (!process.waitForFinished(10000))
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitCode() == 0;
}

bool SwaySession::click(int x, int y) const
{
    const QString seat = QStringLiteral("seat seat0 cursor ");
    return swaymsg({seat + QStringLiteral("set %1 %2").arg(x).arg(y)}) && swaymsg({seat + QStringLiteral("press button1")})
        && swaymsg({seat + QStringLiteral("release button1")});
}

QJsonObject SwaySession::tree() const
{
    QByteArray json;
    if (!swaymsg({QStringLiteral("-t"), QStringLiteral("get_tree")}, &json))
        return {};
    return QJsonDocument::fromJson(json).object();
}

std::vector<QJsonObject> SwaySession::windows(const QString& appIdPattern) const
{
    const QRegularExpression pattern(appIdPattern);
    std::vector<QJsonObject> found;
    std::vector<QJsonObject> pending{tree()};
    while (!pending.empty()) {
        const QJsonObject node = pending.back();
        pending.pop_back();
        if (node.contains(QStringLiteral("app_id")) && pattern.match(node.value(QStringLiteral("app_id")).toString()).hasMatch())
            found.push_back(node);
        for (const auto* key : {"nodes", "floating_nodes"}) {
            for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
                pending.push_back(child.toObject());
        }
    }
    return found;
}
