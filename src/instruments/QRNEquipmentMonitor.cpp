#include "instruments/QRNEquipmentMonitor.h"

#include "platform/hotplug/DeviceWatch.h"
#include "platform/notifications/NotificationCenter.h"

namespace {

QString typeText(QRNEquipmentMonitor::Kind kind)
{
    return kind == QRNEquipmentMonitor::Kind::Disk ? QStringLiteral("Disk") : QStringLiteral("Net");
}

void post(const char* name, QRNEquipmentMonitor::Kind kind, const QString& identification)
{
    NotificationCenter::defaultCenter().post(QLatin1String(name),
        {{QStringLiteral("ID"), identification}, {QStringLiteral("Type"), typeText(kind)}});
}

} // namespace

QRNEquipmentMonitor::QRNEquipmentMonitor() = default;
QRNEquipmentMonitor::~QRNEquipmentMonitor() = default;

QRNEquipmentMonitor& QRNEquipmentMonitor::equipmentMonitor()
{
    static QRNEquipmentMonitor monitor;
    return monitor;
}

void QRNEquipmentMonitor::addWatch(Kind kind, std::unique_ptr<DeviceWatch> watch)
{
    auto watched = std::make_unique<Watched>(Watched {kind, std::move(watch), {}});
    Watched* w = watched.get();
    connect(w->watch.get(), &DeviceWatch::deviceArrived, this, [this, w](const QString& id) { arrived(*w, id); });
    connect(w->watch.get(), &DeviceWatch::deviceDeparted, this, [this, w](const QString& id) { departed(*w, id); });
    m_watches.push_back(std::move(watched));
    for (const QString& id : w->watch->presentDevices())
        arrived(*w, id);
}

bool QRNEquipmentMonitor::isAnnounced(Kind kind, const QString& identification) const
{
    for (const auto& w : m_watches) {
        if (w->kind == kind && w->announced.contains(identification))
            return true;
    }
    return false;
}

void QRNEquipmentMonitor::arrived(Watched& watched, const QString& identification)
{
    // A device without identification cannot be followed: it is never announced.
    if (identification.isEmpty() || watched.announced.contains(identification))
        return;
    watched.announced.insert(identification);
    post(EquipmentWasAddedNotification, watched.kind, identification);
}

void QRNEquipmentMonitor::departed(Watched& watched, const QString& identification)
{
    if (!watched.announced.remove(identification))
        return;
    post(EquipmentWasRemovedNotification, watched.kind, identification);
}
