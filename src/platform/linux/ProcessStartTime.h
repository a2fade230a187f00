#pragma once

#include <QByteArrayView>
#include <QDateTime>

#include <optional>

// When a process started, from the start tick of /proc/<pid>/stat and the
// system's uptime, to within a few clock ticks (the boot time in /proc/stat
// is rounded to whole seconds, too coarse to order files by).
class ProcessStartTime {
public:
    static std::optional<QDateTime> of(qint64 processID);
    // Field 22 of a /proc/<pid>/stat line, in clock ticks since boot.
    static std::optional<quint64> startTicks(QByteArrayView statLine);
};
