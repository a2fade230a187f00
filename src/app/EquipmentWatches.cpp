#include "app/EquipmentWatches.h"

#include "instruments/QRNAPFSConfigurationMonitor.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "platform/hotplug/BlockDeviceWatch.h"
#include "platform/hotplug/RtnetlinkWatch.h"
#include "storage/QRNPhysicalDisk.h"

namespace EquipmentWatches {

void start(bool suppressSerials)
{
    QRNPhysicalDisk::setSerialNumberPrivacyEnabled(suppressSerials);
    static bool watching = false;
    if (watching)
        return;
    watching = true;
    QRNEquipmentMonitor& monitor = QRNEquipmentMonitor::equipmentMonitor();
    monitor.addWatch(QRNEquipmentMonitor::Kind::Disk,
        std::make_unique<BlockDeviceWatch>(&QRNPhysicalDisk::identificationsByBSDName));
    monitor.addWatch(QRNEquipmentMonitor::Kind::Net, std::make_unique<RtnetlinkWatch>());
    QRNAPFSConfigurationMonitor::sharedMonitor();
}

} // namespace EquipmentWatches
