#pragma once

#include <QLatin1String>

// Settings of the software update check, application level.
namespace UpdateSettingName {
// The user wants the check once a day at start.
inline constexpr QLatin1String AutoUpdateNotification("AutoUpdateNotification");
} // namespace UpdateSettingName
