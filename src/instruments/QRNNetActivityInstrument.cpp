#include "instruments/QRNNetActivityInstrument.h"

#include "platform/log/Log.h"
#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr qsizetype StatisticsBlockSize = 20;
constexpr qint64 LinkValid = 0x1;
constexpr qint64 LinkActive = 0x2;

} // namespace

QRNNetActivityInstrument::QRNNetActivityInstrument(std::shared_ptr<QRNIORegistryEntry> entry, const QString& sysroot)
    : QRNActivityInstrument(std::move(entry))
    , m_kernel(sysroot)
{
}

QRNNetActivityInstrument::List QRNNetActivityInstrument::netActivityInstrumentsForAllHardwareInterfaces(const QString& sysroot)
{
    List instruments;
    const auto entries = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IONetworkInterface"));
    if (!entries)
        return instruments;
    for (const auto& entry : *entries) {
        if (auto instrument = initWithIORegistryEntry(entry, sysroot))
            instruments.push_back(std::move(instrument));
    }
    return instruments;
}

std::shared_ptr<QRNNetActivityInstrument> QRNNetActivityInstrument::netActivityInstrumentForIdentification(
    const QString& name, const QString& sysroot)
{
    if (name.isEmpty())
        return nullptr;
    for (auto& instrument : netActivityInstrumentsForAllHardwareInterfaces(sysroot)) {
        if (instrument->deviceIdentification() == name)
            return std::move(instrument);
    }
    return nullptr;
}

std::optional<QByteArray> QRNNetActivityInstrument::statisticsBlock(const QRNIORegistryEntry& entry)
{
    const std::optional<QVariantMap> properties = entry.properties();
    if (!properties)
        return std::nullopt;
    const QVariant data = properties->value(QStringLiteral("IONetworkData"))
                              .toMap()
                              .value(QStringLiteral("IONetworkStatsKey"))
                              .toMap()
                              .value(QStringLiteral("Data"));
    if (data.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return data.toByteArray();
}

std::shared_ptr<QRNNetActivityInstrument> QRNNetActivityInstrument::initWithIORegistryEntry(
    std::shared_ptr<QRNIORegistryEntry> entry, const QString& sysroot)
{
    if (!entry || !entry->hasValueWithName(QStringLiteral("IONetworkData")))
        return nullptr;
    const QString name = entry->stringValueWithName(QStringLiteral("BSD Name")).value_or(QString());
    if (name.isEmpty())
        return nullptr;
    const std::optional<QByteArray> block = statisticsBlock(*entry);
    if (!block || block->size() != StatisticsBlockSize)
        return nullptr;

    std::shared_ptr<QRNNetActivityInstrument> instrument(new QRNNetActivityInstrument(entry, sysroot));
    instrument->setDeviceIdentification(name);
    if (isInterfaceActiveForBSDLevelRegistryEntry(*entry)) {
        instrument->m_needsKernelAccess = isEmptyNetworkStatistics(block);
        if (instrument->m_needsKernelAccess) {
            const auto parent = entry->parentServiceEntry();
            const std::optional<QString> driver = parent ? parent->stringValueWithName(QStringLiteral("IOClass")) : std::nullopt;
            Log::info("Network driver '%{public}@' for interface '%{public}@' does not provide valid statistics. "
                      "Attempting kernel-based access.",
                {driver.value_or(QStringLiteral("<unknown>")), name});
            if (!instrument->collectNewSampleViaSysCtl()) {
                Log::fault("Kernel-based statistics access for interface '%{public}@' also failed. The interface must be rejected.",
                    {name});
                return nullptr;
            }
        }
    }
    if (!instrument->m_needsKernelAccess)
        instrument->m_counterFiles = Registry::shared().activityCounterFiles(entry->ioKitHandle());
    instrument->collectNewSample();
    return instrument;
}

bool QRNNetActivityInstrument::isInterfaceActiveForBSDLevelRegistryEntry(const QRNIORegistryEntry& entry)
{
    const auto parent = entry.parentServiceEntry();
    if (!parent)
        return false;
    // A parent without a readable status (-1) has every bit set: it counts as active.
    const qint64 status = parent->integerValueWithName(QStringLiteral("IOLinkStatus"));
    return (status & LinkValid) && (status & LinkActive);
}

bool QRNNetActivityInstrument::isEmptyNetworkStatistics(const std::optional<QByteArray>& data)
{
    if (!data)
        return false;
    return std::all_of(data->cbegin(), data->cend(), [](char byte) { return byte == 0; });
}

void QRNNetActivityInstrument::collectNewSample()
{
    if (m_counterFiles)
        collectNewSampleViaCounterFiles();
    else if (m_needsKernelAccess)
        collectNewSampleViaSysCtl();
    else
        collectNewSampleViaIORegistry();
}

void QRNNetActivityInstrument::collectNewSampleViaIORegistry()
{
    const std::optional<QByteArray> block = statisticsBlock(*deviceEntry());
    if (!block || block->size() != StatisticsBlockSize) {
        // A wrong-sized block from a live driver keeps the counters; a gone
        // interface, or one whose counters cannot be read, has none.
        setHasInformation(block && !block->isEmpty());
        return;
    }
    // Input packets, input errors, output packets, output errors, collisions.
    const auto counter = [&](int index) { return quint64(qFromLittleEndian<quint32>(block->constData() + 4 * index)); };
    takeSample({counter(0), counter(2)}, true);
}

bool QRNNetActivityInstrument::collectNewSampleViaSysCtl()
{
    const QString name = deviceIdentification();
    const std::optional<quint64> received = m_kernel.counter(name, "rx_packets");
    const std::optional<quint64> sent = m_kernel.counter(name, "tx_packets");
    if (!received || !sent) {
        setHasInformation(false);
        return false;
    }
    takeSample({*received, *sent}, true);
    return true;
}

bool QRNNetActivityInstrument::collectNewSampleViaCounterFiles()
{
    const std::optional<ActivityCounterFiles::Reading> reading = m_counterFiles->read();
    if (!reading) {
        setHasInformation(false);
        return false;
    }
    const ActivityCounters counters{reading->incoming, reading->outgoing};
    takeSample(counters, m_hasCounterFileSample);
    m_hasCounterFileSample = true;
    return true;
}
