#include "storage/QRNPhysicalDisk.h"

#include "platform/registry/FixtureRegistry.h"
#include "platform/registry/MachineCopy.h"
#include "storage/QRNIORegistryEntry.h"

#include <gtest/gtest.h>

namespace {

struct DiskFacts {
    QString identification;
    quint64 size;
    QString volumes;
};

std::vector<DiskFacts> factsOfAttachedDisks()
{
    std::vector<DiskFacts> facts;
    for (const auto& disk : QRNPhysicalDisk::allAttachedDisks())
        facts.push_back({disk->identification(), disk->size(), disk->volumeListDescriptionGettingCount().value_or(QStringLiteral("(none)"))});
    return facts;
}

class SerialPrivacy {
public:
    explicit SerialPrivacy(bool on) { QRNPhysicalDisk::setSerialNumberPrivacyEnabled(on); }
    ~SerialPrivacy() { QRNPhysicalDisk::setSerialNumberPrivacyEnabled(false); }
};

// A registry of one disk below the given device properties, its whole
// medium carrying the given properties.
std::unique_ptr<FixtureRegistry> oneDisk(const QVariantMap& deviceProperties, const QVariantMap& mediaProperties)
{
    return FixtureRegistry::fromPropertyList(QVariantMap{
        {"name", "Root"}, {"class", "IORegistryEntry"},
        {"children", QVariantList{QVariantMap{
            {"name", "USB Stick"}, {"class", "IOUSBHostDevice"}, {"properties", QVariantMap{{"kUSBSerialNumberString", "AA11"}}},
            {"children", QVariantList{QVariantMap{
                {"name", "device"}, {"class", "IOBlockStorageDevice"}, {"properties", deviceProperties},
                {"children", QVariantList{QVariantMap{
                    {"name", "IOBlockStorageDriver"}, {"class", "IOBlockStorageDriver"}, {"label", "driver"},
                    {"children", QVariantList{QVariantMap{{"name", "Stick Media"}, {"class", "IOMedia"}, {"properties", mediaProperties}}}},
                }}},
            }}},
        }}},
    });
}

const QVariantMap CompleteMedia{{"BSD Name", "sdb"}, {"BSD Unit", 1}, {"BSD Major", 8}, {"BSD Minor", 16}, {"Open", false},
    {"Writable", true}, {"Leaf", true}, {"Size", 4096}};

} // namespace

TEST(QRNPhysicalDisk, MachinesNameTheirPhysicalDisksAndLeaveVirtualOnesOut)
{
    {
        // NVMe and a USB stick (named by vendor and product, serial from the USB device).
        InstalledMachine laptop("laptop");
        const std::vector<DiskFacts> disks = factsOfAttachedDisks();
        ASSERT_EQ(disks.size(), 2u);
        EXPECT_EQ(disks[0].identification, QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)"));
        EXPECT_EQ(disks[0].volumes, QStringLiteral("EFI System Partition, root"));
        EXPECT_EQ(disks[1].identification, QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)"));
        EXPECT_EQ(disks[1].volumes, QStringLiteral("STICK"));
    }
    {
        // A SATA disk with three partitions, LVM on the second: the volume
        // group's volume is a logical disk below it, not a disk of its own,
        // and so is the loop-mounted image.
        InstalledMachine server("server");
        const std::vector<DiskFacts> disks = factsOfAttachedDisks();
        ASSERT_EQ(disks.size(), 1u);
        EXPECT_EQ(disks[0].identification, QStringLiteral("ST4000NM0035-1V4 (ZC1A2B3C)"));
        int count = 0;
        EXPECT_EQ(QRNPhysicalDisk::allAttachedDisks()[0]->volumeListDescriptionGettingCount(&count), QStringLiteral("sda1, sda2, vg0-root, sda3"));
        EXPECT_EQ(count, 4);
    }
    {
        // A virtual machine: the VirtIO disk is physical; LVM, zram and an
        // unattached loop device are not.
        InstalledMachine vm("vm");
        const std::vector<DiskFacts> disks = factsOfAttachedDisks();
        ASSERT_EQ(disks.size(), 1u);
        EXPECT_EQ(disks[0].identification, QStringLiteral("VirtIO Block Device (BHYVE-7F3A-22C1)"));
        EXPECT_EQ(disks[0].size, 104857600ull * 512);
        EXPECT_EQ(disks[0].volumes, QStringLiteral("vda1, vda2, vg0-data"));
        const auto disk = QRNPhysicalDisk::diskWithIdentification(disks[0].identification);
        ASSERT_TRUE(disk);
        EXPECT_TRUE(disk->isInUse()) << "vda1 is mounted";
        EXPECT_FALSE(disk->logicalBSDDiskHierarchy()->isInUse()) << "the whole disk itself is not";
        EXPECT_FALSE(disk->logicalBSDDiskHierarchy()->children()[1]->isLeaf()) << "vda2 holds the volume group";

        // The equipment monitor follows virtual disks too, but no disk that is not there.
        const QHash<QString, QString> announced = QRNPhysicalDisk::identificationsByBSDName();
        EXPECT_EQ(announced.value("dm-0"), QStringLiteral("vg0-data"));
        EXPECT_EQ(announced.value("zram0"), QStringLiteral("Compressed RAM Disk"));
        EXPECT_EQ(announced.value("vda"), disks[0].identification);
        EXPECT_FALSE(announced.contains("loop1")) << "a loop device without a backing file is no disk";
        EXPECT_FALSE(QRNPhysicalDisk::diskWithIdentification({}));
        EXPECT_FALSE(QRNPhysicalDisk::diskWithIdentification(QStringLiteral("vg0-data")));
    }
}

