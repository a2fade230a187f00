#pragma once

#include <QLatin1String>

// The disk item's settings, after the "DiskTopic-" prefix.
namespace DiskSettingName {
inline constexpr QLatin1String MonitoredDisks("MonitoredDisks");
inline constexpr QLatin1String ShowOpposedGraphs("ShowOpposedGraphs");
inline constexpr QLatin1String ShowLocallyZoomedGraphs("ShowLocallyZoomedGraphs");
} // namespace DiskSettingName
