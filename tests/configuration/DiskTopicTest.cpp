#include "LaunchedController.h"

#include "configuration/DiskTopic.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "items/QRNDiskMonitorItem.h"
#include "platform/registry/MachineCopy.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

namespace {

const QString Nvme = QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)");
const QString Stick = QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)");
const QString Gone = QStringLiteral("Backup Disk (B1)");

class DiskTopicTest : public LaunchedController {
protected:
    DiskTopic& page() const { return static_cast<DiskTopic&>(*windowController().topicForClassName("DiskTopic")); }
    QListWidget& table() const { return *page().contentView()->findChild<QListWidget*>("diskTable"); }
    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < table().count(); ++row)
            texts.append(table().item(row)->text() + (table().item(row)->checkState() == Qt::Checked ? " [x]" : " [ ]"));
        return texts;
    }
    QRNDiskMonitorItem& item() const { return static_cast<QRNDiskMonitorItem&>(*liveItem("QRNDiskMonitorItem")); }

    InstalledMachine laptop{"laptop"};
};

} // namespace

TEST_F(DiskTopicTest, TableShowsStoredAndAttachedDisksAndItsChangesReachTheItemAtOnce)
{
    defaults().setObject("DiskTopic-IsActive", true, UserDefaults::Domain::Host);
    defaults().setObject("DiskTopic-MenuBarConfiguration", QVariantList{"QRNTextMenuBarCell:2"}, UserDefaults::Domain::Host);
    defaults().setObject("DiskTopic-MonitoredDisks", QVariantList{Gone, Nvme}, UserDefaults::Domain::Host);
    launch();
    ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    ASSERT_NE(liveItem("QRNDiskMonitorItem"), nullptr);
    EXPECT_EQ(item().monitoredDiskIdentifications(), QStringList{Nvme});
    EXPECT_FALSE(page().contentView()->findChild<QLabel*>("unavailableNote"));
    EXPECT_EQ(rows(), (QStringList{Gone + " (offline) [x]", Nvme + " [x]", Stick + " [ ]"}));

    // Checking the stick stores it and the item takes it up on the same call.
    table().item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(defaults().objectForKey("DiskTopic-MonitoredDisks").toStringList(), (QStringList{Gone, Nvme, Stick}));
    EXPECT_EQ(item().monitoredDiskIdentifications(), (QStringList{Nvme, Stick}));

    // Dragging the stick to the top reorders the stored list.
    table().model()->moveRow({}, 2, {}, 0);
    EXPECT_EQ(defaults().objectForKey("DiskTopic-MonitoredDisks").toStringList(), (QStringList{Stick, Gone, Nvme}));
    EXPECT_EQ(item().monitoredDiskIdentifications(), (QStringList{Stick, Nvme}));

    // A disk leaving keeps its row, marked offline.
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasRemovedNotification), {{"Type", "Disk"}, {"ID", Nvme}});
    EXPECT_EQ(rows(), (QStringList{Stick + " [x]", Gone + " (offline) [x]", Nvme + " (offline) [x]"}));

    page().contentView()->findChild<QComboBox*>("graphStyle")->setCurrentIndex(1);
    page().contentView()->findChild<QComboBox*>("zoomMode")->setCurrentIndex(1);
    EXPECT_TRUE(item().showsOpposedGraphs());
    EXPECT_TRUE(item().showsLocallyZoomedGraphs());
    EXPECT_TRUE(defaults().boolForKey("DiskTopic-ShowOpposedGraphs"));
}

TEST_F(DiskTopicTest, FirstStartMonitorsEveryAttachedDisk)
{
    launch();
    ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    windowController().activateAllFeaturesOfAllTopics();
    EXPECT_EQ(defaults().objectForKey("DiskTopic-MonitoredDisks").toStringList(), (QStringList{Nvme, Stick}));
    ASSERT_NE(liveItem("QRNDiskMonitorItem"), nullptr);
    EXPECT_EQ(item().monitoredDiskIdentifications(), (QStringList{Nvme, Stick}));
}
