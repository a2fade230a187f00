#include "platform/statusbar/StatusBarProbe.h"

#include "PrivateSessionBus.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

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
        EXPECT_FALSE(StatusBarProbe::isX11DisplayAvailable()) << display.constData();
    }
}
