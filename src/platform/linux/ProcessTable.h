#pragma once

#include "platform/linux/Sysroot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// A process as the listing gives it.
struct ProcessName {
    qint32 processID = 0;
    QByteArray commandName;  // the kernel's short command name (comm), raw bytes
    bool operator==(const ProcessName&) const = default;
};

// One process with its effective user.
struct ProcessRecord : ProcessName {
    quint32 effectiveUserID = 0;
    bool operator==(const ProcessRecord&) const = default;
};

// The process table, read from <root>/proc: names from /proc/<pid>/comm,
// the effective user from the "Uid:" line of /proc/<pid>/status. Listing
// reads only the names, one small file per process.
class ProcessTable {
public:
    // The kernel keeps this many bytes of a command name (TASK_COMM_LEN
    // less its terminating zero); longer names are cut.
    static constexpr qsizetype commandNameLength = 15;

    explicit ProcessTable(const QString& sysroot = {});

    // Every process listed in <root>/proc (threads are not listed), in the
    // order the folder lists them. A process that ends while it is read is
    // left out. None when <root>/proc cannot be listed.
    std::optional<std::vector<ProcessName>> processes() const;

    // The process with this identifier; none when there is none. Thread
    // identifiers, which /proc answers to without listing them, are not
    // processes.
    std::optional<ProcessRecord> process(qint32 processID) const;

    struct Status {
        qint32 threadGroupID = 0;
        quint32 effectiveUserID = 0;
    };
    // The "Tgid:" and "Uid:" lines of a /proc/<pid>/status text; none when
    // either is missing or malformed.
    static std::optional<Status> parseStatus(QByteArrayView status);

private:
    Sysroot m_sysroot;
};
