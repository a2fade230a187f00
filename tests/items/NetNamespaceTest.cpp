#include "instruments/ActivityState.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "instruments/QRNNetInterfaceInstrument.h"
#include "items/ActivitySettingNames.h"
#include "items/OpenedMenu.h"
#include "items/QRNActivityMonitorItem.h"
#include "items/QRNNetMonitorItem.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNStateMenuBarCell.h"
#include "platform/hotplug/RtnetlinkWatch.h"
#include "platform/net/InterfaceAddresses.h"
#include "platform/notifications/NotificationCenter.h"
#include "settings/SettingNames.h"
#include "support/EventsUntil.h"
#include "support/ScopedStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>

#include <gtest/gtest.h>

// These tests change real interfaces, so they run only in a private network
// namespace: the outer test starts the test binary again under
// "unshare -n -m" with /sys mounted for the new namespace, and the inner
// run (VISTREL_NET_NAMESPACE set) does the work.

namespace {

constexpr char InsideVariable[] = "VISTREL_NET_NAMESPACE";

bool insideNamespace()
{
    return qEnvironmentVariableIsSet(InsideVariable);
}

// Runs this test again inside a new namespace; skips when namespaces are not permitted.
void runInsideNamespace()
{
    const QString test = QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name())
        + u'.' + QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("-m"), QStringLiteral("true")});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
        GTEST_SKIP() << "private network namespaces are not permitted here (unshare -n -m: "
                     << (probe.errorString() + u' ' + QString::fromLocal8Bit(probe.readAllStandardError())).trimmed().toStdString()
                     << "); the real-kernel network tests did not run";
    }
    if (QProcess::execute(QStringLiteral("ip"), {QStringLiteral("-V")}) != 0)
        GTEST_SKIP() << "the ip command (iproute2) is missing; the real-kernel network tests did not run";

    QProcess inner;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(InsideVariable), QStringLiteral("1"));
    inner.setProcessEnvironment(environment);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("-m"), QStringLiteral("--"), QStringLiteral("/bin/sh"),
        QStringLiteral("-c"), QStringLiteral("mount --make-rprivate / && mount -t sysfs sysfs /sys && exec \"$0\" --gtest_filter=\"$1\""),
        QCoreApplication::applicationFilePath(), test});
    ASSERT_TRUE(inner.waitForFinished(120000)) << "the namespace run did not end";
    const QString output = QString::fromLocal8Bit(inner.readAll());
    EXPECT_EQ(inner.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

void ip(const QString& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ip"), arguments.split(u' '));
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << "ip " << arguments.toStdString() << ": " << process.readAll().toStdString();
}

// Records the equipment notifications of network interfaces.
struct Announcements {
    Announcements()
    {
        for (const char* name : {EquipmentWasAddedNotification, EquipmentWasRemovedNotification}) {
            tokens.push_back(NotificationCenter::defaultCenter().addObserver(QLatin1String(name),
                [this](const QString& posted, const QVariantMap& info) {
                    if (info.value(QStringLiteral("Type")) == QStringLiteral("Net"))
                        lines.append(posted + u' ' + info.value(QStringLiteral("ID")).toString());
                }));
        }
    }
    ~Announcements()
    {
        for (auto token : tokens)
            NotificationCenter::defaultCenter().removeObserver(token);
    }
    QStringList lines;
    std::vector<NotificationCenter::Token> tokens;
};

// Sends UDP datagrams out of an interface towards a neighbour that does not answer.
void sendThrough(const char* destination, int datagrams, int size)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, destination, &to.sin_addr);
    const QByteArray payload(size, 'x');
    for (int i = 0; i < datagrams; ++i)
        ::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    ::close(fd);
}

// One sampling tick a little over a second after the last.
void tick(QRNNetMonitorItem& item)
{
    eventsUntil([] { return false; }, 1050);
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    item.updateInterface();
}

quint32 flagsOf(const QString& interface, const QString& address)
{
    const InterfaceAddressList list = InterfaceAddresses::systemAddresses().value(interface);
    const qsizetype index = list.ipv6.indexOf(address);
    EXPECT_GE(index, 0) << address.toStdString() << " on " << interface.toStdString();
    return index < 0 ? 0 : list.ipv6Flags.value(index);
}

} // namespace

