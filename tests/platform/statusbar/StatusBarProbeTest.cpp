#include "platform/statusbar/StatusBarProbe.h"

#include "PrivateSessionBus.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QDBusConnectionInterface>

#include <gtest/gtest.h>


TEST(StatusBarProbe, SeesTheWatcherComeAndGoOnTheBus)
{
    PrivateSessionBus daemon;
    ASSERT_FALSE(daemon.address().isEmpty());
    QDBusConnection bus = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("probe"));
    QDBusConnection watcher = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("watcher"));
    ASSERT_TRUE(bus.isConnected());
    ASSERT_TRUE(watcher.isConnected());

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

TEST(StatusBarProbe, NoBusMeansNoWatcher)
{
    LogCapture log;
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    EXPECT_FALSE(StatusBarProbe::isStatusNotifierWatcherRegistered(nowhere));
    EXPECT_EQ(log.messages(LogLevel::Info).size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

TEST(StatusBarProbe, NoX11DisplayWithoutAReachableServer)
{
    {
        const ScopedEnvironmentVariable display("DISPLAY", QByteArray());
        EXPECT_FALSE(StatusBarProbe::isX11DisplayAvailable());
    }
    {
        // A display number no server listens on.
        const ScopedEnvironmentVariable display("DISPLAY", ":6543");
        EXPECT_FALSE(StatusBarProbe::isX11DisplayAvailable());
    }
}
