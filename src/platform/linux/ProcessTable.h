#pragma once

#include "platform/linux/SysrootPath.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// One running process as the process queries need it.
struct ProcessRecord {
    qint32 processID = 0;
    QByteArray commandName;  // the kernel's short command name (comm), raw bytes
    quint32 effectiveUserID = 0;
    bool operator==(const ProcessRecord&) const = default;
};

// The process table, read from <root>/proc: one record per process (thread
// group), with the name from /proc/<pid>/comm and the effective user from
// the "Uid:" line of /proc/<pid>/status.
class ProcessTable {
public:
    // The kernel keeps this many bytes of a command name (TASK_COMM_LEN
    // less its terminating zero); longer names are cut.
    static constexpr qsizetype commandNameLength = 15;

    explicit ProcessTable(const QString& sysroot = {});

    // Every process listed in <root>/proc, in the order the folder lists
    // them. A process that ends while it is read is left out. None when
    // <root>/proc cannot be listed.
    std::optional<std::vector<ProcessRecord>> processes() const;

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
    std::optional<ProcessRecord> read(const QString& processFolder, qint32 processID) const;

    SysrootPath m_sysroot;
};
