#pragma once

#include <QtGlobal>

// The kernel's cumulative counters of one network interface, in the order
// the interface statistics record keeps them.
struct NetInterfaceStatistics {
    quint64 inputPackets = 0;
    quint64 inputErrors = 0;
    quint64 inputBytes = 0;
    quint64 outputPackets = 0;
    quint64 outputErrors = 0;
    quint64 outputBytes = 0;
    quint64 collisions = 0;

    // Field by field, modulo 2^64: a counter that went round still gives the
    // amount since the earlier reading.
    NetInterfaceStatistics operator-(const NetInterfaceStatistics& earlier) const
    {
        return {inputPackets - earlier.inputPackets, inputErrors - earlier.inputErrors,
            inputBytes - earlier.inputBytes, outputPackets - earlier.outputPackets,
            outputErrors - earlier.outputErrors, outputBytes - earlier.outputBytes,
            collisions - earlier.collisions};
    }
    bool operator==(const NetInterfaceStatistics&) const = default;
};
