#pragma once

#include <QByteArrayView>
#include <QDateTime>

#include <optional>

// When a process started, from the start tick of /proc/<pid>/stat and the
// time since boot: the end of its start tick, within a clock tick of the
// true start (the boot time in /proc/stat is rounded to whole seconds, too
// coarse to order files by).
class ProcessStartTime {
public:
    static std::optional<QDateTime> of(qint64 processID);
    // Field 22 of a /proc/<pid>/stat line, in clock ticks since boot.
    static std::optional<quint64> startTicks(QByteArrayView statLine);
};
