#include "platform/registry/LinuxRegistry.h"
#include "platform/registry/MachineCopy.h"

#include <gtest/gtest.h>

namespace {

const QString ServicePlane = QString::fromLatin1(Registry::ServicePlane);
const QString PowerPlane = QString::fromLatin1(Registry::PowerPlane);
const QString Drivers = QStringLiteral("IOBlockStorageDriver");

QString fixture(const char* machine)
{
    return QStringLiteral(VISTREL_FIXTURES "/") + QLatin1String(machine);
}

QVariantMap propertiesOf(const Registry& registry, Registry::EntryID entry)
{
    return registry.properties(entry).value_or(QVariantMap());
}

// The media entry with that BSD name, or 0.
Registry::EntryID media(const Registry& registry, const QString& bsdName)
{
    for (const Registry::EntryID entry : registry.servicesOfClass(QStringLiteral("IOMedia"))) {
        if (propertiesOf(registry, entry).value(QStringLiteral("BSD Name")) == bsdName)
            return entry;
    }
    return 0;
}

Registry::EntryID driverOf(const Registry& registry, const QString& bsdName)
{
    return registry.parent(media(registry, bsdName), ServicePlane);
}

QVariantMap characteristics(const Registry& registry, Registry::EntryID device, const char* kind)
{
    return propertiesOf(registry, device).value(QLatin1String(kind)).toMap();
}

QVariant interconnectOf(const Registry& registry, const QString& bsdName)
{
    const Registry::EntryID device = registry.parent(driverOf(registry, bsdName), ServicePlane);
    return characteristics(registry, device, "Protocol Characteristics").value(QStringLiteral("Physical Interconnect"));
}

QVariantMap statisticsOf(const Registry& registry, const QString& bsdName)
{
    return propertiesOf(registry, driverOf(registry, bsdName)).value(QStringLiteral("Statistics")).toMap();
}

} // namespace

TEST(LinuxRegistry, LaptopDisksHangBelowTheirDevicesAndUSBHosts)
{
    const LinuxRegistry registry(fixture("laptop"));
    const std::vector<Registry::EntryID> drivers = registry.servicesOfClass(Drivers);
    ASSERT_EQ(drivers.size(), 2u);

    const Registry::EntryID nvme = registry.parent(drivers[0], ServicePlane);
    EXPECT_EQ(registry.name(nvme), QStringLiteral("nvme0"));
    EXPECT_EQ(registry.className(nvme), QStringLiteral("IOBlockStorageDevice"));
    EXPECT_EQ(characteristics(registry, nvme, "Device Characteristics"),
        (QVariantMap{{"Product Name", "Samsung SSD 980 PRO 1TB"}, {"Serial Number", "S5GXNX0T123456K"},
            {"Product Revision Level", "5B2QGXA7"}}));
    EXPECT_EQ(characteristics(registry, nvme, "Protocol Characteristics"),
        (QVariantMap{{"Physical Interconnect", "NVMe"}, {"Physical Interconnect Location", "Internal"}}));

    // The stick's device hangs below the USB device that carries the USB serial.
    const Registry::EntryID stick = registry.parent(drivers[1], ServicePlane);
    EXPECT_EQ(characteristics(registry, stick, "Device Characteristics"),
        (QVariantMap{{"Product Name", "Cruzer Blade"}, {"Vendor Name", "SanDisk"}, {"Serial Number", "4C530001230419117491"},
            {"Product Revision Level", "1.00"}}));
    EXPECT_EQ(characteristics(registry, stick, "Protocol Characteristics").value("Physical Interconnect Location"), QVariant("External"));
    const Registry::EntryID usb = registry.parent(stick, ServicePlane);
    EXPECT_EQ(registry.className(usb), QStringLiteral("IOUSBHostDevice"));
    EXPECT_EQ(registry.name(usb), QStringLiteral("Cruzer Blade"));
    EXPECT_EQ(propertiesOf(registry, usb).value("kUSBSerialNumberString"), QVariant("4C530001230419117491"));
    EXPECT_EQ(propertiesOf(registry, usb).value("idVendor").toInt(), 0x0781);
    EXPECT_EQ(registry.children(registry.root(), ServicePlane), (std::vector<Registry::EntryID>{nvme, usb}));
    EXPECT_EQ(registry.entryAtPath(ServicePlane, "/Cruzer Blade/6:0:0:0/IOBlockStorageDriver"), drivers[1]);

    // Power plane: the runtime-suspended stick, power state 1 of 2, through its connection.
    const std::vector<Registry::EntryID> powered = registry.children(registry.root(), PowerPlane);
    ASSERT_EQ(powered.size(), 2u);
    EXPECT_EQ(powered[1], stick);
    const std::vector<Registry::EntryID> connections = registry.children(stick, PowerPlane);
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(registry.className(connections[0]), QStringLiteral("IOPowerConnection"));
    EXPECT_EQ(registry.children(connections[0], PowerPlane), std::vector<Registry::EntryID>{drivers[1]});
    EXPECT_EQ(registry.parent(drivers[1], PowerPlane), connections[0]);
    EXPECT_EQ(registry.parent(connections[0], ServicePlane), 0u);
    EXPECT_EQ(propertiesOf(registry, drivers[1]).value("IOPowerManagement").toMap(),
        (QVariantMap{{"CurrentPowerState", 1}, {"MaxPowerState", 2}}));
    EXPECT_EQ(characteristics(registry, stick, "IOPowerManagement").value("CurrentPowerState").toInt(), 1);
}

