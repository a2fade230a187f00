#include "instruments/QRNDiskInstrument.h"

#include "instruments/QRNDiskActivityInstrument.h"
#include "platform/defaults/PropertyList.h"
#include "platform/registry/Registry.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"

QRNDiskInstrument::QRNDiskInstrument(std::shared_ptr<QRNPhysicalDisk> disk)
    : m_physicalDisk(std::move(disk))
{
}

QRNDiskInstrument::List QRNDiskInstrument::diskInstrumentsForAllDevices()
{
    List instruments;
    for (auto& disk : QRNPhysicalDisk::allAttachedDisks()) {
        if (auto instrument = initForPhysicalDisk(std::move(disk)))
            instruments.push_back(std::move(instrument));
    }
    return instruments;
}

std::shared_ptr<QRNDiskInstrument> QRNDiskInstrument::instrumentForDiskIdentification(const QString& identification)
{
    return initForPhysicalDisk(QRNPhysicalDisk::diskWithIdentification(identification));
}

std::shared_ptr<QRNDiskInstrument> QRNDiskInstrument::initForPhysicalDisk(std::shared_ptr<QRNPhysicalDisk> disk)
{
    if (!disk)
        return nullptr;
    std::shared_ptr<QRNDiskInstrument> instrument(new QRNDiskInstrument(std::move(disk)));
    instrument->collectNewSample();
    return instrument;
}

QString QRNDiskInstrument::diskIdentification() const
{
    return m_physicalDisk->identification();
}

void QRNDiskInstrument::collectNewSample()
{
    m_last = m_current;
    const std::optional<DiskStatistics> statistics = Registry::shared().diskStatistics(m_physicalDisk->blockStorageDevice()->ioKitHandle());
    m_hasStatistics = statistics.has_value();
    m_current = statistics.value_or(DiskStatistics());
    // The first sample has nothing before it: no amounts yet, only totals.
    // A disk that went away reads as 0, not as counters running backwards.
    if (!m_hasSample || !m_hasStatistics)
        m_last = m_current;
    m_hasSample = true;
}

std::optional<QVariantMap> QRNDiskInstrument::currentStatistics() const
{
    return m_hasStatistics ? std::optional<QVariantMap>(m_current.dictionary()) : std::nullopt;
}

QString QRNDiskInstrument::volumeNameList() const
{
    return m_physicalDisk->volumeListDescriptionGettingCount().value_or(QString());
}

bool QRNDiskInstrument::isDiskSleeping() const
{
    return QRNDiskActivityInstrument::isDiskSleeping(
        QRNDiskActivityInstrument::associatedPowerManagementEntry(*m_physicalDisk->blockStorageDevice()).get());
}

QString QRNDiskInstrument::description() const
{
    const std::optional<QVariantMap> statistics = currentStatistics();
    return QStringLiteral("<%1>: physical disk: %2\nStatistics: %3\n")
        .arg(className(), m_physicalDisk->description(),
            statistics ? PropertyList::description(*statistics) : QStringLiteral("(null)"));
}
