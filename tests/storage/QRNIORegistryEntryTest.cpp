#include "storage/QRNIORegistryEntry.h"

#include "platform/registry/InstalledFixtureRegistry.h"

#include <gtest/gtest.h>

namespace {

class QRNIORegistryEntryTest : public ::testing::Test {
protected:
    std::shared_ptr<QRNIORegistryEntry> entry(const QString& label) const
    {
        return QRNIORegistryEntry::initWithIOKitHandle(m_fixture[label]);
    }
    QStringList bsdNames(const QRNIORegistryEntry::EntryList& entries) const
    {
        QStringList names;
        for (const auto& e : entries)
            names.append(e->stringValueWithName("BSD Name").value_or(QStringLiteral("?")));
        return names;
    }
    InstalledFixtureRegistry m_fixture;
};

} // namespace

TEST_F(QRNIORegistryEntryTest, NoHandleGivesNoEntry)
{
    EXPECT_EQ(QRNIORegistryEntry::initWithIOKitHandle(0), nullptr);
    EXPECT_EQ(entry("disk0")->ioKitHandle(), m_fixture["disk0"]);
}

TEST_F(QRNIORegistryEntryTest, ValuesOfTheWrongTypeOrMissingAnswerNothing)
{
    const auto media = entry("disk0s2");
    EXPECT_EQ(media->integerValueWithName("Size"), 999995129856);
    EXPECT_EQ(media->integerValueWithName("BSD Minor"), 2);
    EXPECT_EQ(entry("usb-stick")->integerValueWithName("idVendor"), 1921);
    for (const char* notANumber : {"Missing", "BSD Name", "Open"})
        EXPECT_EQ(media->integerValueWithName(notANumber), -1) << notANumber;
    EXPECT_EQ(media->stringValueWithName("Sealed"), QStringLiteral("Yes"));
    EXPECT_EQ(media->stringValueWithName("Content Hint"), QStringLiteral("Apple_APFS")) << "raw bytes up to their NUL";
    EXPECT_EQ(media->stringValueWithName("Volume Tag"), QString::fromUtf8("\xff")) << "bytes without a NUL are taken whole";
    EXPECT_FALSE(media->stringValueWithName("Size"));
    EXPECT_FALSE(media->stringValueWithName("Missing"));
    EXPECT_TRUE(media->boolValueWithName("Open"));
    EXPECT_FALSE(entry("disk0s1")->boolValueWithName("Open"));
    EXPECT_FALSE(media->boolValueWithName("Size"));
    EXPECT_FALSE(media->boolValueWithName("Missing"));
    EXPECT_EQ(media->arrayValueWithName("Partition Path"), (QVariantList{"disk0", "disk0s2"}));
    EXPECT_FALSE(media->arrayValueWithName("Sealed"));
    EXPECT_TRUE(media->hasValueWithName("Sealed"));
    EXPECT_FALSE(media->hasValueWithName("sealed"));
}

TEST_F(QRNIORegistryEntryTest, ParentAndFirstChildInTheServicePlane)
{
    const auto driver = entry("nvme-driver");
    EXPECT_EQ(driver->parentServiceEntry()->ioKitHandle(), m_fixture["nvme-device"]);
    EXPECT_EQ(driver->childServiceEntry()->ioKitHandle(), m_fixture["disk0"]);
    // The whole disk's first child is its BSD client, not the partition scheme.
    EXPECT_EQ(entry("disk0")->childServiceEntry()->stringValueWithName("IOClass"), QStringLiteral("IOMediaBSDClient"));
    EXPECT_EQ(entry("disk0s1")->childServiceEntry(), nullptr);
    EXPECT_EQ(entry("root")->parentServiceEntry(), nullptr);
}

