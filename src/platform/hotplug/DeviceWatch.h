#pragma once

#include <QObject>
#include <QStringList>

// One kind of hot-pluggable device (disks, network interfaces) as the kernel
// reports it. A watch names the devices present when it is asked and signals
// every later arrival and departure on the thread that created it; it never
// polls. Each device is named by the identification the items key it by.
class DeviceWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceWatch() override = default;

    virtual QStringList presentDevices() const = 0;

Q_SIGNALS:
    void deviceArrived(const QString& identification);
    void deviceDeparted(const QString& identification);
};
