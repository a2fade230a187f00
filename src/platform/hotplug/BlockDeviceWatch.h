#pragma once

#include "platform/hotplug/DeviceWatch.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Disks as the kernel reports them: a udev monitor on the block subsystem,
// read through a socket notifier in the main loop. It listens to udevd's
// socket where udevd runs (its database is complete by the time the event
// comes) and to the kernel's own events where none runs (containers). On
// every disk event it asks for the identifications of the disks present and
// reports the difference to what it knew, so a loop device whose backing file
// changes departs under its old name and arrives under its new one.
class BlockDeviceWatch : public DeviceWatch {
    Q_OBJECT
public:
    // Device name (sda, loop0) → identification, for every disk present now;
    // disks without identification may be left out.
    using Census = std::function<QHash<QString, QString>()>;

    explicit BlockDeviceWatch(Census census, QObject* parent = nullptr);
    ~BlockDeviceWatch() override;

    // When no monitor can be opened (logged), only the disks present when asked.
    QStringList presentDevices() const override;

private:
    void receive();
    void takeCensus();

    Census m_census;
    mutable QHash<QString, QString> m_known; // as last reported
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
