#include "LaunchedController.h"

#include "configuration/FileSystemTopic.h"
#include "instruments/QRNFileSystemInstrument.h"
#include "items/QRNVolumeMonitorItem.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/registry/LinuxRegistry.h"
#include "support/QStringPrinter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QListWidget>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QTemporaryDir>

namespace {

QStringList paths(const std::vector<FileSystemDescription>& descriptions, bool selectedOnly = false)
{
    QStringList result;
    for (const FileSystemDescription& d : descriptions) {
        if (d.isSelected || !selectedOnly)
            result.append(d.mountPath);
    }
    return result;
}

class FileSystemTopicTest : public LaunchedController {
protected:
    void launchWithPaths(const QStringList& stored)
    {
        defaults().setObject("FileSystemTopic-IsActive", true, UserDefaults::Domain::Host);
        defaults().setObject("FileSystemTopic-MenuBarConfiguration", QVariantList{"QRNTextMenuBarCell:2"}, UserDefaults::Domain::Host);
        defaults().setObject("FileSystemTopic-MonitoredPaths", QVariantList(stored.begin(), stored.end()), UserDefaults::Domain::Host);
        launch();
        ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    }
    FileSystemTopic& page() const { return static_cast<FileSystemTopic&>(*windowController().topicForClassName("FileSystemTopic")); }
    QStringList stored() const { return defaults().objectForKey("FileSystemTopic-MonitoredPaths").toStringList(); }
    QRNVolumeMonitorItem& item() const { return static_cast<QRNVolumeMonitorItem&>(*liveItem("QRNVolumeMonitorItem")); }
};

TEST_F(FileSystemTopicTest, ChoicesOnThePageReachTheLiveItemAtOnce)
{
    launchWithPaths({"/gone/volume", "/"});
    ASSERT_NE(liveItem("QRNVolumeMonitorItem"), nullptr);
    const auto& list = page().fileSystemDescriptions();
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0].mountPath, "/gone/volume");
    EXPECT_EQ(list[0].volumeName, "volume");
    EXPECT_TRUE(list[0].isSelected);
    EXPECT_FALSE(list[0].isOnline);
    EXPECT_EQ(list[1].mountPath, "/");
    EXPECT_TRUE(list[1].isOnline);
    EXPECT_EQ(paths(list, true), (QStringList{"/gone/volume", "/"}));
    EXPECT_EQ(item().fileSystemInstrument(0).displayName(), "volume -offline-");
    EXPECT_GT(item().fileSystemInstrument(1).totalSpace(), 0u);

    page().moveFileSystemDescriptions({1}, 0);
    EXPECT_EQ(stored(), (QStringList{"/", "/gone/volume"}));
    EXPECT_EQ(item().monitoredPaths(), (QStringList{"/", "/gone/volume"}));

    page().setEnabled(false, 0);
    EXPECT_EQ(item().monitoredPaths(), QStringList{"/gone/volume"});

    // The folder chooser leaves the event loop running; choosing adds the folder.
    QTemporaryDir folder;
    page().contentView()->findChild<QPushButton*>("addFolderButton")->click();
    auto* chooser = page().contentView()->findChild<QFileDialog*>();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    Q_EMIT chooser->fileSelected(folder.path() + "/");
    EXPECT_EQ(stored(), (QStringList{"/gone/volume", folder.path()}));
    EXPECT_FALSE(item().fileSystemInstrument(1).isOffline());
    EXPECT_TRUE(page().fileSystemDescriptions().back().isOnline);
    page().addFileSystemPath(folder.path());
    EXPECT_EQ(item().monitoredPaths().size(), 2);

    page().removeFileSystemDescription(page().indexOfDescriptionForMountPath("/gone/volume"));
    EXPECT_EQ(item().monitoredPaths(), QStringList{folder.path()});
    EXPECT_EQ(page().indexOfDescriptionForMountPath("/gone/volume"), -1);

    auto* choice = page().contentView()->findChild<QComboBox*>("freeDefinitionChoice");
    ASSERT_NE(choice, nullptr);
    choice->setCurrentIndex(2);
    EXPECT_EQ(defaults().integerForKey("FileSystemTopic-FreeDefinitionMode"), 2);
    EXPECT_EQ(item().freeDefinitionMode(), 2);

    // The list on the page shows the same rows, ticked as chosen.
    auto* rows = page().contentView()->findChild<QListWidget*>("fileSystemList");
    ASSERT_EQ(rows->count(), int(page().fileSystemDescriptions().size()));
    const int chosen = page().indexOfDescriptionForMountPath(folder.path());
    EXPECT_EQ(rows->item(chosen)->checkState(), Qt::Checked);
    rows->item(chosen)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(item().monitoredPaths().isEmpty());
}

