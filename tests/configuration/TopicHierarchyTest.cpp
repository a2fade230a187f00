#include "configuration/ConfigurationTopic.h"
#include "configuration/ConfigurationTopicClasses.h"
#include "configuration/TopicTree.h"
#include "platform/bundle/BundleResources.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/desktop/SystemSymbol.h"
#include "platform/log/LogCapture.h"

#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QVariantMap page(const QString& className, const QString& title = {})
{
    return {{QStringLiteral("Class"), className}, {QStringLiteral("Title"), title.isEmpty() ? className : title}};
}

QVariantMap group(const QString& title, const QVariantList& items)
{
    return {{QStringLiteral("Title"), title}, {QStringLiteral("Items"), items}};
}

class TopicHierarchyTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::standardUserDefaults().clear(); }
    void TearDown() override { UserDefaults::standardUserDefaults().clear(); }
};

TEST_F(TopicHierarchyTest, NoArrayGivesNoTreeAndAnEmptyArrayAnEmptyOne)
{
    EXPECT_FALSE(ConfigurationTopic::topicHierarchyForConfigurationDescription(QVariant()));
    EXPECT_FALSE(ConfigurationTopic::topicHierarchyForConfigurationDescription(QStringLiteral("Processor")));
    const auto empty = ConfigurationTopic::topicHierarchyForConfigurationDescription(QVariantList());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST_F(TopicHierarchyTest, NestedGroupsKeepOrderTitlesAndIcons)
{
    QVariantMap general = group(QStringLiteral("General"),
        {page(QStringLiteral("PreferencesTopic"), QStringLiteral("Preferences")),
            group(QStringLiteral("Inner"), {page(QStringLiteral("VistrelPlusTopic"))})});
    general.insert(QStringLiteral("OverrideSymbol"), QStringLiteral("gearshape"));
    general.insert(QStringLiteral("OverrideAccessibility"), QStringLiteral("general settings icon"));
    const auto topics = ConfigurationTopic::topicHierarchyForConfigurationDescription(
        QVariantList{page(QStringLiteral("MemoryTopic"), QStringLiteral("Memory")), general});
    ASSERT_TRUE(topics);
    ASSERT_EQ(topics->size(), 2u);

    const ConfigurationTopic& memory = *(*topics)[0];
    EXPECT_EQ(memory.className(), QStringLiteral("MemoryTopic"));
    EXPECT_EQ(memory.displayTitle(), QStringLiteral("Memory"));
    EXPECT_TRUE(memory.isLeafNode());
    EXPECT_EQ(memory.systemSymbolNameOfIcon(), QStringLiteral("memorychip"));
    ASSERT_NE(memory.contentView(), nullptr);
    // The page's heading carries the title, which arrives after the page is built.
    QStringList texts;
    for (const QLabel* label : memory.contentView()->findChildren<QLabel*>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Memory"))) << texts.join(u'|').toStdString();

    const ConfigurationTopic& groupTopic = *(*topics)[1];
    EXPECT_EQ(groupTopic.className(), QStringLiteral("ConfigurationTopic"));
    EXPECT_FALSE(groupTopic.isLeafNode());
    EXPECT_EQ(groupTopic.contentView(), nullptr);
    EXPECT_EQ(groupTopic.systemSymbolNameOfIcon(), QStringLiteral("gearshape"));
    EXPECT_EQ(groupTopic.accessibilityDescriptionOfIcon(), QStringLiteral("general settings icon"));
    ASSERT_EQ(groupTopic.children().size(), 2u);
    EXPECT_EQ(groupTopic.children()[0]->displayTitle(), QStringLiteral("Preferences"));
    ASSERT_EQ(groupTopic.children()[1]->children().size(), 1u);
    EXPECT_EQ(groupTopic.children()[1]->children()[0]->className(), QStringLiteral("VistrelPlusTopic"));

    // A topic without its own symbol shows the question mark.
    ConfigurationTopic plain;
    EXPECT_EQ(plain.systemSymbolNameOfIcon(), QStringLiteral("questionmark.square"));
    EXPECT_EQ(plain.accessibilityDescriptionOfIcon(), QStringLiteral("unknown topic"));
    EXPECT_FALSE(plain.iconForSourceList().isNull());
}

TEST_F(TopicHierarchyTest, AMissingClassEmptiesItsLevel)
{
    LogCapture log;
    EXPECT_FALSE(ConfigurationTopic::topicHierarchyForConfigurationDescription(
        QVariantList{page(QStringLiteral("ProcessorTopic")), page(QStringLiteral("GraphicsTopic"))}));
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList{QStringLiteral("ConfigurationTopic: implementation for class 'GraphicsTopic' is missing.")});

    // Inside a group only the group's children are lost.
    const auto topics = ConfigurationTopic::topicHierarchyForConfigurationDescription(QVariantList{
        group(QStringLiteral("Items"), {page(QStringLiteral("DiskTopic")), page(QStringLiteral("GraphicsTopic"))}),
        page(QStringLiteral("PreferencesTopic"))});
    ASSERT_TRUE(topics);
    ASSERT_EQ(topics->size(), 2u);
    EXPECT_TRUE((*topics)[0]->children().empty());
    EXPECT_EQ((*topics)[1]->className(), QStringLiteral("PreferencesTopic"));
}

TEST_F(TopicHierarchyTest, AnEntryThatIsNoDictionaryEndsTheBuild)
{
    LogCapture log;
    EXPECT_FALSE(ConfigurationTopic::topicHierarchyForConfigurationDescription(
        QVariantList{page(QStringLiteral("ProcessorTopic")), QStringLiteral("MemoryTopic")}));
    const QStringList errors = log.messages(LogLevel::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("ConfigurationTopic: malformed entry in static description: dictionary expected, found ")));
    EXPECT_TRUE(errors[0].contains(QStringLiteral("MemoryTopic")));
}

