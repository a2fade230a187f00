#pragma once

#include <QString>

#include <optional>
#include <span>
#include <vector>

#include "platform/linux/KernelFileReader.h"
#include "platform/linux/ProcStat.h"

// The processor load record of every logical processor, as the other
// platform's host_processor_info answers it: four 32-bit tick counters per
// processor (user, system, idle, nice), taken from /proc/stat. After the
// first sample neither the file buffer nor the record allocates unless the
// file or the number of processors grows.
class HostProcessorInfo {
public:
    explicit HostProcessorInfo(const QString& sysroot = {});

    // The counters in processor order, valid until the next sample; none
    // when /proc/stat cannot be read or a processor line is malformed.
    std::optional<std::span<const ProcessorTicks>> sample();

private:
    KernelFileReader m_reader;
    std::vector<ProcessorTicks> m_processors;
};