TEST(LinuxRegistry, LaptopMediaFollowThePartitionTables)
{
    const LinuxRegistry registry(fixture("laptop"));
    const Registry::EntryID whole = media(registry, "nvme0n1");
    EXPECT_EQ(registry.name(whole), QStringLiteral("Samsung SSD 980 PRO 1TB Media"));
    const QVariantMap w = propertiesOf(registry, whole);
    EXPECT_EQ(w.value("BSD Major").toInt(), 259);
    EXPECT_EQ(w.value("BSD Minor").toInt(), 0);
    EXPECT_EQ(w.value("BSD Unit").toInt(), 0);
    EXPECT_EQ(w.value("Size").toULongLong(), 1953525168ULL * 512);
    EXPECT_FALSE(w.value("Leaf").toBool() || w.value("Open").toBool());
    EXPECT_TRUE(w.value("Whole").toBool() && w.value("Writable").toBool());
    EXPECT_EQ(w.value("UUID"), QVariant("0B6A3C1E-58D2-4D5A-9C71-2F3E4A5B6C7D"));

    const std::vector<Registry::EntryID> schemes = registry.children(whole, ServicePlane);
    ASSERT_EQ(schemes.size(), 1u);
    EXPECT_EQ(registry.className(schemes[0]), QStringLiteral("IOGUIDPartitionScheme"));
    const std::vector<Registry::EntryID> partitions = registry.children(schemes[0], ServicePlane);
    ASSERT_EQ(partitions.size(), 2u);
    EXPECT_EQ(registry.name(partitions[0]), QStringLiteral("EFI System Partition"));
    EXPECT_EQ(registry.name(partitions[1]), QStringLiteral("root"));
    const QVariantMap efi = propertiesOf(registry, partitions[0]);
    EXPECT_EQ(efi.value("BSD Name"), QVariant("nvme0n1p1"));
    EXPECT_TRUE(efi.value("Leaf").toBool() && efi.value("Open").toBool());
    EXPECT_FALSE(efi.value("Whole").toBool());
    EXPECT_EQ(efi.value("Size").toULongLong(), 1050624ULL * 512);
    EXPECT_EQ(efi.value("UUID"), QVariant("6F1D2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B"));

    // The stick: a DOS table, an unmounted FAT partition without a UUID.
    const Registry::EntryID stick = media(registry, "sda1");
    EXPECT_EQ(registry.name(stick), QStringLiteral("STICK"));
    EXPECT_EQ(registry.className(registry.parent(stick, ServicePlane)), QStringLiteral("IOFDiskPartitionScheme"));
    const QVariantMap s = propertiesOf(registry, stick);
    EXPECT_FALSE(s.value("Open").toBool());
    EXPECT_TRUE(s.value("Removable").toBool());
    EXPECT_FALSE(s.contains("UUID"));
}

