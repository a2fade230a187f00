#pragma once

#include "platform/linux/Sysroot.h"

#include <QtGlobal>

#include <memory>
#include <optional>
#include <string>

// The pair of counters an activity lamp compares, read four times a second
// from files kept open: a disk's read and write operations from its stat
// file, with whether its device is runtime-suspended; an interface's
// received and sent packets. A read is one pread per file and allocates
// nothing. Files that stop answering (the device went away) are opened
// afresh on the next read.
class ActivityCounterFiles {
public:
    struct Reading {
        quint64 incoming = 0;
        quint64 outgoing = 0;
        bool sleeping = false;
        bool operator==(const Reading&) const = default;
    };

    // None when the counter files cannot be opened.
    static std::unique_ptr<ActivityCounterFiles> forDisk(const Sysroot& sysroot, const QString& disk);
    static std::unique_ptr<ActivityCounterFiles> forInterface(const Sysroot& sysroot, const QString& name);
    ~ActivityCounterFiles();
    ActivityCounterFiles(const ActivityCounterFiles&) = delete;
    ActivityCounterFiles& operator=(const ActivityCounterFiles&) = delete;

    // None while the counters cannot be read or do not parse.
    std::optional<Reading> read();

    // The read and write operations of a stat line (its first and fifth fields).
    static std::optional<Reading> parseStatLine(const char* text, std::size_t size);
    // A file holding one decimal counter.
    static std::optional<quint64> parseCounter(const char* text, std::size_t size);

private:
    enum class Kind { Disk, Interface };
    ActivityCounterFiles(Kind kind, std::string first, std::string second);
    bool open();
    void close();
    std::optional<Reading> readOpen();

    Kind m_kind;
    // Disk: stat and runtime_status (optional); interface: rx_packets and tx_packets.
    std::string m_firstPath;
    std::string m_secondPath;
    int m_first = -1;
    int m_second = -1;
    // Files of /sys, which need no check for removal before each read.
    bool m_generatedByTheKernel = false;
    // The disk's runtime_status said "unsupported": it never sleeps.
    bool m_powerStatusUnsupported = false;
};
