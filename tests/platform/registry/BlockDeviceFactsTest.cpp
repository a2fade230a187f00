#include "platform/registry/BlockDeviceFacts.h"

#include <QStringList>

#include <algorithm>

#include <gtest/gtest.h>

using namespace BlockDeviceFacts;

TEST(BlockDeviceFacts, InterconnectIsJudgedFromTheDevicePath)
{
    const struct {
        const char* path;
        const char* physical;
        const char* location;
    } cases[] = {
        {"sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb", "USB", "External"},
        {"sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1", "NVMe", "Internal"},
        {"sys/devices/virtual/nvme-subsystem/nvme-subsys0/nvme0n1", "NVMe", "Internal"},
        {"sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda", "SATA", "Internal"},
        {"sys/devices/virtual/block/loop0", "Virtual Interface", "Internal"},
        {"sys/devices/virtual/block/dm-0", "Virtual Interface", "Internal"},
        {"sys/devices/virtual/block/zram0", "Virtual Interface", "Internal"},
        {"sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda", "VirtIO", "Internal"},
        {"sys/devices/platform/fe320000.mmc/mmc_host/mmc1/mmc1:aaaa/block/mmcblk1", "Secure Digital", "Internal"},
        {"sys/devices/vbd-51712/block/xvda", "Xen", "Internal"},
        {"sys/devices/pci0000:00/0000:00:01.0/host2/port-2:0/end_device-2:0/target2:0:0/2:0:0:0/block/sdc", "SAS", "Internal"},
        {"sys/devices/pci0000:00/0000:00:10.0/host32/target32:0:0/32:0:0:0/block/sdd", "SCSI", "Internal"},
        {"", "Unknown", "Internal"},
    };
    for (const auto& c : cases) {
        const Interconnect interconnect = interconnectForDevicePath(QString::fromLatin1(c.path));
        EXPECT_EQ(interconnect.physical, QLatin1String(c.physical)) << c.path;
        EXPECT_EQ(interconnect.location, QLatin1String(c.location)) << c.path;
    }
}

TEST(BlockDeviceFacts, UnitsCountLettersFromZeroOrTakeTheFirstNumber)
{
    const std::pair<const char*, int> cases[] = {{"sda", 0}, {"sdz", 25}, {"sdaa", 26}, {"vdb", 1}, {"xvdc", 2},
        {"nvme1n1", 1}, {"mmcblk0", 0}, {"loop12", 12}, {"dm-3", 3}, {"sr", 0}};
    for (const auto& [name, unit] : cases)
        EXPECT_EQ(unitForDiskName(QString::fromLatin1(name)), unit) << name;
}

TEST(BlockDeviceFacts, SerialsOfT10IdsAreTheirLastWord)
{
    EXPECT_EQ(serialFromWorldWideID("t10.ATA     ST4000NM0035-1V4107                      ZC1A2B3C\n"), QStringLiteral("ZC1A2B3C"));
    EXPECT_EQ(serialFromWorldWideID("eui.002538b911b2c3d4"), QStringLiteral("eui.002538b911b2c3d4"));
    EXPECT_EQ(serialFromWorldWideID("naa.5000c500a1b2c3d4"), QStringLiteral("naa.5000c500a1b2c3d4"));
    EXPECT_EQ(serialFromWorldWideID(""), QString());
}

TEST(BlockDeviceFacts, MediaUUIDComesFromTheKeyForThatKindOfMedia)
{
    const QHash<QString, QString> udev{
        {"ID_PART_ENTRY_UUID", "6f1d2a3b-4c5d-4e6f-8a9b-0c1d2e3f4a5b"},
        {"ID_PART_TABLE_UUID", "0b6a3c1e-58d2-4d5a-9c71-2f3e4a5b6c7d"},
        {"ID_FS_UUID", "3e0c5d7a-1b2c-4d3e-9f4a-5b6c7d8e9f01"},
    };
    EXPECT_EQ(mediaUUID(udev, true, false), QStringLiteral("6F1D2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B"));
    EXPECT_EQ(mediaUUID(udev, false, true), QStringLiteral("0B6A3C1E-58D2-4D5A-9C71-2F3E4A5B6C7D"));
    EXPECT_EQ(mediaUUID(udev, false, false), QStringLiteral("3E0C5D7A-1B2C-4D3E-9F4A-5B6C7D8E9F01"));
    // DOS identifiers and FAT serials are not UUIDs.
    EXPECT_FALSE(mediaUUID({{"ID_PART_ENTRY_UUID", "4f1e2d3c-01"}}, true, false));
    EXPECT_FALSE(mediaUUID({{"ID_FS_UUID", "1A2B-3C4D"}}, false, false));
    EXPECT_FALSE(mediaUUID({{"ID_FS_UUID", "{3e0c5d7a-1b2c-4d3e-9f4a-5b6c7d8e9f01}"}}, false, false));
    EXPECT_FALSE(mediaUUID({}, true, false));
}

TEST(BlockDeviceFacts, NaturalOrderComparesNumbersByValue)
{
    QStringList names{"sdb", "loop10", "nvme0n1", "loop2", "sda", "loop1", "nvme0n1p10", "nvme0n1p2", "zram0", "dm-0"};
    std::sort(names.begin(), names.end(), naturalLess);
    EXPECT_EQ(names, (QStringList{"dm-0", "loop1", "loop2", "loop10", "nvme0n1", "nvme0n1p2", "nvme0n1p10", "sda", "sdb", "zram0"}));
    EXPECT_FALSE(naturalLess("sda", "sda"));
    EXPECT_TRUE(naturalLess("sd", "sda"));
    EXPECT_FALSE(naturalLess("sda", "sd"));
}