TEST_F(TopicHierarchyTest, TheShippedTreeHoldsEveryTopicClassOnce)
{
    LogCapture log;
    const auto description = BundleResources::propertyListNamed(QStringLiteral("Configuration"));
    ASSERT_TRUE(description);
    const auto topics = ConfigurationTopic::topicHierarchyForConfigurationDescription(*description);
    ASSERT_TRUE(topics);
    QStringList leaves;
    std::function<void(const ConfigurationTopic::List&)> collect = [&](const ConfigurationTopic::List& list) {
        for (const auto& topic : list) {
            EXPECT_FALSE(topic->displayTitle().isEmpty());
            if (topic->isLeafNode())
                leaves.append(topic->className());
            else
                collect(topic->children());
        }
    };
    collect(*topics);
    // Groups name their own symbols; every one must be one the desktop stands in for.
    for (const auto& topic : *topics)
        EXPECT_FALSE(SystemSymbol::themeNames(topic->systemSymbolNameOfIcon()).isEmpty()) << topic->systemSymbolNameOfIcon().toStdString();
    for (const QString& className : ConfigurationTopicClasses::classNames()) {
        const QString symbol = TopicTree::topicForClassName(*topics, className)->systemSymbolNameOfIcon();
        EXPECT_FALSE(SystemSymbol::themeNames(symbol).isEmpty()) << className.toStdString() << " " << symbol.toStdString();
    }
    QStringList expected = ConfigurationTopicClasses::classNames();
    leaves.sort();
    expected.sort();
    EXPECT_EQ(leaves, expected);
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(TopicHierarchyTest, LookupsSearchDepthFirst)
{
    const auto topics = ConfigurationTopic::topicHierarchyForConfigurationDescription(QVariantList{
        page(QStringLiteral("ProcessorTopic")),
        group(QStringLiteral("General"), {page(QStringLiteral("PreferencesTopic")), page(QStringLiteral("MenuBarLayoutTopic"))}),
        page(QStringLiteral("MenuBarLayoutTopic"), QStringLiteral("Second"))});
    ASSERT_TRUE(topics);
    using Path = ConfigurationTopic::IndexPath;
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed(QStringLiteral("ProcessorTopic"), *topics), (Path{0}));
    // The first match in depth-first order wins over a later top-level one.
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed(QStringLiteral("MenuBarLayoutTopic"), *topics), (Path{1, 1}));
    // A group matching by its own class is not searched.
    EXPECT_EQ(TopicTree::configurationIndexPathOfClassNamed(QStringLiteral("ConfigurationTopic"), *topics), (Path{1}));
    EXPECT_FALSE(TopicTree::configurationIndexPathOfClassNamed(QStringLiteral("DiskTopic"), *topics));

    ConfigurationTopic* layout = TopicTree::topicForClassName(*topics, QStringLiteral("MenuBarLayoutTopic"));
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout, (*topics)[1]->children()[1].get());
    EXPECT_EQ(TopicTree::topicForClassName(*topics, QStringLiteral("DiskTopic")), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{1, 2}), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{0, 0}), nullptr);
    EXPECT_EQ(TopicTree::topicAtIndexPath(*topics, Path{2}), (*topics)[2].get());
}

} // namespace
