#pragma once

#include <QVariantMap>
#include <QtGlobal>

// A disk driver's "Statistics" as numbers, in the dictionary's units (bytes,
// operations, nanoseconds): what the disk instruments read on every tick,
// without building the dictionary.
struct DiskStatistics {
    quint64 readBytes = 0;
    quint64 writtenBytes = 0;
    quint64 readOperations = 0;
    quint64 writeOperations = 0;
    quint64 readNanoseconds = 0;
    quint64 writeNanoseconds = 0;

    bool operator==(const DiskStatistics&) const = default;

    // Entries that are missing or not numbers read 0.
    static DiskStatistics fromDictionary(const QVariantMap& statistics);
    // Every number under its key, as quint64.
    QVariantMap dictionary() const;
};
