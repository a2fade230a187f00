// The disk watch and the disk instruments against the real kernel: a
// file-backed loop device attached, written to and detached while the watch
// listens. Needs root and losetup; skipped otherwise.

#include "app/EquipmentWatches.h"
#include "instruments/QRNDiskActivityInstrument.h"
#include "instruments/QRNDiskInstrument.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "items/DiskSettingNames.h"
#include "items/ActivitySettingNames.h"
#include "items/QRNActivityMonitorItem.h"
#include "items/QRNDiskMonitorItem.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNStateMenuBarCell.h"
#include "platform/log/LogCapture.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/registry/LinuxRegistry.h"
#include "settings/SettingNames.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"
#include "support/ScopedStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <iostream>

#include <malloc.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// Runs the event loop until the condition holds or the time is up; the time it took, or -1.
qint64 waitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return timer.elapsed();
}

struct Announcements {
    Announcements()
    {
        token = NotificationCenter::defaultCenter().addObserver({}, [this](const QString& name, const QVariantMap& info) {
            if (info.value(QStringLiteral("Type")) != QLatin1String("Disk"))
                return;
            if (name == QLatin1String(EquipmentWasAddedNotification))
                added.append(info.value(QStringLiteral("ID")).toString());
            else if (name == QLatin1String(EquipmentWasRemovedNotification))
                removed.append(info.value(QStringLiteral("ID")).toString());
        });
    }
    ~Announcements() { NotificationCenter::defaultCenter().removeObserver(token); }
    QStringList added;
    QStringList removed;
    NotificationCenter::Token token;
};

// Bytes in live heap blocks. Resident memory would mislead: the address
// sanitizer keeps freed blocks in quarantine.
quint64 liveHeapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

class LoopDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("losetup"), {"/usr/sbin", "/sbin", "/usr/bin"}).isEmpty()
            || !QFile::exists(QStringLiteral("/dev/loop-control")))
            GTEST_SKIP() << "needs root, losetup and /dev/loop-control";
        Registry::setShared(std::make_unique<LinuxRegistry>(QStringLiteral("/")));
        m_image = m_directory.filePath(QStringLiteral("disk.img"));
        QFile image(m_image);
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.resize(32 << 20));
        m_identification = QStringLiteral("Loop Device (%1)").arg(QRNPhysicalDisk::shortenedSerialNumber(m_image));
        // The process's own disk watch, as the controller starts it.
        EquipmentWatches::start(false);
    }
    void TearDown() override
    {
        if (!m_device.isEmpty())
            detach();
        Registry::setShared(nullptr);
    }

    QString attach()
    {
        bool ok = false;
        m_device = run(QStringLiteral("losetup"), {"--find", "--show", m_image}, &ok);
        EXPECT_TRUE(ok && m_device.startsWith(QLatin1String("/dev/loop"))) << m_device.toStdString();
        return m_device;
    }
    void detach()
    {
        bool ok = false;
        run(QStringLiteral("losetup"), {"-d", m_device}, &ok);
        EXPECT_TRUE(ok) << m_device.toStdString();
        m_device.clear();
    }

    QTemporaryDir m_directory;
    QString m_image;
    QString m_device;
    QString m_identification;
    QRNEquipmentMonitor& m_monitor = QRNEquipmentMonitor::equipmentMonitor();
};

} // namespace

