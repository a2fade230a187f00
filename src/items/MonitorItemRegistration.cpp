#include "items/MonitorItemRegistration.h"

#include "items/MonitorItemClasses.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNMainMenuMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"

void registerMonitorItemClasses()
{
    MonitorItemClasses& classes = MonitorItemClasses::shared();
    classes.add<QRNCPUMonitorItem>(QLatin1String(QRNCPUMonitorItem::ClassName), 1.0);
    classes.add<QRNMemoryMonitorItem>(QLatin1String(QRNMemoryMonitorItem::ClassName), 1.0);
    classes.createMainMenuItem = [] { return std::make_unique<QRNMainMenuMonitorItem>(); };
}
