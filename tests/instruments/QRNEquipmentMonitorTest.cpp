#include "instruments/QRNEquipmentMonitor.h"

#include "platform/hotplug/DeviceWatch.h"
#include "platform/notifications/NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

class ScriptedWatch : public DeviceWatch {
public:
    explicit ScriptedWatch(QStringList present)
        : m_present(std::move(present))
    {
    }
    QStringList presentDevices() const override { return m_present; }
    void arrive(const QString& id) { Q_EMIT deviceArrived(id); }
    void depart(const QString& id) { Q_EMIT deviceDeparted(id); }

private:
    QStringList m_present;
};

struct Recorder {
    Recorder()
    {
        token = NotificationCenter::defaultCenter().addObserver({}, [this](const QString& name, const QVariantMap& info) {
            if (name.startsWith(QLatin1String("QRNEquipment")))
                seen << name.mid(12) + QLatin1Char(' ') + info.value(QStringLiteral("Type")).toString()
                        + QLatin1Char(' ') + info.value(QStringLiteral("ID")).toString();
        });
    }
    ~Recorder() { NotificationCenter::defaultCenter().removeObserver(token); }
    QStringList seen;
    NotificationCenter::Token token;
};

} // namespace

TEST(QRNEquipmentMonitor, AnnouncesEachDeviceOnceAndItsDepartureOnceWithTheSameID)
{
    Recorder recorder;
    QRNEquipmentMonitor monitor;
    auto disks = std::make_unique<ScriptedWatch>(QStringList {QStringLiteral("vda"), QString(), QStringLiteral("vda")});
    auto nets = std::make_unique<ScriptedWatch>(QStringList {QStringLiteral("eth0")});
    ScriptedWatch* diskWatch = disks.get();
    ScriptedWatch* netWatch = nets.get();
    monitor.addWatch(QRNEquipmentMonitor::Kind::Disk, std::move(disks));
    monitor.addWatch(QRNEquipmentMonitor::Kind::Net, std::move(nets));

    diskWatch->arrive(QStringLiteral("loop0"));
    diskWatch->arrive(QStringLiteral("loop0"));
    diskWatch->arrive(QString());
    diskWatch->depart(QStringLiteral("sdz"));
    // The same name under the other kind is a different device.
    netWatch->depart(QStringLiteral("loop0"));
    diskWatch->depart(QStringLiteral("loop0"));
    diskWatch->depart(QStringLiteral("loop0"));
    netWatch->arrive(QStringLiteral("veth1"));

    EXPECT_EQ(recorder.seen,
        QStringList({QStringLiteral("WasAddedNotification Disk vda"), QStringLiteral("WasAddedNotification Net eth0"),
            QStringLiteral("WasAddedNotification Disk loop0"), QStringLiteral("WasRemovedNotification Disk loop0"),
            QStringLiteral("WasAddedNotification Net veth1")}));
    EXPECT_TRUE(monitor.isAnnounced(QRNEquipmentMonitor::Kind::Net, QStringLiteral("veth1")));
    EXPECT_FALSE(monitor.isAnnounced(QRNEquipmentMonitor::Kind::Disk, QStringLiteral("loop0")));
}
