#pragma once

#include "platform/registry/DiskStatistics.h"

#include <QByteArrayView>

#include <optional>

// The counters of a block device's `stat` file: one line of whitespace-separated
// decimal fields (read I/Os, read merges, read sectors, read ticks, write I/Os,
// write merges, write sectors, write ticks, then in-flight and further fields
// that newer kernels append). Sectors are 512 bytes whatever the device's own
// sector size; ticks are milliseconds.
namespace BlockStatistics {

// The line as the driver's "Statistics" (bytes, operations and nanoseconds in
// each direction); none when it has fewer than the eight fields every kernel
// writes or a field is not a number.
std::optional<DiskStatistics> parse(QByteArrayView text);

} // namespace BlockStatistics
