#include "configuration/ConfigurationTopic.h"
#include "configuration/ConfigurationTopicClasses.h"
#include "configuration/TopicTree.h"
#include "platform/bundle/BundleResources.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/SystemSymbol.h"
#include "platform/log/LogCapture.h"

#include "support/ScopedUserDefaults.h"

#include <gtest/gtest.h>

namespace {

QVariantMap page(const QString& className, const QString& title = {})
{
    return {{"Class", className}, {"Title", title.isEmpty() ? className : title}};
}

QVariantMap group(const QString& title, const QVariantList& items)
{
    return {{"Title", title}, {"Items", items}};
}

std::optional<ConfigurationTopic::List> build(const QVariant& description)
{
    return ConfigurationTopic::topicHierarchyForConfigurationDescription(description);
}

class TopicHierarchyTest : public ::testing::Test {
protected:
    ScopedUserDefaults settings;
};

TEST_F(TopicHierarchyTest, NestedGroupsKeepOrderTitlesAndIcons)
{
    EXPECT_FALSE(build(QVariant()));
    EXPECT_FALSE(build(QStringLiteral("Processor")));
    ASSERT_TRUE(build(QVariantList()));
    EXPECT_TRUE(build(QVariantList())->empty());

    QVariantMap general = group("General", {page("PreferencesTopic", "Preferences"), group("Inner", {page("VistrelPlusTopic")})});
    general.insert("OverrideSymbol", "gearshape");
    const auto topics = build(QVariantList{page("MemoryTopic", "Memory"), general});
    ASSERT_TRUE(topics);
    ASSERT_EQ(topics->size(), 2u);
    const ConfigurationTopic& memory = *(*topics)[0];
    EXPECT_EQ(memory.className(), "MemoryTopic");
    EXPECT_EQ(memory.displayTitle(), "Memory");
    EXPECT_TRUE(memory.isLeafNode());
    EXPECT_NE(memory.contentView(), nullptr);

    const ConfigurationTopic& groupTopic = *(*topics)[1];
    EXPECT_EQ(groupTopic.className(), "ConfigurationTopic");
    EXPECT_FALSE(groupTopic.isLeafNode());
    EXPECT_EQ(groupTopic.contentView(), nullptr);
    EXPECT_EQ(groupTopic.systemSymbolNameOfIcon(), "gearshape");
    ASSERT_EQ(groupTopic.children().size(), 2u);
    EXPECT_EQ(groupTopic.children()[0]->displayTitle(), "Preferences");
    ASSERT_EQ(groupTopic.children()[1]->children().size(), 1u);
    EXPECT_EQ(groupTopic.children()[1]->children()[0]->className(), "VistrelPlusTopic");
}

TEST_F(TopicHierarchyTest, AMissingClassEmptiesItsLevel)
{
    LogCapture log;
    EXPECT_FALSE(build(QVariantList{page("ProcessorTopic"), page("GraphicsTopic")}));
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList{"ConfigurationTopic: implementation for class 'GraphicsTopic' is missing."});

    // Inside a group only the group's children are lost.
    const auto topics = build(QVariantList{group("Items", {page("DiskTopic"), page("GraphicsTopic")}), page("PreferencesTopic")});
    ASSERT_TRUE(topics);
    ASSERT_EQ(topics->size(), 2u);
    EXPECT_TRUE((*topics)[0]->children().empty());
    EXPECT_EQ((*topics)[1]->className(), "PreferencesTopic");
}

TEST_F(TopicHierarchyTest, AnEntryThatIsNoDictionaryEndsTheBuild)
{
    LogCapture log;
    EXPECT_FALSE(build(QVariantList{page("ProcessorTopic"), QStringLiteral("MemoryTopic")}));
    const QStringList errors = log.messages(LogLevel::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("ConfigurationTopic: malformed entry in static description: dictionary expected, found "));
    EXPECT_TRUE(errors[0].contains("MemoryTopic"));
}

TEST_F(TopicHierarchyTest, TheShippedTreeHoldsEveryTopicClassOnce)
{
    LogCapture log;
    const auto description = BundleResources::propertyListNamed(QStringLiteral("Configuration"));
    ASSERT_TRUE(description);
    const auto topics = build(*description);
    ASSERT_TRUE(topics);
    QStringList leaves;
    std::function<void(const ConfigurationTopic::List&)> collect = [&](const ConfigurationTopic::List& list) {
        for (const auto& topic : list) {
            EXPECT_FALSE(topic->displayTitle().isEmpty());
            EXPECT_FALSE(SystemSymbol::themeNames(topic->systemSymbolNameOfIcon()).isEmpty()) << qPrintable(topic->className());
            if (topic->isLeafNode())
                leaves.append(topic->className());
            else
                collect(topic->children());
        }
    };
    collect(*topics);
    QStringList expected = ConfigurationTopicClasses::classNames();
    leaves.sort();
    expected.sort();
    EXPECT_EQ(leaves, expected);
    // Info lines (the registry's first walk says which drivers it found none of) are no complaint.
    for (const auto& entry : log.entries())
        EXPECT_LE(entry.level, LogLevel::Info) << qPrintable(entry.message);
}

TEST_F(TopicHierarchyTest, LookupsSearchDepthFirst)
{
    const auto topics = build(QVariantList{page("ProcessorTopic"), group("General", {page("PreferencesTopic"), page("MenuBarLayoutTopic")}),
        page("MenuBarLayoutTopic", "Second")});
    ASSERT_TRUE(topics);
    using Path = ConfigurationTopic::IndexPath;
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed("ProcessorTopic", *topics), (Path{0}));
    // The first match in depth-first order wins over a later top-level one.
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed("MenuBarLayoutTopic", *topics), (Path{1, 1}));
    // A group matching by its own class is not searched.
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed("ConfigurationTopic", *topics), (Path{1}));
    EXPECT_FALSE(TopicTree::configurationIndexPathOfClassNamed("DiskTopic", *topics));

    EXPECT_EQ(TopicTree::topicForClassName(*topics, "MenuBarLayoutTopic"), (*topics)[1]->children()[1].get());
    EXPECT_EQ(TopicTree::topicForClassName(*topics, "DiskTopic"), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{1, 2}), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{0, 0}), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{2}), (*topics)[2].get());
}

} // namespace
