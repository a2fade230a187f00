#pragma once

#include <QtGlobal>

// The kernel's virtual-memory statistics in the layout of the 64-bit record
// the memory instrument is written against: page counts of the moment in
// 32 bits, cumulative event counts in 64 bits, in the record's order.
// HostMemoryStatistics fills it from /proc and documents where each field
// comes from; fields Linux does not keep stay 0.
struct VMStatistics64 {
    quint32 free_count = 0;
    quint32 active_count = 0;
    quint32 inactive_count = 0;
    quint32 wire_count = 0;
    quint64 zero_fill_count = 0;
    quint64 reactivations = 0;
    quint64 pageins = 0;
    quint64 pageouts = 0;
    quint64 faults = 0;
    quint64 cow_faults = 0;
    quint64 lookups = 0;
    quint64 hits = 0;
    quint64 purges = 0;
    quint32 purgeable_count = 0;
    quint32 speculative_count = 0;
    quint64 decompressions = 0;
    quint64 compressions = 0;
    quint64 swapins = 0;
    quint64 swapouts = 0;
    quint32 compressor_page_count = 0;
    quint32 throttled_count = 0;
    quint32 external_page_count = 0;
    quint32 internal_page_count = 0;
    quint64 total_uncompressed_pages_in_compressor = 0;

    bool operator==(const VMStatistics64&) const = default;
};
