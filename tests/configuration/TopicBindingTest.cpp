#include "LaunchedController.h"

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

class TopicBindingTest : public LaunchedController {
protected:
    void launchWithWindow()
    {
        launch();
        ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    }
    ConfigurationTopic& topic(const char* name = "ProcessorTopic") const { return *windowController().topicForClassName(name); }
    QStringList storedCodes(const QString& topic) const { return defaults().objectForKey(topic + "-MenuBarConfiguration").toStringList(); }
    QCheckBox* featureSwitch() const { return topic().contentView()->findChild<QCheckBox*>("featureSwitch"); }
    const QStringList defaultCodes = QRNCPUMonitorItem::defaultCellConfiguration();
    const QStringList pieOnly = {"QRNNumericMenuBarCell:P"};
};

TEST_F(TopicBindingTest, EveryShippedCellListMakesItsCells)
{
    LogCapture log;
    launchWithWindow();
    for (const QString& className : ConfigurationTopicClasses::classNames()) {
        SCOPED_TRACE(className.toStdString());
        const ConfigurationTopic* page = windowController().topicForClassName(className);
        ASSERT_NE(page, nullptr);
        const auto available = page->preconfiguredCellCodesForKey("Available");
        if (!available)
            continue;
        EXPECT_EQ(page->menuBarSourceView()->countOfMenuBarCells(), quint64(available->size()));
        EXPECT_EQ(page->preconfiguredCellCodesForKey("Descriptions").value_or(QStringList()).size(), available->size());
        for (const QString& code : page->menuBarDefaultCellCodes())
            EXPECT_TRUE(available->contains(code)) << code.toStdString();
    }
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty()) << log.messages(LogLevel::Error).join('\n').toStdString();
    EXPECT_FALSE(topic().preconfiguredCellCodesForKey("Favourites"));
    EXPECT_EQ(topic().menuBarSimulatorView()->cellCodes(), defaultCodes);
    EXPECT_TRUE(topic().menuBarSourceView()->isItemSource());
    EXPECT_FALSE(topic().menuBarSimulatorView()->isItemSource());
}

TEST_F(TopicBindingTest, StoredCodesFillTheStripAndAnEmptyListMeansDefault)
{
    defaults().setObject("ProcessorTopic-MenuBarConfiguration", QVariantList{pieOnly.first()}, UserDefaults::Domain::Host);
    defaults().setObject("MemoryTopic-MenuBarConfiguration", QVariantList(), UserDefaults::Domain::Host);
    launchWithWindow();
    EXPECT_EQ(topic().menuBarSimulatorView()->cellCodes(), pieOnly);
    EXPECT_EQ(topic().menuBarCellCodes(), pieOnly);
    EXPECT_EQ(topic("MemoryTopic").menuBarSimulatorView()->cellCodes(), QRNMemoryMonitorItem::defaultCellConfiguration());
}

TEST_F(TopicBindingTest, AStripChangeReachesTheLiveItemAtOnce)
{
    launchWithWindow();
    topic().setIsFeatureActive(true);
    QRNMonitorItem* item = liveItem("QRNCPUMonitorItem");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(liveCodes(item), defaultCodes);

    // A drop from the palette appends a copy of its cell.
    QRNMenuBarSimulatorView* palette = topic().menuBarSourceView();
    QRNMenuBarSimulatorView* strip = topic().menuBarSimulatorView();
    const quint64 pie = quint64(palette->cellCodes().indexOf(pieOnly.first()));
    ASSERT_LT(pie, palette->countOfMenuBarCells());
    strip->addMenuBarCell(palette->menuBarCellAtIndex(pie)->copy());
    strip->sendChangeNotification();
    const QStringList expected = defaultCodes + pieOnly;
    EXPECT_EQ(storedCodes("ProcessorTopic"), expected);
    EXPECT_EQ(topic().menuBarCellCodes(), expected);
    EXPECT_EQ(liveItem("QRNCPUMonitorItem"), item);
    EXPECT_EQ(liveCodes(item), expected);

    strip->removeMenuBarCellAtIndex(0);
    strip->sendChangeNotification();
    EXPECT_EQ(liveCodes(item), expected.mid(1));

    topic().setMenuBarCellsToDefault();
    EXPECT_EQ(storedCodes("ProcessorTopic"), defaultCodes);
    EXPECT_EQ(liveCodes(item), defaultCodes);

    // Only a page's own item strip is stored.
    EXPECT_FALSE(defaults().hasKey("MemoryTopic-MenuBarConfiguration"));
    palette->sendChangeNotification();
    topic("MemoryTopic").menuBarSimulatorView()->sendChangeNotification();
    topic().handleChangeInMenuBarConfiguration(nullptr);
    EXPECT_EQ(storedCodes("ProcessorTopic"), defaultCodes);
    EXPECT_TRUE(defaults().hasKey("MemoryTopic-MenuBarConfiguration"));
}

TEST_F(TopicBindingTest, SwitchingOnStoresTheCellsBeforeTheFlag)
{
    launchWithWindow();
    topic().configureMenuBarSimulator(topic().menuBarSimulatorView(), pieOnly, {});
    EXPECT_FALSE(defaults().hasKey("ProcessorTopic-MenuBarConfiguration"));
    ASSERT_NE(featureSwitch(), nullptr);
    featureSwitch()->click();
    EXPECT_TRUE(topic().isFeatureActive());
    EXPECT_TRUE(defaults().boolForKey("ProcessorTopic-IsActive"));
    // The item was created from the strip's cells, not from anything older.
    ASSERT_NE(liveItem("QRNCPUMonitorItem"), nullptr);
    EXPECT_EQ(liveCodes(liveItem("QRNCPUMonitorItem")), pieOnly);

    featureSwitch()->click();
    EXPECT_EQ(liveItem("QRNCPUMonitorItem"), nullptr);
    EXPECT_FALSE(defaults().boolForKey("ProcessorTopic-IsActive"));

    // An item dragged out of the bar unticks its page.
    featureSwitch()->click();
    controller->requestDeactivationOfMonitorItem(liveItem("QRNCPUMonitorItem"));
    EXPECT_EQ(liveItem("QRNCPUMonitorItem"), nullptr);
    EXPECT_FALSE(topic().isFeatureActive());
    EXPECT_FALSE(featureSwitch()->isChecked());
    EXPECT_FALSE(defaults().boolForKey("ProcessorTopic-IsActive"));
}

} // namespace