TEST(QRNPhysicalDisk, SerialsAreShortenedAroundAnEllipsisOrLeftOutForPrivacy)
{
    const QString thirty = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    const QString shortened = QRNPhysicalDisk::shortenedSerialNumber(thirty);
    EXPECT_EQ(shortened.size(), 23);
    EXPECT_EQ(shortened, QStringLiteral("ABCDEFGHIJK") + QChar(0x2026) + QStringLiteral("TUVWXYZ0123"));
    EXPECT_EQ(QRNPhysicalDisk::shortenedSerialNumber(thirty.left(22)), thirty.left(22));
    EXPECT_EQ(QRNPhysicalDisk::shortenedSerialNumber(thirty.left(23)).size(), 23);

    InstalledMachine laptop("laptop");
    const SerialPrivacy privacy(true);
    EXPECT_EQ(factsOfAttachedDisks()[0].identification, QStringLiteral("Samsung SSD 980 PRO 1TB"));
    EXPECT_EQ(factsOfAttachedDisks()[1].identification, QStringLiteral("SanDisk Cruzer Blade"));
}

TEST(QRNPhysicalDisk, UnnamedUSBDisksAndIncompleteMediaAreLeftOut)
{
    const QVariantMap usb{{"Physical Interconnect", "USB"}};
    struct Case {
        const char* what;
        QVariantMap device;
        QVariantMap media;
        QString identification; // empty: no disk
        bool hasHierarchy;
    };
    QVariantMap noMinor = CompleteMedia;
    noMinor.remove("BSD Minor");
    const std::vector<Case> cases{
        {"named stick", {{"Device Characteristics", QVariantMap{{"Vendor Name", " Acme "}, {"Product Name", "Key"}}}, {"Protocol Characteristics", usb}},
            CompleteMedia, QStringLiteral("Acme Key (AA11)"), true},
        {"nameless stick", {{"Device Characteristics", QVariantMap{{"Vendor Name", ""}, {"Product Name", " "}}}, {"Protocol Characteristics", usb}},
            CompleteMedia, {}, false},
        {"no protocol", {{"Device Characteristics", QVariantMap{{"Product Name", "Disk"}}}}, CompleteMedia, {}, false},
        {"location only", {{"Device Characteristics", QVariantMap{{"Product Name", "Disk"}, {"Serial Number", "S1"}}},
            {"Protocol Characteristics", QVariantMap{{"Physical Interconnect Location", "Internal"}}}}, CompleteMedia, QStringLiteral("Disk (S1)"), true},
        {"media without minor", {{"Device Characteristics", QVariantMap{{"Product Name", "Disk"}}}, {"Protocol Characteristics", QVariantMap{{"Physical Interconnect", "SATA"}}}},
            noMinor, QStringLiteral("Disk"), false},
        {"virtual", {{"Device Characteristics", QVariantMap{{"Product Name", "Image"}}}, {"Protocol Characteristics", QVariantMap{{"Physical Interconnect", "Virtual Interface"}}}},
            CompleteMedia, {}, false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<FixtureRegistry> fixture = oneDisk(c.device, c.media);
        ASSERT_TRUE(fixture) << c.what;
        const Registry::EntryID driver = fixture->entryLabelled("driver");
        Registry::setShared(std::move(fixture));
        const auto disk = QRNPhysicalDisk::initForBlockStorageDeviceEntry(QRNIORegistryEntry::initWithIOKitHandle(driver));
        EXPECT_EQ(disk ? disk->identification() : QString(), c.identification) << c.what;
        EXPECT_EQ(disk && disk->logicalBSDDiskHierarchy(), c.hasHierarchy) << c.what;
        Registry::setShared(nullptr);
    }
}