TEST(LinuxRegistry, ServerWithoutUdevStillNamesAndOpensItsDisks)
{
    const LinuxRegistry registry(fixture("server"));
    QStringList disks;
    for (const Registry::EntryID driver : registry.servicesOfClass(Drivers))
        disks.append(propertiesOf(registry, registry.children(driver, ServicePlane).at(0)).value("BSD Name").toString());
    EXPECT_EQ(disks, (QStringList{"dm-0", "loop0", "sda"}));

    const Registry::EntryID sata = registry.parent(driverOf(registry, "sda"), ServicePlane);
    EXPECT_EQ(characteristics(registry, sata, "Device Characteristics"),
        (QVariantMap{{"Product Name", "ST4000NM0035-1V4"}, {"Vendor Name", "ATA"}, {"Serial Number", "ZC1A2B3C"},
            {"Product Revision Level", "TN02"}}));
    EXPECT_EQ(interconnectOf(registry, "sda"), QVariant("SATA"));
    EXPECT_EQ(interconnectOf(registry, "loop0"), QVariant("Virtual Interface"));
    EXPECT_EQ(interconnectOf(registry, "dm-0"), QVariant("Virtual Interface"));
    const Registry::EntryID mapper = registry.parent(driverOf(registry, "dm-0"), ServicePlane);
    EXPECT_EQ(characteristics(registry, mapper, "Device Characteristics").value("Product Name"), QVariant("vg0-root"));

    // sda1 mounted, sda2 held by the mapper, sda3 swap; the whole disk itself is none of these.
    for (const char* used : {"sda1", "sda2", "sda3", "dm-0", "loop0"})
        EXPECT_TRUE(propertiesOf(registry, media(registry, QString::fromLatin1(used))).value("Open").toBool()) << used;
    EXPECT_FALSE(propertiesOf(registry, media(registry, "sda")).value("Open").toBool());
    EXPECT_FALSE(propertiesOf(registry, media(registry, "loop0")).value("Writable").toBool());
    EXPECT_EQ(registry.className(registry.parent(media(registry, "sda1"), ServicePlane)), QStringLiteral("IOPartitionScheme"));
    EXPECT_EQ(registry.name(media(registry, "sda1")), QStringLiteral("sda1"));
    EXPECT_FALSE(propertiesOf(registry, media(registry, "sda1")).contains("UUID"));
    EXPECT_EQ(statisticsOf(registry, "sda").value("Bytes (Write)").toULongLong(), 3918277650ULL * 512);
    // Only the SATA disk does runtime power management.
    EXPECT_EQ(registry.children(registry.root(), PowerPlane).size(), 1u);
}

TEST(LinuxRegistry, StatisticsAreReadAgainAndReturningDisksGetNewEntries)
{
    const MachineCopy machine("server");
    const LinuxRegistry registry(machine.root());
    EXPECT_EQ(statisticsOf(registry, "loop0").value("Operations (Read)").toULongLong(), 627u);
    machine.write("sys/devices/virtual/block/loop0/stat", "700 0 20000 180 5 0 40 1 0 520 181 0 0 0 0 0 0\n");
    EXPECT_EQ(statisticsOf(registry, "loop0").value("Operations (Read)").toULongLong(), 700u);
    EXPECT_EQ(statisticsOf(registry, "loop0").value("Bytes (Write)").toULongLong(), 40u * 512);
    machine.write("sys/devices/virtual/block/loop0/stat", "");
    EXPECT_FALSE(propertiesOf(registry, driverOf(registry, "loop0")).contains("Statistics"));

    const Registry::EntryID before = media(registry, "loop0");
    EXPECT_EQ(media(registry, "loop0"), before);
    machine.write("sys/devices/virtual/block/loop0/diskseq", "9\n");
    EXPECT_FALSE(registry.properties(before));
    EXPECT_NE(media(registry, "loop0"), 0u);
    EXPECT_NE(media(registry, "loop0"), before);
}

TEST(LinuxRegistry, DetachedDisksAndPartitionsAreGone)
{
    const MachineCopy machine("laptop");
    const LinuxRegistry registry(machine.root());
    const Registry::EntryID stickMedia = media(registry, "sda");
    const Registry::EntryID stickDriver = registry.parent(stickMedia, ServicePlane);
    const std::vector<Registry::EntryID> gone = {stickMedia, media(registry, "sda1"), stickDriver,
        registry.parent(registry.parent(stickDriver, ServicePlane), ServicePlane)};
    const Registry::EntryID efi = media(registry, "nvme0n1p1");

    std::filesystem::remove(machine.path("sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1/nvme0n1p1/partition"));
    EXPECT_FALSE(registry.properties(efi));
    EXPECT_EQ(registry.children(registry.parent(media(registry, "nvme0n1p2"), ServicePlane), ServicePlane).size(), 1u);

    std::filesystem::remove(machine.path("sys/block/sda"));
    std::filesystem::remove_all(machine.path("sys/devices/pci0000:00/0000:00:14.0/usb2/2-1"));
    for (const Registry::EntryID entry : gone) {
        EXPECT_FALSE(registry.properties(entry));
        EXPECT_TRUE(registry.name(entry).isEmpty());
        EXPECT_EQ(registry.parent(entry, ServicePlane), 0u);
        EXPECT_TRUE(registry.children(entry, ServicePlane).empty());
    }
    EXPECT_EQ(registry.servicesOfClass(Drivers).size(), 1u);
}

