#include "instruments/QRNDiskActivityInstrument.h"
#include "instruments/QRNDiskInstrument.h"

#include "platform/registry/MachineCopy.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"

#include <gtest/gtest.h>

namespace {

const char* const NvmeStat = "sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1/stat";
const char* const StickPower = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/power/runtime_status";

// A stat line with reads, read sectors, writes, written sectors.
std::string statLine(quint64 reads, quint64 readSectors, quint64 writes, quint64 writtenSectors)
{
    return std::to_string(reads) + " 0 " + std::to_string(readSectors) + " 10 " + std::to_string(writes) + " 0 "
        + std::to_string(writtenSectors) + " 20 0 30 30 0 0 0 0 0 0\n";
}

} // namespace

TEST(QRNDiskInstrument, CountsSinceThePreviousSampleAndReadsZeroOnceTheDiskIsGone)
{
    InstalledMachine laptop("laptop");
    laptop.write(NvmeStat, statLine(10, 2, 20, 4).c_str());
    const QRNDiskInstrument::List instruments = QRNDiskInstrument::diskInstrumentsForAllDevices();
    ASSERT_EQ(instruments.size(), 2u);
    QRNDiskInstrument& nvme = *instruments[0];
    // The first sample gives totals and no amounts.
    EXPECT_EQ(nvme.accumulatedReadBytes(), 2u * 512);
    EXPECT_EQ(nvme.accumulatedWriteOperations(), 20u);
    EXPECT_EQ(nvme.currentReadBytes(), 0u);
    EXPECT_EQ(nvme.currentWriteOperations(), 0u);

    laptop.write(NvmeStat, statLine(15, 10, 27, 14).c_str());
    nvme.collectNewSample();
    EXPECT_EQ(nvme.currentReadBytes(), 8u * 512);
    EXPECT_EQ(nvme.currentWrittenBytes(), 10u * 512);
    EXPECT_EQ(nvme.currentReadOperations(), 5u);
    EXPECT_EQ(nvme.currentWriteOperations(), 7u);
    EXPECT_EQ(nvme.accumulatedWrittenBytes(), 14u * 512);

    // Unchanged counters: no amounts, same totals.
    nvme.collectNewSample();
    EXPECT_EQ(nvme.currentReadBytes(), 0u);
    EXPECT_EQ(nvme.accumulatedReadOperations(), 15u);

    // The stick is pulled without anyone telling the instrument: everything reads 0.
    QRNDiskInstrument& stick = *instruments[1];
    EXPECT_GT(stick.accumulatedReadBytes(), 0u);
    std::filesystem::remove(laptop.path("sys/block/sda"));
    std::filesystem::remove_all(laptop.path("sys/devices/pci0000:00/0000:00:14.0/usb2/2-1"));
    stick.collectNewSample();
    EXPECT_EQ(stick.accumulatedReadBytes(), 0u);
    EXPECT_EQ(stick.currentReadBytes(), 0u);
    EXPECT_FALSE(stick.currentStatistics());
    EXPECT_FALSE(QRNDiskInstrument::instrumentForDiskIdentification(stick.diskIdentification()));
}

TEST(QRNDiskInstrument, SleepComesFromRuntimePowerManagementAndOverridesActivity)
{
    InstalledMachine laptop("laptop");
    const auto stick = QRNDiskActivityInstrument::diskActivityInstrumentForIdentification(
        QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)"));
    ASSERT_TRUE(stick);
    ASSERT_TRUE(stick->powerManagementEntry());
    EXPECT_TRUE(stick->isDiskSleeping());
    EXPECT_EQ(stick->currentActivity(), ActivityState::Sleeping);
    EXPECT_TRUE(QRNDiskInstrument::diskInstrumentsForAllDevices()[1]->isDiskSleeping());

    // Awake again: the counters decide.
    laptop.write(StickPower, "active\n");
    stick->collectNewSample();
    EXPECT_FALSE(stick->isDiskSleeping());
    EXPECT_EQ(stick->currentActivity(), ActivityState::Idle);

    // A disk whose device does not report runtime power management counts as awake.
    laptop.write(StickPower, "unsupported\n");
    EXPECT_FALSE(QRNDiskActivityInstrument::associatedPowerManagementEntry(*stick->deviceEntry()));

    const auto nvme = QRNDiskActivityInstrument::diskActivityInstrumentForIdentification(
        QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)"));
    ASSERT_TRUE(nvme);
    laptop.write(NvmeStat, statLine(100, 0, 5, 0).c_str());
    nvme->collectNewSample();
    laptop.write(NvmeStat, statLine(100, 0, 9, 0).c_str());
    nvme->collectNewSample();
    EXPECT_EQ(nvme->currentActivity(), ActivityState::Outgoing);
    EXPECT_FALSE(QRNDiskActivityInstrument::diskActivityInstrumentForIdentification({}));
}