TEST(NetworkNamespace, ItemFollowsARealInterfaceFromArrivalThroughTrafficAndAddressesToRemoval)
{
    if (!insideNamespace())
        return runInsideNamespace();

    ScopedStatusBar bar;
    QRNNetInterfaceInstrument::setSource({});
    Announcements announced;
    QRNEquipmentMonitor monitor;
    auto watch = std::make_unique<RtnetlinkWatch>();
    ASSERT_TRUE(watch->isWatching());
    monitor.addWatch(QRNEquipmentMonitor::Kind::Net, std::move(watch));
    EXPECT_EQ(announced.lines, QStringList({"QRNEquipmentWasAddedNotification lo"}));

    QRNNetMonitorItem::Delays delays {1, 50, 50, 250, 100000};
    QRNNetMonitorItem item([] { return QString(); }, delays);
    ASSERT_TRUE(item.initWithCellConfiguration(QRNNetMonitorItem::defaultCellConfiguration()));
    item.setMonitoredInterfaces({QStringLiteral("veth-a")});
    EXPECT_TRUE(item.offlineInterfaceNames().contains(QStringLiteral("veth-a")));

    // It appears: announced at once; monitored as soon as it has an address.
    ip(QStringLiteral("link add veth-a type veth peer name veth-b"));
    ASSERT_TRUE(eventsUntil([&] { return announced.lines.contains(QStringLiteral("QRNEquipmentWasAddedNotification veth-a")); }));
    ip(QStringLiteral("addr add 10.77.0.1/24 dev veth-a"));
    ip(QStringLiteral("link set veth-a up"));
    ip(QStringLiteral("link set veth-b up"));
    ASSERT_TRUE(eventsUntil([&] { return item.monitoredInterfaceNames() == QStringList({"veth-a"}); }, 5000))
        << item.offlineInterfaceNames().values().join(u' ').toStdString();

    // Traffic across it shows within two ticks, in the rates and the graph.
    ip(QStringLiteral("neigh add 10.77.0.9 lladdr 02:00:00:00:00:09 dev veth-a"));
    tick(item);
    sendThrough("10.77.0.9", 2000, 1400);
    tick(item);
    tick(item);
    const auto [peakIn, peakOut] = item.peakRatesOfInterface(QStringLiteral("veth-a"));
    EXPECT_GE(peakOut, 2000u * 1400u);
    openedMenu(item);
    QRNGraphMenuView* graph = item.graphViewOfInterface(QStringLiteral("veth-a"));
    ASSERT_TRUE(graph);
    tick(item);
    sendThrough("10.77.0.9", 500, 1400);
    tick(item);
    EXPECT_GE(graph->bufferedGraph().maximumValue2(), 500.0f * 1400.0f);

    // An address comes and goes: the menu follows.
    ip(QStringLiteral("addr add 10.77.0.3/24 dev veth-a"));
    tick(item);
    EXPECT_TRUE(openedMenu(item).contains(QStringLiteral("\t10.77.0.3\n")));
    ip(QStringLiteral("addr del 10.77.0.3/24 dev veth-a"));
    tick(item);
    EXPECT_FALSE(openedMenu(item).contains(QStringLiteral("10.77.0.3")));

    // The link goes: announced once; the item keeps it as offline.
    ip(QStringLiteral("link del veth-a"));
    ASSERT_TRUE(eventsUntil([&] { return announced.lines.contains(QStringLiteral("QRNEquipmentWasRemovedNotification veth-a")); }));
    EXPECT_EQ(announced.lines.count(QStringLiteral("QRNEquipmentWasRemovedNotification veth-a")), 1);
    EXPECT_TRUE(item.monitoredInterfaceNames().isEmpty());
    EXPECT_TRUE(item.offlineInterfaceNames().contains(QStringLiteral("veth-a")));
}

