#include "platform/registry/FixtureRegistry.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

namespace {

const QString ServicePlane = QString::fromLatin1(Registry::ServicePlane);
const QString PowerPlane = QString::fromLatin1(Registry::PowerPlane);

std::unique_ptr<FixtureRegistry> laptop()
{
    return FixtureRegistry::fromFile(QStringLiteral(VISTREL_FIXTURES "/registry/laptop.plist"));
}

QVariantMap entry(const QString& name, const QString& className, const QVariantList& children = {})
{
    return {{"name", name}, {"class", className}, {"children", children}};
}

} // namespace

TEST(FixtureRegistry, LoadsTheServicePlaneInFileOrder)
{
    const std::unique_ptr<FixtureRegistry> registry = laptop();
    ASSERT_NE(registry, nullptr);
    const Registry::EntryID root = registry->root();
    EXPECT_EQ(registry->name(root), QStringLiteral("Root"));
    EXPECT_EQ(registry->className(root), QStringLiteral("IORegistryEntry"));
    EXPECT_EQ(registry->entryLabelled("root"), root);

    std::vector<QString> topLevel;
    for (const Registry::EntryID child : registry->children(root, ServicePlane))
        topLevel.push_back(registry->name(child));
    EXPECT_EQ(topLevel, (std::vector<QString>{"nvme0", "Cruzer Blade", "IOHIDSystem"}));

    const std::vector<Registry::EntryID> drivers = registry->servicesOfClass("IOBlockStorageDriver");
    ASSERT_EQ(drivers.size(), 2u);
    EXPECT_EQ(drivers[0], registry->entryLabelled("nvme-driver"));
    EXPECT_EQ(drivers[1], registry->entryLabelled("usb-driver"));
    EXPECT_EQ(registry->parent(drivers[0], ServicePlane), registry->entryLabelled("nvme-device"));
    EXPECT_EQ(registry->parent(root, ServicePlane), 0u);
    EXPECT_EQ(registry->serviceEntries().size(), 15u);
}

TEST(FixtureRegistry, PropertiesCarryTheClass)
{
    const std::unique_ptr<FixtureRegistry> registry = laptop();
    const std::optional<QVariantMap> properties = registry->properties(registry->entryLabelled("disk0s2"));
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->value("IOClass"), QVariant(QStringLiteral("IOMedia")));
    EXPECT_EQ(properties->value("BSD Name"), QVariant(QStringLiteral("disk0s2")));
    EXPECT_EQ(properties->value("Volume Tag").typeId(), QMetaType::QByteArray);
    EXPECT_FALSE(registry->properties(0));
    EXPECT_FALSE(registry->properties(999));
}

TEST(FixtureRegistry, PowerPlaneFollowsTheLabels)
{
    const std::unique_ptr<FixtureRegistry> registry = laptop();
    const Registry::EntryID controller = registry->entryLabelled("nvme-controller");
    const Registry::EntryID connection = registry->entryLabelled("nvme-power-connection");
    const Registry::EntryID device = registry->entryLabelled("nvme-device");
    EXPECT_EQ(registry->children(registry->root(), PowerPlane), std::vector<Registry::EntryID>{controller});
    EXPECT_EQ(registry->children(controller, PowerPlane), std::vector<Registry::EntryID>{connection});
    EXPECT_EQ(registry->children(connection, PowerPlane), std::vector<Registry::EntryID>{device});
    EXPECT_EQ(registry->parent(device, PowerPlane), connection);
    // Planes are separate: the device's service parent is the controller.
    EXPECT_EQ(registry->parent(device, ServicePlane), controller);
    EXPECT_TRUE(registry->children(device, PowerPlane).empty());
    EXPECT_TRUE(registry->children(device, "IODeviceTree").empty());
}

TEST(FixtureRegistry, PathsNameEntriesFromTheRoot)
{
    const std::unique_ptr<FixtureRegistry> registry = laptop();
    EXPECT_EQ(registry->entryAtPath(ServicePlane, "/"), registry->root());
    EXPECT_EQ(registry->entryAtPath(ServicePlane, "/nvme0/IONVMeBlockStorageDevice/IOBlockStorageDriver"), registry->entryLabelled("nvme-driver"));
    EXPECT_EQ(registry->entryAtPath(ServicePlane, "/Cruzer Blade/"), registry->entryLabelled("usb-stick"));
    EXPECT_EQ(registry->entryAtPath(PowerPlane, "/nvme0/IOPowerConnection/IONVMeBlockStorageDevice"), registry->entryLabelled("nvme-device"));
    EXPECT_EQ(registry->entryAtPath(ServicePlane, "/nvme0/IONVMeBlockStorageDevice/Nothing"), 0u);
    EXPECT_EQ(registry->entryAtPath(ServicePlane, "nvme0"), 0u);
}

TEST(FixtureRegistry, RemovedEntriesAndTheirSubtreeAreGone)
{
    const std::unique_ptr<FixtureRegistry> registry = laptop();
    const Registry::EntryID stick = registry->entryLabelled("usb-stick");
    const Registry::EntryID media = registry->entryLabelled("disk2");
    registry->removeEntry(stick);
    for (const Registry::EntryID gone : {stick, media}) {
        EXPECT_FALSE(registry->properties(gone));
        EXPECT_TRUE(registry->name(gone).isEmpty());
        EXPECT_EQ(registry->parent(gone, ServicePlane), 0u);
        EXPECT_FALSE(registry->setProperty(gone, "Open", true));
    }
    EXPECT_EQ(registry->servicesOfClass("IOBlockStorageDriver").size(), 1u);
    EXPECT_EQ(registry->children(registry->root(), ServicePlane).size(), 2u);
}

TEST(FixtureRegistry, MalformedTreesAreRefusedAndLogged)
{
    LogCapture capture;
    EXPECT_EQ(FixtureRegistry::fromPropertyList(QVariantList{}), nullptr);
    EXPECT_EQ(FixtureRegistry::fromPropertyList(QVariantMap{{"name", "Root"}}), nullptr);
    EXPECT_EQ(FixtureRegistry::fromPropertyList(entry("Root", "IORegistryEntry", {entry("A", "X"), QStringLiteral("oops")})), nullptr);
    QVariantMap badProperties = entry("Root", "IORegistryEntry");
    badProperties.insert("properties", QStringLiteral("not a dictionary"));
    EXPECT_EQ(FixtureRegistry::fromPropertyList(badProperties), nullptr);
    QVariantMap duplicateLabel = entry("Root", "IORegistryEntry", {entry("A", "X"), entry("B", "X")});
    QVariantList children = duplicateLabel.value("children").toList();
    for (QVariant& child : children) {
        QVariantMap map = child.toMap();
        map.insert("label", "same");
        child = map;
    }
    duplicateLabel.insert("children", children);
    EXPECT_EQ(FixtureRegistry::fromPropertyList(duplicateLabel), nullptr);
    QVariantMap unknownPower = entry("Root", "IORegistryEntry");
    unknownPower.insert("power", QStringList{"nobody"});
    EXPECT_EQ(FixtureRegistry::fromPropertyList(unknownPower), nullptr);
    EXPECT_EQ(FixtureRegistry::fromFile(QStringLiteral(VISTREL_FIXTURES "/registry/missing.plist")), nullptr);
    EXPECT_EQ(capture.messages(LogLevel::Error).size(), 7);
}
