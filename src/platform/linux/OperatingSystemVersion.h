#pragma once

#include <QtGlobal>

// A release as major, minor and patch number ("6.1.0" -> 6, 1, 0).
struct OperatingSystemVersion {
    quint32 majorVersion = 0;
    quint32 minorVersion = 0;
    quint32 patchVersion = 0;
    bool operator==(const OperatingSystemVersion&) const = default;
};
