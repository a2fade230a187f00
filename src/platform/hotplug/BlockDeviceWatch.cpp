#include "platform/hotplug/BlockDeviceWatch.h"

#include "platform/log/Log.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <libudev.h>

namespace {

const QString ClassName = QStringLiteral("BlockDeviceWatch");

// udevd announces itself by its control socket.
bool udevdIsRunning()
{
    return QFileInfo::exists(QStringLiteral("/run/udev/control"));
}

} // namespace

BlockDeviceWatch::BlockDeviceWatch(Census census, QObject* parent)
    : DeviceWatch(parent)
    , m_census(std::move(census))
{
    m_udev = udev_new();
    const char* source = udevdIsRunning() ? "udev" : "kernel";
    m_monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, source) : nullptr;
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "block", "disk") < 0
        || udev_monitor_enable_receiving(m_monitor) < 0) {
        Log::fault("%{public}@: cannot listen to the kernel's block-device events; disks plugged in later are not noticed.", {ClassName});
        return;
    }
    Log::debug("%{public}@: following disks through the %{public}@ event source.", {ClassName, QLatin1String(source)});
    m_notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &BlockDeviceWatch::receive);
}

BlockDeviceWatch::~BlockDeviceWatch()
{
    m_notifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

QStringList BlockDeviceWatch::presentDevices() const
{
    m_known = m_census();
    QStringList identifications;
    for (const QString& identification : std::as_const(m_known)) {
        if (!identification.isEmpty())
            identifications.append(identification);
    }
    return identifications;
}

void BlockDeviceWatch::receive()
{
    // Drain every queued event, then look once: a plugged stick sends an add
    // and a change in one burst.
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        udev_device_unref(device);
        any = true;
    }
    if (any)
        takeCensus();
}

void BlockDeviceWatch::takeCensus()
{
    const QHash<QString, QString> now = m_census();
    for (auto it = m_known.cbegin(); it != m_known.cend(); ++it) {
        if (!it.value().isEmpty() && now.value(it.key()) != it.value())
            Q_EMIT deviceDeparted(it.value());
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (!it.value().isEmpty() && m_known.value(it.key()) != it.value())
            Q_EMIT deviceArrived(it.value());
    }
    m_known = now;
}
