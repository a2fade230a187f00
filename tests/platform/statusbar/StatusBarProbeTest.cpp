#include "platform/statusbar/StatusBarProbe.h"

#include "platform/desktop/SessionBusProbe.h"

#include "PrivateSessionBus.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/SilentServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(StatusBarProbe, SeesTheWatcherComeAndGoOnTheBus)
{
    PrivateSessionBus daemon;
    ASSERT_TRUE(daemon.isRunning());
    QDBusConnection bus = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("probe"));
    QDBusConnection watcher = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("watcher"));
    ASSERT_TRUE(bus.isConnected() && watcher.isConnected());

    EXPECT_FALSE(StatusBarProbe::isStatusNotifierWatcherRegistered(bus));
    // A name that merely resembles the watcher's does not count.
    ASSERT_TRUE(watcher.registerService(QStringLiteral("org.kde.StatusNotifierWatcher2")));
    EXPECT_FALSE(StatusBarProbe::isStatusNotifierWatcherRegistered(bus));
    ASSERT_TRUE(watcher.registerService(StatusBarProbe::WatcherService));
    EXPECT_TRUE(StatusBarProbe::isStatusNotifierWatcherRegistered(bus));
    ASSERT_TRUE(watcher.unregisterService(StatusBarProbe::WatcherService));
    EXPECT_FALSE(StatusBarProbe::isStatusNotifierWatcherRegistered(bus));
    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
    QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
}

TEST(StatusBarProbe, NoBusMeansNoWatcherAndNoServerNoDisplay)
{
    LogCapture log;
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    EXPECT_FALSE(StatusBarProbe::isStatusNotifierWatcherRegistered(nowhere));
    EXPECT_EQ(log.messages(LogLevel::Info).size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));

    // Unset, and a display number no server listens on.
    for (const QByteArray& display : {QByteArray(), QByteArray(":6543")}) {
        const ScopedEnvironmentVariable variable("DISPLAY", display);
        EXPECT_EQ(StatusBarProbe::x11Display(), StatusBarProbe::Display::Absent) << display.constData();
    }
    for (const QByteArray& socket : {QByteArray(), QByteArray("/nonexistent/wayland-0")}) {
        const ScopedEnvironmentVariable variable("WAYLAND_DISPLAY", socket);
        EXPECT_EQ(StatusBarProbe::waylandDisplay(), StatusBarProbe::WaylandDisplay::Absent) << socket.constData();
    }
}

TEST(StatusBarProbe, ASessionBusOrXServerThatNeverAnswersTimesOut)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bus"));
    SilentServer bus(path);
    ASSERT_TRUE(bus.isListening());
    const QByteArray address = "unix:path=" + QFile::encodeName(path) + ",guid=0123";
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SessionBusProbe::probe(address, 300ms), SessionBusProbe::State::Silent);
    EXPECT_LT(clock.elapsed(), 3000);

    PrivateSessionBus daemon;
    ASSERT_TRUE(daemon.isRunning());
    EXPECT_EQ(SessionBusProbe::probe(daemon.address().toUtf8()), SessionBusProbe::State::Answers);
    EXPECT_EQ(SessionBusProbe::probe("unix:path=/nonexistent/bus"), SessionBusProbe::State::Absent);
    EXPECT_EQ(SessionBusProbe::probe(""), SessionBusProbe::State::Absent);
    EXPECT_EQ(SessionBusProbe::socketPath("unix:abstract=/tmp/dbus-x%2cy,guid=1;unix:path=/b"), "@/tmp/dbus-x,y");

    SilentServer x(50);
    ASSERT_TRUE(x.isListening());
    const ScopedEnvironmentVariable display("DISPLAY", x.x11Display());
    clock.restart();
    EXPECT_EQ(StatusBarProbe::x11Display(300ms), StatusBarProbe::Display::Silent);
    EXPECT_LT(clock.elapsed(), 3000);

    const QString socket = folder.filePath(QStringLiteral("wayland-0"));
    SilentServer compositor(socket);
    ASSERT_TRUE(compositor.isListening());
    const ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", QFile::encodeName(socket));
    clock.restart();
    EXPECT_EQ(StatusBarProbe::waylandDisplay(300ms), StatusBarProbe::WaylandDisplay::Silent);
    EXPECT_LT(clock.elapsed(), 3000);
}
