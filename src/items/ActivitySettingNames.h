#pragma once

#include <QLatin1String>

// The activity item's settings, after the "ActivityTopic-" prefix.
namespace ActivitySettingName {
// Lists of {"Identification": name, "TriState": coloured lamp}, in lamp order.
inline constexpr QLatin1String MonitoredDisks("MonitoredDisks");
inline constexpr QLatin1String MonitoredNetInterfaces("MonitoredNetInterfaces");
inline constexpr QLatin1String UseUpDownNetworkIcons("UseUpDownNetworkIcons");
inline constexpr QLatin1String Identification("Identification");
inline constexpr QLatin1String TriState("TriState");
} // namespace ActivitySettingName
