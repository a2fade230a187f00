#pragma once

#include "platform/registry/DiskStatistics.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// The counters of a block device's `stat` file: one line of whitespace-separated
// decimal fields (read I/Os, read merges, read sectors, read ticks, write I/Os,
// write merges, write sectors, write ticks, then in-flight and further fields
// that newer kernels append). Sectors are 512 bytes whatever the device's own
// sector size; ticks are milliseconds.
struct BlockStatistics {
    quint64 readOperations = 0;
    quint64 readSectors = 0;
    quint64 readMilliseconds = 0;
    quint64 writeOperations = 0;
    quint64 writeSectors = 0;
    quint64 writeMilliseconds = 0;

    // None when the line has fewer than the eight fields every kernel writes
    // or a field is not a number.
    static std::optional<BlockStatistics> parse(QByteArrayView text);

    // The driver's "Statistics": bytes, operations and total time
    // (nanoseconds) in each direction.
    DiskStatistics diskStatistics() const;
};
