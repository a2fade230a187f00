#include "platform/linux/Sysroot.h"
#include "platform/registry/UdevDatabase.h"

#include <gtest/gtest.h>

TEST(UdevDatabase, KeepsOnlyPropertyLines)
{
    const QHash<QString, QString> properties = UdevDatabase::parse(
        "I:99102288\nE:ID_VENDOR=SanDisk\nE:ID_SERIAL=SanDisk_Cruzer_Blade_4C53-0:0\nS:disk/by-id/usb-SanDisk\n"
        "G:systemd\nE:EMPTY=\nE:=nameless\nbroken line\nE:WITH_EQUALS=a=b");
    EXPECT_EQ(properties.size(), 4);
    EXPECT_EQ(properties.value("ID_VENDOR"), QStringLiteral("SanDisk"));
    EXPECT_EQ(properties.value("ID_SERIAL"), QStringLiteral("SanDisk_Cruzer_Blade_4C53-0:0"));
    EXPECT_TRUE(properties.contains("EMPTY"));
    EXPECT_EQ(properties.value("WITH_EQUALS"), QStringLiteral("a=b"));
}

TEST(UdevDatabase, TextPrefersTheEncodedKey)
{
    const QHash<QString, QString> both{{"ID_MODEL", "Cruzer_Blade"}, {"ID_MODEL_ENC", "Cruzer\\x20Blade\\x20\\x20"}};
    EXPECT_EQ(UdevDatabase::text(both, "ID_MODEL"), QStringLiteral("Cruzer Blade"));
    const QHash<QString, QString> plainOnly{{"ID_MODEL", "Samsung_SSD_980_PRO_1TB"}};
    EXPECT_EQ(UdevDatabase::text(plainOnly, "ID_MODEL"), QStringLiteral("Samsung SSD 980 PRO 1TB"));
    EXPECT_EQ(UdevDatabase::text(plainOnly, "ID_VENDOR"), QString());
}

TEST(UdevDatabase, DecodesHexEscapesAsUTF8)
{
    EXPECT_EQ(UdevDatabase::decoded("EFI\\x20System\\x20Partition"), QStringLiteral("EFI System Partition"));
    EXPECT_EQ(UdevDatabase::decoded("Gr\\xc3\\xbc\\xc3\\x9fe"), QStringLiteral("Grüße"));
    // Broken or cut-off escapes stay as they are.
    EXPECT_EQ(UdevDatabase::decoded("a\\xzz\\x2"), QStringLiteral("a\\xzz\\x2"));
}

TEST(UdevDatabase, BlockDevicesWithoutARecordHaveNoProperties)
{
    const Sysroot laptop(QStringLiteral(VISTREL_FIXTURES "/laptop"));
    EXPECT_EQ(UdevDatabase::forBlockDevice(laptop, "8:1").value("ID_FS_LABEL"), QStringLiteral("STICK"));
    EXPECT_TRUE(UdevDatabase::forBlockDevice(laptop, "8:2").isEmpty());
    EXPECT_TRUE(UdevDatabase::forBlockDevice(laptop, "").isEmpty());
    const Sysroot server(QStringLiteral(VISTREL_FIXTURES "/server"));
    EXPECT_TRUE(UdevDatabase::forBlockDevice(server, "8:0").isEmpty());
}
