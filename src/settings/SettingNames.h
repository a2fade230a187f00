#pragma once

#include <QLatin1String>

// The topics that own settings: the configuration pages by class name.
namespace TopicName {
inline constexpr QLatin1String Processor("ProcessorTopic");
inline constexpr QLatin1String Sensor("SensorTopic");
inline constexpr QLatin1String Memory("MemoryTopic");
inline constexpr QLatin1String FileSystem("FileSystemTopic");
inline constexpr QLatin1String Disk("DiskTopic");
inline constexpr QLatin1String Network("NetworkTopic");
inline constexpr QLatin1String Activity("ActivityTopic");
inline constexpr QLatin1String MenuBarLayout("MenuBarLayoutTopic");
inline constexpr QLatin1String Preferences("PreferencesTopic");
} // namespace TopicName

// The names of settings, the part of a key after its topic (or the whole
// key of an application-level setting).
namespace SettingName {
// Application level.
inline constexpr QLatin1String PassedFirstStart("PassedFirstStart");
inline constexpr QLatin1String SelectedTopicClass("SelectedTopicClass");
inline constexpr QLatin1String EnableEventLogging("EnableEventLogging");
inline constexpr QLatin1String SuppressDiskSerialsInMenus("QRNSuppressDiskSerialsInMenus");
inline constexpr QLatin1String KeepInMenuBar("KeepInMenuBar");
inline constexpr QLatin1String UseAppExtension("UseAppExtension");

// Every monitor-item topic.
inline constexpr QLatin1String IsActive("IsActive");
inline constexpr QLatin1String MenuBarConfiguration("MenuBarConfiguration");

// Preferences page; the memory display mode is also mirrored to the application level.
inline constexpr QLatin1String SuppressSwitchingNotice("SuppressSwitchingNotice");
inline constexpr QLatin1String TemperatureUnit("TemperatureUnit");
inline constexpr QLatin1String WANProviderCode("WANProviderCode");
inline constexpr QLatin1String MemoryDisplayMode("QRNMemoryDisplayMode");

// Menu-bar layout page.
inline constexpr QLatin1String BarSuppressMainMenuIcon("BarSuppressMainMenuIcon");
inline constexpr QLatin1String BarSuppressDecimalPlaces("BarSuppressDecimalPlaces");
inline constexpr QLatin1String BarHistoryScaling("BarHistoryScaling");
inline constexpr QLatin1String BarGraphScaling("BarGraphScaling");

// Processor item.
inline constexpr QLatin1String ShowIndividualCPUs("ShowIndividualCPUs");
inline constexpr QLatin1String ShowCPUGraphs("ShowCPUGraphs");
inline constexpr QLatin1String ShowGPULoads("ShowGPULoads");
inline constexpr QLatin1String ShowTopProcesses("ShowTopProcesses");

// Memory item (it shares ShowTopProcesses).
inline constexpr QLatin1String HandleInactiveAsFree("HandleInactiveAsFree");
inline constexpr QLatin1String ShowMemoryBySize("ShowMemoryBySize");
inline constexpr QLatin1String ShowMenuGraph("ShowMenuGraph");
inline constexpr QLatin1String ShowSwapsAsBytes("ShowSwapsAsBytes");
inline constexpr QLatin1String MemoryTerminology("MemoryTerminology");
inline constexpr QLatin1String ShowGPUMemory("ShowGPUMemory");

// Volume item.
inline constexpr QLatin1String MonitoredPaths("MonitoredPaths");
inline constexpr QLatin1String FreeDefinitionMode("FreeDefinitionMode");

// Sensor item: what the app extension may report.
inline constexpr QLatin1String PermitPowerGadget("PermitPowerGadget");
inline constexpr QLatin1String PermitARMGadget("PermitARMGadget");
inline constexpr QLatin1String ShowFanSpeedGraphs("ShowFanSpeedGraphs");
inline constexpr QLatin1String UseFixRangeFanGraphs("UseFixRangeFanGraphs");
} // namespace SettingName
