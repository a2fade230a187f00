#pragma once

#include <QtGlobal>

// Swap space as the kernel's swap-usage record reports it, in bytes.
struct SwapUsage {
    quint64 total = 0;
    quint64 available = 0;
    quint64 used = 0;
    quint32 pageSize = 0;
    bool encrypted = false;

    bool operator==(const SwapUsage&) const = default;
};
