#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "platform/linux/HostFacts.h"
#include "platform/linux/HostProcessorInfo.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

// How the time of every logical processor was spent between the two latest
// samples, per operation mode, as fractions 0…1; plus the machine facts the
// processor item shows (processor counts, uptime, processes).
class QRNCPULoadInstrument : public QRNSystemInstrument {
public:
    // Columns of a load row, in the kernel's order of the tick counters.
    enum OperationMode : quint64 { User = UserTicks, System = SystemTicks, Idle = IdleTicks, Nice = NiceTicks };
    static constexpr quint64 OperationModeCount = ProcessorTickKinds;
    using LoadRow = std::array<double, OperationModeCount>;

    // The one instance of the application, reading the running system.
    static std::shared_ptr<QRNCPULoadInstrument> sharedCPULoadInstrument();
    // 0 when the count cannot be read.
    static quint64 numberOfActiveLogicalProcessors();
    // Falls back to the logical count when the topology is unknown.
    static quint64 numberOfPhysicalProcessors();

    // Takes the first sample at once, so the first tick measures against it.
    explicit QRNCPULoadInstrument(const QString& sysroot = {});

    void collectNewSample() override;

    // 0.0 for a mode above Nice or an index past the processors.
    double loadForOperationMode(quint64 mode, quint64 index) const;
    // User + system + nice of one processor; idle is not load.
    double totalLoadForProcessorAtIndex(quint64 index) const;
    // Mean over all processors of one mode.
    double totalLoadForOperationMode(quint64 mode) const;
    double totalLoadForAllProcessors() const;
    // Whole seconds since boot; none when the boot time is unknown or lies
    // in the future (a wrong clock, a broken /proc/stat).
    std::optional<double> timeIntervalSinceSystemStart() const;
    // 0 when the process table cannot be read.
    quint64 currentProcessCount() const;

    quint64 activeCPUCount() const { return m_lastLoadInfo.size(); }
    const std::vector<LoadRow>& loadValues() const { return m_loadValues; }
    const std::vector<ProcessorTicks>& lastLoadInfo() const { return m_lastLoadInfo; }

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNCPULoadInstrument"); }

private:
    // Stands in for the Mach host port the kernel is asked through.
    HostProcessorInfo m_hostPort;
    HostFacts m_facts;
    std::vector<LoadRow> m_loadValues;
    std::vector<ProcessorTicks> m_lastLoadInfo;
    // Reports a run of failed samples once, not on every tick.
    bool m_sampleFailing = false;
};
