#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Pages of the libraries that only start-up touched (relocation tables,
// initialisers, the font and plug-in set-up) stay resident in a long-running
// process although nothing reads them again. A monitor that runs for days
// hands them back once it is idle; the pages it still needs come back from
// the page cache at their next touch, without disk access while cached.
class ResidentFilePages {
public:
    struct Range {
        quintptr start = 0;
        quintptr end = 0;
        quint64 residentKiB = 0;
    };

    // The mappings of an smaps listing whose pages can be dropped safely:
    // read-only views of a file that hold no private copies (a dropped copy
    // would lose its changes) and have pages resident.
    static std::vector<Range> releasableRanges(QByteArrayView smaps);

    // Drops this process's releasable file pages; the resident kibibytes
    // released, or 0 when /proc/self/smaps cannot be read.
    static quint64 releaseIdlePages();
};
