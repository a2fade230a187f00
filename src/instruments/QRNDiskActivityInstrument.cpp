#include "instruments/QRNDiskActivityInstrument.h"

#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"
#include "support/VariantNumbers.h"

#include <QVariantMap>

namespace {

std::shared_ptr<QRNIORegistryEntry> firstPowerChild(const QRNIORegistryEntry& entry)
{
    const std::vector<Registry::EntryID> children
        = Registry::shared().children(entry.ioKitHandle(), QString::fromLatin1(Registry::PowerPlane));
    return children.empty() ? nullptr : QRNIORegistryEntry::initWithIOKitHandle(children.front());
}

} // namespace

QRNDiskActivityInstrument::QRNDiskActivityInstrument(std::shared_ptr<QRNIORegistryEntry> driverEntry)
    : QRNActivityInstrument(std::move(driverEntry))
{
}

std::shared_ptr<QRNDiskActivityInstrument> QRNDiskActivityInstrument::diskActivityInstrumentForIdentification(const QString& identification)
{
    if (identification.isEmpty())
        return nullptr;
    const auto drivers = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver"));
    for (const auto& driver : drivers.value_or(QRNIORegistryEntry::EntryList())) {
        // Naming a driver is cheap; sampling only the one that matches.
        if (QRNPhysicalDisk::diskIdentificationForBlockStorageDeviceEntry(*driver) == identification)
            return initWithIORegistryEntry(driver);
    }
    return nullptr;
}

std::shared_ptr<QRNDiskActivityInstrument> QRNDiskActivityInstrument::initWithIORegistryEntry(std::shared_ptr<QRNIORegistryEntry> driverEntry)
{
    if (!driverEntry)
        return nullptr;
    const QString identification = QRNPhysicalDisk::diskIdentificationForBlockStorageDeviceEntry(*driverEntry);
    if (identification.isEmpty())
        return nullptr;
    std::shared_ptr<QRNDiskActivityInstrument> instrument(new QRNDiskActivityInstrument(driverEntry));
    instrument->setDeviceIdentification(identification);
    instrument->m_powerManagementEntry = associatedPowerManagementEntry(*driverEntry);
    instrument->m_counterFiles = Registry::shared().activityCounterFiles(driverEntry->ioKitHandle());
    instrument->collectNewSample();
    return instrument;
}

std::shared_ptr<QRNIORegistryEntry> QRNDiskActivityInstrument::associatedPowerManagementEntry(const QRNIORegistryEntry& driverEntry)
{
    for (auto ancestor = driverEntry.parentServiceEntry(); ancestor; ancestor = ancestor->parentServiceEntry()) {
        const std::optional<QVariantMap> power = ancestor->dictionaryValueWithName(QStringLiteral("IOPowerManagement"));
        if (!power || !power->contains(QStringLiteral("CurrentPowerState")))
            continue;
        const auto connection = firstPowerChild(*ancestor);
        const auto candidate = connection ? firstPowerChild(*connection) : nullptr;
        if (!candidate)
            continue;
        const std::optional<QVariantMap> state = candidate->dictionaryValueWithName(QStringLiteral("IOPowerManagement"));
        if (state && isNumeric(state->value(QStringLiteral("CurrentPowerState"))) && isNumeric(state->value(QStringLiteral("MaxPowerState"))))
            return candidate;
    }
    return nullptr;
}

bool QRNDiskActivityInstrument::isDiskSleeping(const QRNIORegistryEntry* powerManagementEntry)
{
    if (!powerManagementEntry)
        return false;
    const std::optional<QVariantMap> state = powerManagementEntry->dictionaryValueWithName(QStringLiteral("IOPowerManagement"));
    if (!state)
        return false;
    return state->value(QStringLiteral("MaxPowerState")).toLongLong() >= 2 && state->value(QStringLiteral("CurrentPowerState")).toLongLong() == 1;
}

void QRNDiskActivityInstrument::collectNewSample()
{
    if (!m_counterFiles) {
        collectNewSampleViaIORegistry();
        return;
    }
    const std::optional<ActivityCounterFiles::Reading> reading = m_counterFiles->read();
    if (!reading) {
        setHasInformation(false);
        return;
    }
    const ActivityCounters counters{reading->incoming, reading->outgoing};
    m_sleepingAtLastSample = reading->sleeping;
    takeSample(counters, m_hasSample);
    m_hasSample = true;
}

void QRNDiskActivityInstrument::collectNewSampleViaIORegistry()
{
    const std::optional<DiskStatistics> statistics = Registry::shared().diskStatistics(deviceEntry()->ioKitHandle());
    if (!statistics) {
        setHasInformation(false);
        return;
    }
    takeSample({statistics->readOperations, statistics->writeOperations}, m_hasSample);
    m_hasSample = true;
}

ActivityState QRNDiskActivityInstrument::currentActivity() const
{
    if (hasInformation() && (m_counterFiles ? m_sleepingAtLastSample.load() : isDiskSleeping()))
        return ActivityState::Sleeping;
    return QRNActivityInstrument::currentActivity();
}
