#include "LaunchedController.h"

#include "app/QRNHostUserDefaults.h"
#include "configuration/ConfigurationTopicClasses.h"
#include "configuration/QRNMenuBarSimulatorView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "platform/log/LogCapture.h"

#include <QCheckBox>

namespace {

QStringList liveCodes(const QRNMonitorItem* item)
{
    QStringList codes;
    for (const auto& cell : item->menuBarImage()->menuBarCells())
        codes.append(cell->stringCode());
    return codes;
}

// Copies the palette cell with that code to the end of the item strip, as a
// drop from the palette does.
void dropPaletteCell(ConfigurationTopic& topic, const QString& code)
{
    QRNMenuBarSimulatorView* palette = topic.menuBarSourceView();
    for (quint64 i = 0; i < palette->countOfMenuBarCells(); ++i) {
        if (palette->menuBarCellAtIndex(i)->stringCode() == code) {
            topic.menuBarSimulatorView()->addMenuBarCell(palette->menuBarCellAtIndex(i)->copy());
            topic.menuBarSimulatorView()->sendChangeNotification();
            return;
        }
    }
    FAIL() << "no palette cell " << code.toStdString();
}

class TopicBindingTest : public LaunchedController {
protected:
    ConfigurationTopic& processorTopic() const { return *controller->topicForClassName(QStringLiteral("ProcessorTopic")); }
    QStringList storedCodes(const QString& topic) const
    {
        return defaults().objectForKey(topic + QStringLiteral("-MenuBarConfiguration")).toStringList();
    }
    const QStringList pieOnly = {QStringLiteral("QRNNumericMenuBarCell:P")};
};

TEST_F(TopicBindingTest, KeysAndPreconfiguredLists)
{
    launch();
    ConfigurationTopic& topic = processorTopic();
    EXPECT_EQ(topic.topicUserDefaultsKeyForKey(QStringLiteral("IsActive")), QStringLiteral("ProcessorTopic-IsActive"));
    EXPECT_TRUE(topic.topicUserDefaultsKeyForKey(QString()).isEmpty());
    EXPECT_FALSE(topic.preconfiguredCellCodesForKey(QString()));
    EXPECT_FALSE(topic.preconfiguredCellCodesForKey(QStringLiteral("Favourites")));
    EXPECT_FALSE(ConfigurationTopic().preconfiguredCellCodesForKey(QStringLiteral("Default")));

    // A page starts with the cells its item shows by default.
    EXPECT_EQ(topic.preconfiguredCellCodesForKey(QStringLiteral("Default")), QRNCPUMonitorItem::defaultCellConfiguration());
    EXPECT_EQ(controller->topicForClassName(QStringLiteral("MemoryTopic"))->menuBarDefaultCellCodes(),
        QRNMemoryMonitorItem::defaultCellConfiguration());
    EXPECT_EQ(topic.menuBarSimulatorView()->cellCodes(), QRNCPUMonitorItem::defaultCellConfiguration());
    EXPECT_EQ(topic.menuBarSourceView()->cellCodes(), topic.menuBarAvailableCellCodes());
    EXPECT_TRUE(topic.menuBarSourceView()->isItemSource());
    EXPECT_FALSE(topic.menuBarSimulatorView()->isItemSource());
    EXPECT_FALSE(topic.menuBarSourceView()->toolTipStrings().first().isEmpty());
}

TEST_F(TopicBindingTest, EveryShippedCellListMakesItsCells)
{
    LogCapture log;
    launch();
    for (const QString& className : ConfigurationTopicClasses::classNames()) {
        const ConfigurationTopic* topic = controller->topicForClassName(className);
        ASSERT_NE(topic, nullptr) << className.toStdString();
        const auto available = topic->preconfiguredCellCodesForKey(QStringLiteral("Available"));
        if (!available)
            continue;
        EXPECT_EQ(topic->menuBarSourceView()->countOfMenuBarCells(), quint64(available->size())) << className.toStdString();
        EXPECT_EQ(topic->preconfiguredCellCodesForKey(QStringLiteral("Descriptions")).value_or(QStringList()).size(),
            available->size()) << className.toStdString();
        for (const QString& code : topic->menuBarDefaultCellCodes())
            EXPECT_TRUE(available->contains(code)) << className.toStdString() << " " << code.toStdString();
    }
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << log.messages(LogLevel::Error).join('\n').toStdString();
}

TEST_F(TopicBindingTest, StoredCodesFillTheStripAndAnEmptyListMeansDefault)
{
    defaults().setObject(QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{pieOnly.first()}, UserDefaults::Domain::Host);
    defaults().setObject(QStringLiteral("MemoryTopic-MenuBarConfiguration"), QVariantList(), UserDefaults::Domain::Host);
    launch();
    EXPECT_EQ(processorTopic().menuBarSimulatorView()->cellCodes(), pieOnly);
    EXPECT_EQ(processorTopic().menuBarCellCodes(), pieOnly);
    EXPECT_EQ(controller->topicForClassName(QStringLiteral("MemoryTopic"))->menuBarSimulatorView()->cellCodes(),
        QRNMemoryMonitorItem::defaultCellConfiguration());
}

TEST_F(TopicBindingTest, AStripChangeReachesTheLiveItemAtOnce)
{
    launch();
    ConfigurationTopic& topic = processorTopic();
    topic.setIsFeatureActive(true);
    QRNMonitorItem* item = liveItem(QStringLiteral("QRNCPUMonitorItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(liveCodes(item), QRNCPUMonitorItem::defaultCellConfiguration());

    dropPaletteCell(topic, QStringLiteral("QRNNumericMenuBarCell:P"));
    const QStringList expected = QRNCPUMonitorItem::defaultCellConfiguration() + pieOnly;
    EXPECT_EQ(storedCodes(QStringLiteral("ProcessorTopic")), expected);
    EXPECT_EQ(topic.menuBarCellCodes(), expected);
    EXPECT_EQ(liveItem(QStringLiteral("QRNCPUMonitorItem")), item);
    EXPECT_EQ(liveCodes(item), expected);

    topic.menuBarSimulatorView()->removeMenuBarCellAtIndex(0);
    topic.menuBarSimulatorView()->sendChangeNotification();
    EXPECT_EQ(liveCodes(item), expected.mid(1));

    topic.setMenuBarCellsToDefault();
    EXPECT_EQ(storedCodes(QStringLiteral("ProcessorTopic")), QRNCPUMonitorItem::defaultCellConfiguration());
    EXPECT_EQ(liveCodes(item), QRNCPUMonitorItem::defaultCellConfiguration());
}

TEST_F(TopicBindingTest, OnlyTheTopicsOwnItemStripIsStored)
{
    launch();
    ConfigurationTopic& topic = processorTopic();
    topic.menuBarSourceView()->sendChangeNotification();
    controller->topicForClassName(QStringLiteral("MemoryTopic"))->menuBarSimulatorView()->sendChangeNotification();
    topic.handleChangeInMenuBarConfiguration(nullptr);
    EXPECT_FALSE(defaults().hasKey(QStringLiteral("ProcessorTopic-MenuBarConfiguration")));
    EXPECT_TRUE(defaults().hasKey(QStringLiteral("MemoryTopic-MenuBarConfiguration")));
}

TEST_F(TopicBindingTest, SwitchingOnStoresTheCellsBeforeTheFlag)
{
    launch();
    ConfigurationTopic& topic = processorTopic();
    topic.configureMenuBarSimulator(topic.menuBarSimulatorView(), pieOnly, {});
    EXPECT_FALSE(defaults().hasKey(QStringLiteral("ProcessorTopic-MenuBarConfiguration")));

    auto* featureSwitch = topic.contentView()->findChild<QCheckBox*>(QStringLiteral("featureSwitch"));
    ASSERT_NE(featureSwitch, nullptr);
    featureSwitch->click();
    EXPECT_TRUE(topic.isFeatureActive());
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("ProcessorTopic-IsActive")));
    // The item was created from the strip's cells, not from anything older.
    QRNMonitorItem* item = liveItem(QStringLiteral("QRNCPUMonitorItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(liveCodes(item), pieOnly);

    featureSwitch->click();
    EXPECT_EQ(liveItem(QStringLiteral("QRNCPUMonitorItem")), nullptr);
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("ProcessorTopic-IsActive")));
}

TEST_F(TopicBindingTest, AnItemDraggedOutOfTheBarUnticksItsPage)
{
    launch();
    ConfigurationTopic& topic = processorTopic();
    topic.setIsFeatureActive(true);
    auto* featureSwitch = topic.contentView()->findChild<QCheckBox*>(QStringLiteral("featureSwitch"));
    EXPECT_TRUE(featureSwitch->isChecked());

    controller->requestDeactivationOfMonitorItem(liveItem(QStringLiteral("QRNCPUMonitorItem")));
    EXPECT_EQ(liveItem(QStringLiteral("QRNCPUMonitorItem")), nullptr);
    EXPECT_FALSE(topic.isFeatureActive());
    EXPECT_FALSE(featureSwitch->isChecked());
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("ProcessorTopic-IsActive")));
}

TEST_F(TopicBindingTest, TheVeryFirstStartSwitchesEveryPageOn)
{
    defaults().clear();
    LogCapture log;
    launch();
    // Pages without an item store their switch too; nobody complains.
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << log.messages(LogLevel::Error).join(u'\n').toStdString();
    for (const QString& topic : {QStringLiteral("ProcessorTopic"), QStringLiteral("MemoryTopic")}) {
        EXPECT_TRUE(controller->topicForClassName(topic)->isFeatureActive());
        EXPECT_TRUE(defaults().boolForKey(topic + QStringLiteral("-IsActive")));
    }
    ASSERT_NE(liveItem(QStringLiteral("QRNMemoryMonitorItem")), nullptr);
    EXPECT_EQ(liveCodes(liveItem(QStringLiteral("QRNMemoryMonitorItem"))), QRNMemoryMonitorItem::defaultCellConfiguration());
    // A page without strips stores an empty list with its flag.
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("ActivityTopic-MenuBarConfiguration")).toList().size(), 0);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("ActivityTopic-IsActive")));
}

} // namespace
