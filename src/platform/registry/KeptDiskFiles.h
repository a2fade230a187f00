#pragma once

#include "platform/registry/BlockStatistics.h"
#include "platform/linux/Sysroot.h"

#include <QHash>
#include <QString>

#include <optional>

// The stat file and the identity file (diskseq, else dev) of each disk whose
// statistics are read on every tick, kept open: a sample is two preads
// instead of opening, reading and closing the files. A disk that goes away
// takes its sysfs files with it, so reads from the kept descriptors fail and
// the files are opened afresh on the next call.
class KeptDiskFiles {
public:
    explicit KeptDiskFiles(const Sysroot& sysroot);
    ~KeptDiskFiles();
    KeptDiskFiles(const KeptDiskFiles&) = delete;
    KeptDiskFiles& operator=(const KeptDiskFiles&) = delete;

    // The counters of the disk while it still has that identity; none when
    // it is gone, is another disk now, or its stat file does not parse.
    std::optional<DiskStatistics> statistics(const QString& disk, const QString& identity);

private:
    struct Files {
        int stat = -1;
        int identity = -1;
        // Files of /sys, which need no check for removal before each read.
        bool generatedByTheKernel = false;
    };
    bool open(const QString& disk, Files& files) const;
    static void close(Files& files);
    enum class Identity { Same, Other, Unreadable };
    // The identity file's text, trimmed, against the one the entry was made with.
    static Identity compareIdentity(const Files& files, const QString& identity);

    Sysroot m_sysroot;
    QHash<QString, Files> m_files;
};