TEST_F(LoopDeviceTest, AttachedLoopDeviceIsAnnouncedCountsItsWritesAndDepartsWhenDetached)
{
    Announcements announcements;
    LogCapture log;
    const ScopedStatusBar bar;
    auto item = std::make_unique<QRNDiskMonitorItem>(false);
    ASSERT_TRUE(item->initWithCellConfiguration({QStringLiteral("QRNTextMenuBarCell:2")}));
    const QStringList physical = QRNDiskInstrument::diskInstrumentsForAllDevices().empty() ? QStringList()
        : QStringList{QRNDiskInstrument::diskInstrumentsForAllDevices().front()->diskIdentification()};
    item->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::MonitoredDisks), physical + QStringList{m_identification});
    const size_t instrumentsAtStart = item->monitorInstruments().size();

    attach();
    const qint64 arrival = waitFor([&] { return announcements.added.contains(m_identification); }, 1000);
    EXPECT_GE(arrival, 0) << "no arrival of " << m_identification.toStdString() << " within a second; seen: "
                          << announcements.added.join(", ").toStdString();
    // A loop device is a virtual disk: announced, but not a disk the item shows.
    EXPECT_EQ(item->monitorInstruments().size(), instrumentsAtStart);
    EXPECT_TRUE(item->offlineDiskIdentifications().contains(m_identification));

    const auto activity = QRNDiskActivityInstrument::diskActivityInstrumentForIdentification(m_identification);
    ASSERT_TRUE(activity);
    const auto statistics = [&] { return activity->deviceEntry()->dictionaryValueWithName(QStringLiteral("Statistics")).value_or(QVariantMap()); };
    const quint64 writtenBefore = statistics().value(QStringLiteral("Bytes (Write)")).toULongLong();
    activity->collectNewSample();
    bool ok = false;
    run(QStringLiteral("dd"), {"if=/dev/zero", "of=" + m_device, "bs=1M", "count=20", "oflag=direct"}, &ok);
    ASSERT_TRUE(ok);
    activity->collectNewSample();
    EXPECT_GE(statistics().value(QStringLiteral("Bytes (Write)")).toULongLong() - writtenBefore, 20ull << 20);
    EXPECT_GE(activity->currentCounters().outgoing - activity->lastCounters().outgoing, 20u);
    EXPECT_EQ(activity->currentActivity(), ActivityState::Outgoing);

    detach();
    EXPECT_GE(waitFor([&] { return announcements.removed.contains(m_identification); }, 1000), 0);
    activity->collectNewSample();
    EXPECT_FALSE(activity->deviceEntry()->properties()) << "the detached device's entries are gone";
    EXPECT_EQ(announcements.added.count(m_identification), 1);
    EXPECT_EQ(announcements.removed.count(m_identification), 1);

    // Fifty more rounds leave the item and the process as they were.
    const quint64 heapBefore = liveHeapBytes();
    for (int round = 0; round < 50; ++round) {
        attach();
        ASSERT_GE(waitFor([&] { return m_monitor.isAnnounced(QRNEquipmentMonitor::Kind::Disk, m_identification); }, 1000), 0) << round;
        detach();
        ASSERT_GE(waitFor([&] { return !m_monitor.isAnnounced(QRNEquipmentMonitor::Kind::Disk, m_identification); }, 1000), 0) << round;
    }
    EXPECT_EQ(announcements.added.count(m_identification), 51);
    EXPECT_EQ(announcements.removed.count(m_identification), 51);
    EXPECT_EQ(item->monitorInstruments().size(), instrumentsAtStart);
    EXPECT_TRUE(item->offlineDiskIdentifications().contains(m_identification));
    const qint64 growth = qint64(liveHeapBytes()) - qint64(heapBefore);
    std::cout << "live heap after 50 attach/detach rounds: " << growth << " bytes more\n";
    EXPECT_LT(growth, 256 << 10);
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << log.messages(LogLevel::Error).join('\n').toStdString();
    EXPECT_TRUE(log.messages(LogLevel::Fault).isEmpty()) << log.messages(LogLevel::Fault).join('\n').toStdString();
}

TEST_F(LoopDeviceTest, ActivityLampOfALoopDeviceWritesWhileDdRunsIdlesAfterAndGoesWithTheDevice)
{
    const ScopedStatusBar bar;
    LogCapture log;
    QRNActivityMonitorItem item(false);
    ASSERT_TRUE(item.initWithCellConfiguration({}));
    attach();
    ASSERT_GE(waitFor([&] { return m_monitor.isAnnounced(QRNEquipmentMonitor::Kind::Disk, m_identification); }, 1000), 0);
    item.handleChangeOfUserDefault(SettingsKey(TopicName::Activity, ActivitySettingName::MonitoredDisks),
        QVariantList{QVariantMap{{"Identification", m_identification}, {"TriState", true}}});
    ASSERT_EQ(item.monitoredDiskIdentifications(), QStringList{m_identification});
    // The lamp as drawn: the cell after the "HD" label; -1 once it is gone.
    const auto lamp = [&] {
        const auto& cells = item.menuBarImage()->menuBarCells();
        auto* cell = cells.size() == 2 ? dynamic_cast<QRNStateMenuBarCell*>(cells[1].get()) : nullptr;
        return cell ? cell->activityState() : -1;
    };
    // The item's sampling group, four times a second.
    QTimer group;
    QObject::connect(&group, &QTimer::timeout, [&] {
        for (const auto& instrument : item.monitorInstruments())
            instrument->collectNewSample();
        item.updateInterface();
    });
    group.start(250);
    EXPECT_GE(waitFor([&] { return lamp() == int(ActivityState::Idle); }, 500), 0) << lamp();

    // Small direct writes for far longer than the test waits; killed, dd stops at once.
    QProcess writer;
    writer.start(QStringLiteral("dd"), {"if=/dev/zero", "of=" + m_device, "bs=512", "count=65536", "oflag=direct", "status=none"});
    ASSERT_TRUE(writer.waitForStarted());
    const qint64 writing = waitFor([&] { return lamp() == int(ActivityState::Outgoing); }, 500);
    writer.kill();
    writer.waitForFinished();
    // The last writes show at the next tick, idle at the one after: two periods
    // of 0.25 s at worst, plus the timer's lateness on a busy machine.
    const qint64 idle = waitFor([&] { return lamp() == int(ActivityState::Idle); }, 600);
    std::cout << "writing lamp after " << writing << " ms, idle again after " << idle << " ms\n";
    EXPECT_GE(writing, 0) << "the lamp did not show writing within 0.5 s";
    EXPECT_GE(idle, 0) << "the lamp did not return to idle within two ticks: " << lamp();

    detach();
    EXPECT_GE(waitFor([&] { return lamp() == -1; }, 1000), 0) << "the lamp of the detached device stayed";
    EXPECT_TRUE(item.menuBarImage()->menuBarCells().empty());
    EXPECT_EQ(item.offlineDiskIdentifications().value(m_identification, -1), 1);
    // Ticks go on without the device.
    waitFor([] { return false; }, 600);
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << log.messages(LogLevel::Error).join('\n').toStdString();
}
