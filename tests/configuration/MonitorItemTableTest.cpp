#include "configuration/ConfigurationTopicClasses.h"
#include "configuration/MonitorItemTopic.h"
#include "items/MonitorItemClasses.h"
#include "items/QRNMonitorItem.h"
#include "platform/bundle/BundleResources.h"
#include "support/ScopedStatusBar.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

// Every page class the shipped outline names, groups included.
QStringList outlineClasses(const QVariantList& entries)
{
    QStringList classes;
    for (const QVariant& entry : entries) {
        const QVariantMap fields = entry.toMap();
        if (fields.contains(QStringLiteral("Class")))
            classes << fields.value(QStringLiteral("Class")).toString();
        classes << outlineClasses(fields.value(QStringLiteral("Items")).toList());
    }
    return classes;
}

// The outline of the configuration window, the cell lists and the item
// table name the same item topics; a row added to one and forgotten in
// another would give a page without an item or an item without a page.
TEST(MonitorItemTable, AgreesWithTheShippedOutlineAndCellLists)
{
    const auto outline = BundleResources::propertyListNamed(QStringLiteral("Configuration"));
    const auto cellLists = BundleResources::propertyListNamed(QStringLiteral("MenuBarCellConfigurations"));
    ASSERT_TRUE(outline && cellLists);
    const QStringList pages = outlineClasses(outline->toList());
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_EQ(QSet<QString>(pages.begin(), pages.end()).size(), pages.size()) << qPrintable(pages.join(' '));

    QSet<QString> itemPages;
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        std::unique_ptr<ConfigurationTopic> topic = ConfigurationTopicClasses::newTopicOfClassNamed(page);
        ASSERT_NE(topic, nullptr);
        const MonitorItemClass* row = MonitorItemClasses::shared().findForTopic(page);
        if (row)
            itemPages.insert(page);
        // A page with strips is an item's page and starts with some cells.
        if (dynamic_cast<MonitorItemTopic*>(topic.get())) {
            EXPECT_NE(row, nullptr);
            EXPECT_FALSE(cellLists->toMap().value(page).toMap().value(QStringLiteral("Default")).toList().isEmpty());
        }
    }
    QSet<QString> rowNames;
    for (const MonitorItemClass& row : MonitorItemClasses::shared().rows()) {
        EXPECT_TRUE(itemPages.contains(row.topicName)) << "no page for " << row.topicName.data();
        rowNames.insert(row.name);
    }
    EXPECT_EQ(rowNames.size(), MonitorItemClasses::shared().rows().size());
    // The item pages are one group of the outline.
    bool grouped = false;
    for (const QVariant& group : outline->toList()) {
        const QStringList members = outlineClasses(group.toMap().value(QStringLiteral("Items")).toList());
        grouped = grouped || QSet<QString>(members.begin(), members.end()) == itemPages;
    }
    EXPECT_TRUE(grouped);
}

TEST(MonitorItemTable, EveryBuiltRowMakesAnItemOfItsOwnClassFromItsDefaultCells)
{
    ScopedStatusBar bar;
    const QVariantMap cellLists = BundleResources::propertyListNamed(QStringLiteral("MenuBarCellConfigurations"))->toMap();
    int built = 0;
    for (const MonitorItemClass& row : MonitorItemClasses::shared().rows()) {
        if (!row.isAvailable())
            continue;
        SCOPED_TRACE(row.name.data());
        const QStringList cells = cellLists.value(row.topicName).toMap().value(QStringLiteral("Default")).toStringList();
        std::unique_ptr<QRNMonitorItem> item = row.create(cells);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->className(), QString(row.name));
        EXPECT_GT(row.defaultMonitoringInterval, 0.0);
        ++built;
    }
    EXPECT_GE(built, 2);
}

} // namespace