TEST(LinuxRegistry, SharedRegistryDefaultsToTheLinuxProviderOnTheSysroot)
{
    qputenv("VISTREL_SYSROOT", fixture("server").toUtf8());
    Registry::setShared(nullptr);
    const std::vector<Registry::EntryID> drivers = Registry::shared().servicesOfClass(Drivers);
    qunsetenv("VISTREL_SYSROOT");
    Registry::setShared(nullptr);
    EXPECT_EQ(drivers.size(), 3u);
}


TEST(LinuxRegistry, StatisticsAloneComeFromTheKeptStatFileAsLongAsTheDiskIsThere)
{
    const MachineCopy machine("vm");
    const LinuxRegistry registry(machine.root());
    const Registry::EntryID driver = driverOf(registry, "vda");
    const auto writes = [&] {
        const std::optional<QVariant> statistics = registry.property(driver, QStringLiteral("Statistics"));
        // The numbers the disk instruments read are the dictionary's, from the same file.
        const std::optional<DiskStatistics> numbers = registry.diskStatistics(driver);
        EXPECT_EQ(numbers.has_value(), statistics.has_value());
        if (numbers && statistics) {
            EXPECT_EQ(numbers->dictionary(), statistics->toMap());
        }
        return statistics ? statistics->toMap().value("Bytes (Write)").toLongLong() : -1;
    };
    const char* const stat = "sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda/stat";
    EXPECT_EQ(writes(), 176075248ll * 512);
    EXPECT_EQ(registry.property(driver, QStringLiteral("Statistics")), propertiesOf(registry, driver).value("Statistics"));
    machine.write(stat, "1 0 2 3 4 0 5 6 0 7 8\n");
    EXPECT_EQ(writes(), 5 * 512);
    EXPECT_EQ(registry.property(driver, QStringLiteral("IOClass")), QVariant(Drivers));
    EXPECT_FALSE(registry.property(driver, QStringLiteral("No Such Key")));
    EXPECT_FALSE(registry.diskStatistics(media(registry, "vda")));

    // Another disk under the same name: the old entries read nothing.
    machine.write("sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda/diskseq", "40\n");
    EXPECT_EQ(writes(), -1);
    EXPECT_EQ(registry.property(driverOf(registry, "vda"), QStringLiteral("Statistics"))->toMap().value("Bytes (Write)").toLongLong(), 5 * 512);

    // The disk goes away with its files.
    const Registry::EntryID current = driverOf(registry, "vda");
    std::filesystem::remove(machine.path("sys/block/vda"));
    std::filesystem::remove_all(machine.path("sys/devices/pci0000:00/0000:00:02.0/virtio1"));
    EXPECT_FALSE(registry.property(current, QStringLiteral("Statistics")));
}

TEST(LinuxRegistry, VolumesMadeFromAPartitionHangBelowIt)
{
    const LinuxRegistry registry(fixture("vm"));
    const Registry::EntryID held = media(registry, "vda2");
    EXPECT_FALSE(propertiesOf(registry, held).value("Leaf").toBool());
    EXPECT_TRUE(propertiesOf(registry, media(registry, "vda1")).value("Leaf").toBool());
    const std::vector<Registry::EntryID> holders = registry.children(held, ServicePlane);
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(registry.className(holders[0]), QStringLiteral("IOMediaHolders"));
    const std::vector<Registry::EntryID> volumes = registry.children(holders[0], ServicePlane);
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(registry.name(volumes[0]), QStringLiteral("vg0-data"));
    EXPECT_EQ(registry.parent(volumes[0], ServicePlane), holders[0]);
    const QVariantMap volume = propertiesOf(registry, volumes[0]);
    EXPECT_EQ(volume.value("BSD Name"), QVariant("dm-0"));
    EXPECT_TRUE(volume.value("Open").toBool()) << "mounted as /";
    EXPECT_TRUE(volume.value("Leaf").toBool());
    // The volume group's own driver is a virtual disk of its own.
    EXPECT_EQ(interconnectOf(registry, "dm-0"), QVariant("Virtual Interface"));
}