TEST(NetworkNamespace, TentativeAndDeprecatedIPv6AddressesCarryTheirFlags)
{
    if (!insideNamespace())
        return runInsideNamespace();
    ip(QStringLiteral("link add veth-c type veth peer name veth-d"));
    // On a link that is down, duplicate address detection has not run: tentative.
    ip(QStringLiteral("-6 addr add 2001:db8:78::1/64 dev veth-c"));
    const quint32 tentative = flagsOf(QStringLiteral("veth-c"), QStringLiteral("2001:db8:78::1"));
    EXPECT_TRUE(tentative & InterfaceAddresses::Tentative) << tentative;
    EXPECT_FALSE(tentative & InterfaceAddresses::Deprecated) << tentative;

    ip(QStringLiteral("-6 addr add 2001:db8:79::1/64 dev veth-d nodad preferred_lft 0 valid_lft forever"));
    const quint32 deprecated = flagsOf(QStringLiteral("veth-d"), QStringLiteral("2001:db8:79::1"));
    EXPECT_EQ(deprecated, quint32(InterfaceAddresses::Deprecated));
}

TEST(NetworkNamespace, ActivityLampOfAVethShowsSendingWithinATickAndGoesWithTheLink)
{
    if (!insideNamespace())
        return runInsideNamespace();

    ScopedStatusBar bar;
    Announcements announced;
    QRNEquipmentMonitor monitor;
    auto watch = std::make_unique<RtnetlinkWatch>();
    ASSERT_TRUE(watch->isWatching());
    monitor.addWatch(QRNEquipmentMonitor::Kind::Net, std::move(watch));
    QRNActivityMonitorItem item(false);
    ASSERT_TRUE(item.initWithCellConfiguration({}));
    item.handleChangeOfUserDefault(SettingsKey(TopicName::Activity, ActivitySettingName::MonitoredNetInterfaces),
        QVariantList{QVariantMap{{"Identification", "veth-e"}, {"TriState", true}}});
    EXPECT_TRUE(item.offlineInterfaceNames().contains(QStringLiteral("veth-e")));
    // The lamp after the "NET" label; -1 while there is none.
    const auto lamp = [&] {
        const auto& cells = item.menuBarImage()->menuBarCells();
        auto* cell = cells.size() == 2 ? dynamic_cast<QRNStateMenuBarCell*>(cells[1].get()) : nullptr;
        return cell ? cell->activityState() : -1;
    };

    ip(QStringLiteral("link add veth-e type veth peer name veth-f"));
    ASSERT_TRUE(eventsUntil([&] { return lamp() >= 0; })) << announced.lines.join(u' ').toStdString();
    // No IPv6 on the pair: its router solicitations would light the lamp at random.
    for (const char* name : {"veth-e", "veth-f"}) {
        QFile off(QStringLiteral("/proc/sys/net/ipv6/conf/%1/disable_ipv6").arg(QLatin1String(name)));
        if (off.open(QIODevice::WriteOnly))
            off.write("1\n");
    }
    ip(QStringLiteral("addr add 10.78.0.1/24 dev veth-e"));
    ip(QStringLiteral("link set veth-e up"));
    ip(QStringLiteral("link set veth-f up"));
    ip(QStringLiteral("neigh add 10.78.0.9 lladdr 02:00:00:00:00:09 dev veth-e"));

    QTimer group;
    QObject::connect(&group, &QTimer::timeout, [&] {
        for (const auto& instrument : item.monitorInstruments())
            instrument->collectNewSample();
        item.updateInterface();
    });
    group.start(250);
    // Quiet first (the link's own start-up packets pass), then a steady stream out of veth-e.
    ASSERT_TRUE(eventsUntil([&] { return lamp() == int(ActivityState::Idle); }, 5000)) << lamp();
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout, [] { sendThrough("10.78.0.9", 20, 200); });
    QElapsedTimer clock;
    clock.start();
    sender.start(20);
    const bool sending = eventsUntil([&] { return lamp() == int(ActivityState::Outgoing); }, 500);
    const qint64 sendingAfter = clock.elapsed();
    sender.stop();
    clock.restart();
    const bool idle = eventsUntil([&] { return lamp() == int(ActivityState::Idle); }, 600);
    std::cout << "sending lamp after " << sendingAfter << " ms, idle again after " << clock.elapsed() << " ms\n";
    EXPECT_TRUE(sending) << lamp();
    EXPECT_TRUE(idle) << lamp();

    ip(QStringLiteral("link del veth-e"));
    EXPECT_TRUE(eventsUntil([&] { return lamp() == -1; }));
    EXPECT_TRUE(item.offlineInterfaceNames().contains(QStringLiteral("veth-e")));
    eventsUntil([] { return false; }, 600);
}
