#pragma once

#include <QLatin1String>

// Settings of the network item and its page, after the topic prefix.
namespace NetworkSettingName {
inline constexpr QLatin1String MonitoredNetInterfaces("MonitoredNetInterfaces");
inline constexpr QLatin1String ShowOpposedGraphs("ShowOpposedGraphs");
inline constexpr QLatin1String ShowLocallyZoomedGraphs("ShowLocallyZoomedGraphs");
inline constexpr QLatin1String ShowReadingsAsBits("ShowReadingsAsBits");
inline constexpr QLatin1String ShouldGetWANAddress("ShouldGetWANAddress");
inline constexpr QLatin1String WANUpdateInterval("WANUpdateInterval");
} // namespace NetworkSettingName