TEST_F(FileSystemTopicTest, DraggedRowsKeepTheirOrderAtTheDropRow)
{
    launchWithPaths({"/v/1", "/v/2", "/v/3", "/v/4", "/v/5"});
    page().moveFileSystemDescriptions({3, 2}, 0);
    EXPECT_EQ(paths(page().fileSystemDescriptions()).mid(0, 5), (QStringList{"/v/3", "/v/4", "/v/1", "/v/2", "/v/5"}));
    EXPECT_EQ(stored(), (QStringList{"/v/3", "/v/4", "/v/1", "/v/2", "/v/5"}));
    // Onto a row below them, and past the end.
    page().moveFileSystemDescriptions({0}, 3);
    EXPECT_EQ(stored(), (QStringList{"/v/4", "/v/1", "/v/3", "/v/2", "/v/5"}));
    page().moveFileSystemDescriptions({0}, 1000);
    EXPECT_EQ(stored().last(), "/v/4");
}

TEST(FileSystemTopicMounts, VolumesComeAndGoOnThePageAsTheyAreMounted)
{
    ScopedUserDefaults settings;
    ScopedUserDefaults::defaults().setObject("FileSystemTopic-MonitoredPaths", QVariantList{"/mnt/gone", "/home"}, UserDefaults::Domain::Host);
    FixtureSysroot root("mounts-desktop");
    MountMonitor mounts{Sysroot(root.root())};
    FileSystemTopic topic(mounts);
    topic.init();
    const auto& list = topic.fileSystemDescriptions();
    EXPECT_EQ(paths(list), (QStringList{"/mnt/gone", "/home", "/", "/boot/efi", "/run/media/anna/USB STICK", "/mnt/scratch", "/home/anna/Tab\tand\\back"}));
    EXPECT_EQ(list[1].volumeName, "Home Data");
    EXPECT_FALSE(list[0].isOnline);

    const QByteArray table = Sysroot(root.root()).read("proc/self/mountinfo").value().replace(
        "48 26 8:17 / /run/media/anna/USB\\040STICK rw,nosuid,nodev,relatime shared:410 - vfat /dev/sdb1 rw,uid=1000,gid=1000\n", "");
    root.writeFile("proc/self/mountinfo", table + "70 28 8:33 / /mnt/gone rw - ext4 /dev/sdc1 rw\n71 28 8:49 / /media/new rw - ext4 /dev/sdd1 rw\n");
    mounts.refresh();
    EXPECT_TRUE(list[0].isOnline);
    EXPECT_TRUE(list[0].isSelected);
    EXPECT_FALSE(list[topic.indexOfDescriptionForMountPath("/run/media/anna/USB STICK")].isOnline);
    ASSERT_EQ(list.back().mountPath, "/media/new");
    EXPECT_FALSE(list.back().isSelected);
}

} // namespace

TEST_F(FileSystemTopicTest, StoragePoolButtonOpensTheOverviewOnlyWhereThereArePools)
{
    const auto overviewButton = [this] { return page().contentView()->findChild<QPushButton*>("storagePoolsButton"); };
    Registry::setShared(std::make_unique<LinuxRegistry>(FixtureSysroot::fixture(QStringLiteral("pools-lvm"))));
    const auto restore = qScopeGuard([] { Registry::setShared(nullptr); });
    launchWithPaths({"/"});
    ASSERT_NE(overviewButton(), nullptr);
    ASSERT_TRUE(overviewButton()->isEnabled());
    overviewButton()->click();
    auto* tree = page().contentView()->findChild<QTreeWidget*>("storagePoolTree");
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->isVisible());
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(StoragePoolOverview::NameColumn).toStdString(), "Storage Pool 'vg0'");
    page().closeAPFSOverview();
    EXPECT_FALSE(tree->isVisible());
}

TEST_F(FileSystemTopicTest, StoragePoolButtonIsOffWithoutPools)
{
    Registry::setShared(std::make_unique<LinuxRegistry>(FixtureSysroot::fixture(QStringLiteral("laptop"))));
    const auto restore = qScopeGuard([] { Registry::setShared(nullptr); });
    launchWithPaths({"/"});
    auto* button = page().contentView()->findChild<QPushButton*>("storagePoolsButton");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
}
