#include "VistrelProcess.h"
#include "XServer.h"
#include "XfceTray.h"
#include "platform/statusbar/PrivateSessionBus.h"
#include "support/SilentServer.h"

#include <QDBusConnection>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

namespace {

// The desktop's notification server, as far as a test needs it.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList bodies;

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body, const QStringList&,
        const QVariantMap&, int)
    {
        bodies << summary + u'\n' + body;
        return uint(bodies.size());
    }
};

QStringList trayIconFiles(const VistrelProcess& vistrel)
{
    QStringList files;
    QDirIterator it(vistrel.home(), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

} // namespace

TEST(Reliability, VistrelsOwnOptionsNeverReachQt)
{
    // "-platform" is the snapshot's folder here, not Qt's option without its value.
    QTemporaryDir folder;
    QProcess vistrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    vistrel.setProcessEnvironment(environment);
    vistrel.setWorkingDirectory(folder.path());
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE), {QStringLiteral("--snapshot"), QStringLiteral("-platform"),
        QStringLiteral("--ticks"), QStringLiteral("1")});
    ASSERT_TRUE(vistrel.waitForFinished(60000));
    EXPECT_EQ(vistrel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vistrel.exitCode(), 0) << vistrel.readAllStandardError().constData();
    EXPECT_FALSE(QDir(folder.filePath(QStringLiteral("-platform"))).entryList({QStringLiteral("*.png")}).isEmpty());
}

TEST(Reliability, SIGTERMQuitsTheOrdinaryWay)
{
    XfceTray tray;
    ASSERT_TRUE(tray.waitUntilReady()) << qPrintable(tray.errorOutput());
    // A first start: the configuration window opens at the preferences page.
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")});
    ASSERT_TRUE(waitUntil([&] { return !tray.registeredItems().isEmpty() && !trayIconFiles(vistrel).isEmpty(); }, 20000))
        << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Vistrel Configuration$")); }));
    EXPECT_FALSE(vistrel.settingsText().contains(QLatin1String("SelectedTopicClass")));

    kill(pid_t(vistrel.process().processId()), SIGTERM);
    ASSERT_TRUE(vistrel.process().waitForFinished(10000));
    EXPECT_EQ(vistrel.process().exitStatus(), QProcess::NormalExit) << qPrintable(vistrel.errorOutput());
    EXPECT_EQ(vistrel.process().exitCode(), 0);
    EXPECT_TRUE(vistrel.errorOutput().contains(QLatin1String("quitting on signal 15")));
    // The ordinary end ran: the icon files are gone and the open page was stored.
    EXPECT_EQ(trayIconFiles(vistrel), QStringList());
    EXPECT_TRUE(vistrel.settingsText().contains(QLatin1String("<key>SelectedTopicClass</key>")));
}

TEST(Reliability, ASettingsResetIsShownAsANotification)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), QStringLiteral("notifications"));
    NotificationServer server;
    ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
        QDBusConnection::ExportAllSlots));

    // Another program left half a settings file behind.
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("config/vistrel"))));
    QFile settings(home.filePath(QStringLiteral("config/vistrel/com.zentrovo.vistrel.plist")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("<?xml version=\"1.0\"?><plist><dict><key>PassedFirstStart</key><integ");
    settings.close();
    QProcess vistrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    vistrel.setProcessEnvironment(environment);
    vistrel.start(QStringLiteral(VISTREL_EXECUTABLE),
        {QStringLiteral("--snapshot"), home.filePath(QStringLiteral("snapshot")), QStringLiteral("--ticks"), QStringLiteral("1")});

    ASSERT_TRUE(processEventsUntil([&] { return !server.bodies.isEmpty(); }, 15000))
        << vistrel.readAllStandardError().constData();
    EXPECT_TRUE(server.bodies.first().startsWith(QLatin1String("Vistrel settings were reset\n")));
    EXPECT_TRUE(server.bodies.first().contains(settings.fileName() + QStringLiteral(".unreadable-")))
        << qPrintable(server.bodies.first());
    vistrel.waitForFinished(30000);
    QDBusConnection::disconnectFromBus(QStringLiteral("notifications"));
}

TEST(Reliability, ASilentSessionBusOrXServerDelaysTheStartWithAMessage)
{
    QTemporaryDir folder;
    SilentServer bus(folder.filePath(QStringLiteral("bus")));
    SilentServer x(70);
    ASSERT_TRUE(bus.isListening() && x.isListening());
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("bus")));
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(x.x11Display()));
    VistrelProcess vistrel({QStringLiteral("--status-bar=auto")}, processorGraph(), environment);
    EXPECT_TRUE(vistrel.waitForOutput(QStringLiteral("the session bus at"), 15000)) << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(vistrel.waitForOutput(QStringLiteral("the X server of DISPLAY=%1 accepted the connection but did not "
                                                     "answer within 5 s")
                                          .arg(QString::fromLatin1(x.x11Display())),
        15000))
        << qPrintable(vistrel.errorOutput());
    // Without either it goes on, offscreen.
    EXPECT_FALSE(vistrel.process().waitForFinished(2000)) << qPrintable(vistrel.errorOutput());
}

#include "ReliabilityTest.moc"
