#include "app/DiskWatch.h"

#include "instruments/QRNEquipmentMonitor.h"
#include "platform/hotplug/BlockDeviceWatch.h"
#include "storage/QRNPhysicalDisk.h"

namespace DiskWatch {

void start(bool suppressSerials)
{
    QRNPhysicalDisk::setSerialNumberPrivacyEnabled(suppressSerials);
    static bool watching = false;
    if (watching)
        return;
    watching = true;
    QRNEquipmentMonitor::equipmentMonitor().addWatch(
        QRNEquipmentMonitor::Kind::Disk, std::make_unique<BlockDeviceWatch>(&QRNPhysicalDisk::identificationsByBSDName));
}

} // namespace DiskWatch
