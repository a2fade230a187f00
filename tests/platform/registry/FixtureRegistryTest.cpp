#include "platform/registry/FixtureRegistry.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

namespace {

QVariantMap entry(const QString& name, const QString& className, const QVariantList& children = {})
{
    return {{"name", name}, {"class", className}, {"children", children}};
}

} // namespace

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

TEST(FixtureRegistry, DiskStatisticsComeFromTheDictionaryWithMissingNumbersAsZero)
{
    const std::unique_ptr<FixtureRegistry> registry = FixtureRegistry::fromFile(QStringLiteral(VISTREL_FIXTURES "/registry/laptop.plist"));
    ASSERT_NE(registry, nullptr);
    const std::vector<Registry::EntryID> drivers = registry->servicesOfClass(QStringLiteral("IOBlockStorageDriver"));
    ASSERT_FALSE(drivers.empty());
    const std::optional<DiskStatistics> nvme = registry->diskStatistics(drivers.front());
    EXPECT_EQ(nvme, (DiskStatistics {1000, 2048, 100, 50, 0, 0}));
    EXPECT_FALSE(registry->diskStatistics(registry->root()));
}
