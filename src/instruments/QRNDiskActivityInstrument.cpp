#include "instruments/QRNDiskActivityInstrument.h"

#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"

#include <QVariantMap>

namespace {

bool isNumber(const QVariant& value)
{
    return value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::LongLong
        || value.typeId() == QMetaType::ULongLong;
}

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
        if (state && isNumber(state->value(QStringLiteral("CurrentPowerState"))) && isNumber(state->value(QStringLiteral("MaxPowerState"))))
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
    const std::optional<QVariantMap> statistics = deviceEntry()->dictionaryValueWithName(QStringLiteral("Statistics"));
    setLastCounters(currentCounters());
    setCurrentCounters({statistics ? statistics->value(QStringLiteral("Operations (Read)")).toULongLong() : 0,
        statistics ? statistics->value(QStringLiteral("Operations (Write)")).toULongLong() : 0});
}

ActivityState QRNDiskActivityInstrument::currentActivity() const
{
    if (isDiskSleeping())
        return ActivityState::Sleeping;
    return QRNActivityInstrument::currentActivity();
}
