#pragma once

#include "instruments/QRNActivityInstrument.h"
#include "platform/net/NetInterfaceReader.h"
#include "platform/registry/ActivityCounterFiles.h"

#include <QByteArray>

#include <optional>
#include <vector>

// Whether a network interface receives or sends, from the packet counters its
// driver publishes in the registry ("IONetworkInterface" entries). Drivers
// that publish an all-zero block on a live link are read through the
// kernel's 64-bit counters instead.
class QRNNetActivityInstrument : public QRNActivityInstrument {
public:
    using List = std::vector<std::shared_ptr<QRNNetActivityInstrument>>;

    static List netActivityInstrumentsForAllHardwareInterfaces(const QString& sysroot = {});
    // None for an empty name or one no instrument has.
    static std::shared_ptr<QRNNetActivityInstrument> netActivityInstrumentForIdentification(const QString& name,
        const QString& sysroot = {});
    // None without an entry, a name, or a statistics block of exactly 20 bytes,
    // and when kernel access is needed but fails.
    static std::shared_ptr<QRNNetActivityInstrument> initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> entry,
        const QString& sysroot = {});

    void collectNewSample() override;
    void collectNewSampleViaIORegistry();
    bool collectNewSampleViaSysCtl();
    static bool isInterfaceActiveForBSDLevelRegistryEntry(const QRNIORegistryEntry& entry);
    // False for absent data, true for empty or all-zero data.
    static bool isEmptyNetworkStatistics(const std::optional<QByteArray>& data);
    // The driver's block of five 32-bit counters, read afresh.
    static std::optional<QByteArray> statisticsBlock(const QRNIORegistryEntry& entry);
    bool needsKernelAccess() const { return m_needsKernelAccess; }

    QString className() const override { return QStringLiteral("QRNNetActivityInstrument"); }

private:
    QRNNetActivityInstrument(std::shared_ptr<QRNIORegistryEntry> entry, const QString& sysroot);

    // The packet counters kept open where the registry has them: a tick then
    // reads two small files and allocates nothing.
    bool collectNewSampleViaCounterFiles();

    NetInterfaceReader m_kernel;
    std::unique_ptr<ActivityCounterFiles> m_counterFiles;
    bool m_needsKernelAccess = false;
    bool m_hasCounterFileSample = false;
};