TEST_F(QRNIORegistryEntryTest, DriverClassNameIsThatOfTheNearestBundle)
{
    // The media has no bundle; its driver does.
    EXPECT_EQ(entry("disk0")->driverClassName(), QStringLiteral("IOBlockStorageDriver"));
    EXPECT_EQ(entry("disk0s2")->driverClassName(), QStringLiteral("IOGUIDPartitionScheme"));
    EXPECT_EQ(entry("nvme-device")->driverClassName(), QStringLiteral("IONVMeController"));
    // Nothing on the way up has a bundle: the topmost ancestor answers.
    EXPECT_EQ(entry("disk2")->driverClassName(), QStringLiteral("IORegistryEntry"));
    m_fixture.registry().setProperty(m_fixture["root"], "IOClass", 7);
    EXPECT_FALSE(entry("disk2")->driverClassName());
}

TEST_F(QRNIORegistryEntryTest, ServicesMatchingAClassOrContainingAPropertyInRegistryOrder)
{
    const auto media = QRNIORegistryEntry::serviceObjectsMatchingName("IOMedia");
    ASSERT_TRUE(media);
    EXPECT_EQ(bsdNames(*media), (QStringList{"disk0", "disk0s1", "disk0s2", "disk2"}));
    const auto none = QRNIORegistryEntry::serviceObjectsMatchingName("IOAccelerator");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_FALSE(QRNIORegistryEntry::serviceObjectsMatchingName(QString()));
    const auto withUUID = QRNIORegistryEntry::serviceObjectsContainingPropertyWithKey("UUID");
    ASSERT_TRUE(withUUID);
    EXPECT_EQ(bsdNames(*withUUID), QStringList{"disk0s1"});
    const auto withIdle = QRNIORegistryEntry::serviceObjectsContainingPropertyWithKey("HIDIdleTime");
    ASSERT_TRUE(withIdle);
    ASSERT_EQ(withIdle->size(), 1u);
    EXPECT_EQ(withIdle->front()->integerValueWithName("HIDIdleTime"), 1500000000);
    EXPECT_FALSE(QRNIORegistryEntry::serviceObjectsContainingPropertyWithKey(QString()));
}

TEST_F(QRNIORegistryEntryTest, EntriesByPlaneAndPath)
{
    EXPECT_EQ(QRNIORegistryEntry::registryEntryInPlane("IOPower", "/nvme0/IOPowerConnection")->ioKitHandle(), m_fixture["nvme-power-connection"]);
    EXPECT_EQ(QRNIORegistryEntry::registryEntryInPlane("IOService", "/IOPowerConnection"), nullptr);
    EXPECT_EQ(QRNIORegistryEntry::registryEntryInPlane("", "/IOHIDSystem"), nullptr);
    EXPECT_EQ(QRNIORegistryEntry::registryEntryInPlane("IOService", ""), nullptr);
}

TEST_F(QRNIORegistryEntryTest, EveryReadIsFresh)
{
    const auto driver = entry("nvme-driver");
    const auto before = driver->properties();
    m_fixture.registry().setProperty(m_fixture["nvme-driver"], "Statistics", QVariantMap{{"Operations (Read)", 110}});
    EXPECT_EQ(driver->properties()->value("Statistics").toMap().value("Operations (Read)").toInt(), 110);
    EXPECT_EQ(before->value("Statistics").toMap().value("Operations (Read)").toInt(), 100);
}

TEST_F(QRNIORegistryEntryTest, AnEntryThatWentAwayAnswersNothing)
{
    const auto media = entry("disk2");
    const auto driver = entry("usb-driver");
    m_fixture.registry().removeEntry(m_fixture["usb-stick"]);
    EXPECT_FALSE(media->properties());
    EXPECT_FALSE(media->hasValueWithName("BSD Name"));
    EXPECT_FALSE(media->stringValueWithName("BSD Name"));
    EXPECT_EQ(media->integerValueWithName("Size"), -1);
    EXPECT_FALSE(media->boolValueWithName("Writable"));
    EXPECT_FALSE(media->driverClassName());
    EXPECT_EQ(driver->parentServiceEntry(), nullptr);
    EXPECT_EQ(driver->childServiceEntry(), nullptr);
    EXPECT_EQ(media->description(), QStringLiteral("QRNIORegistryEntry: (null)\n"));
}
