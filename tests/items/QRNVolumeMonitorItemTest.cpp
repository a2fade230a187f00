#include "app/ApplicationDelegate.h"
#include "instruments/QRNFileSystemInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNVolumeMonitorItem.h"
#include "menubar/QRNLevelIndicatorView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/mounts/SpaceQuery.h"
#include "support/CDP.h"
#include "support/ScopedLocale.h"
#include "support/QStringPrinter.h"
#include "support/ScopedStatusBar.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr quint64 GiB = 1024ULL * 1024 * 1024;
const QByteArray RootMount = "28 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n";
const QByteArray PhotosMount = "60 28 8:17 / /media/photos rw - ext4 /dev/sdb1 rw\n";
const QByteArray ArchiveMount = "61 28 8:33 / /media/archive rw - xfs /dev/sdc1 rw\n";

// Volumes with figures the test sets, on a mount table the test rewrites.
class VolumeMonitorItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0);
        root.writeFile("proc/self/mountinfo", RootMount + PhotosMount + ArchiveMount);
        mounts = std::make_unique<MountMonitor>(Sysroot(root.root()));
        space["/media/photos"] = {100 * GiB, 50 * GiB};
        space["/media/archive"] = {400 * GiB, 100 * GiB};
    }
    void TearDown() override { UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode()); }

    std::unique_ptr<QRNVolumeMonitorItem> item(const QStringList& paths,
        const QStringList& codes = {"QRNTextMenuBarCell:2", "QRNNumericMenuBarCell:T", "QRNTextMenuBarCell:N"})
    {
        auto item = std::make_unique<QRNVolumeMonitorItem>(*mounts);
        item->setInstrumentPreparation([this](QRNFileSystemInstrument& instrument) {
            instrument.setSpaceReader([this](const QString& path) { return std::optional<VolumeSpace>(space.at(path)); });
        });
        if (!item->initWithCellConfiguration(codes))
            return nullptr;
        item->handleChangeOfUserDefault(SettingsKey::parse("FileSystemTopic-MonitoredPaths"), QVariantList(paths.begin(), paths.end()));
        item->updateInterface();
        return item;
    }

    void mountTable(const QByteArray& text)
    {
        root.writeFile("proc/self/mountinfo", text);
        mounts->refresh();
    }

    template <typename Cell>
    static Cell& cell(QRNVolumeMonitorItem& item, size_t index)
    {
        return dynamic_cast<Cell&>(*item.menuBarImage()->menuBarCells().at(index));
    }

    static bool isStruckThrough(const QRNTextPairView& view, bool left)
    {
        const auto& attributed = (left ? view.leftTextCell() : view.rightTextCell()).attributedStringValue();
        return attributed && attributed->strikethroughStyle == AttributedString::UnderlineStyle::Single;
    }

    ScopedStatusBar bar;
    ScopedLocale locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    ApplicationDelegate controller;
    FixtureSysroot root;
    std::unique_ptr<MountMonitor> mounts;
    std::map<QString, VolumeSpace> space;
};

TEST_F(VolumeMonitorItemTest, BarSumsAllVolumesAndTheMenuShowsEachWithItsLevel)
{
    auto volumes = item({"/media/photos", "/media/archive"});
    ASSERT_TRUE(volumes);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*volumes, 0).stringValue(), "\tU:\t  350\tGB");
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*volumes, 0).secondaryStringValue(), "\tF:\t  150\tGB");
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*volumes, 1).doubleValue(), 0.7);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*volumes, 2).stringValue(), "VOL");

    const QString menu = openedMenu(*volumes);
    EXPECT_TRUE(menu.startsWith("Disk Volumes\t\nphotos\t\nUsed:\t50 GB\nFree:\t50 GB\nLevel: 50 %\n-----\n"
                                "archive\t\nUsed:\t300 GB\nFree:\t100 GB\nLevel: 25 %\n-----\n"))
        << qPrintable(menu);
    const auto& views = volumes->menuViewsPerVolume();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_DOUBLE_EQ(views[1].level->doubleValue(), 0.25);
    EXPECT_EQ(views[1].level->band(), QRNLevelIndicatorView::Band::Normal);

    // Linux reports no free space after purging: in those modes nothing is free.
    volumes->handleChangeOfUserDefault(SettingsKey::parse("FileSystemTopic-FreeDefinitionMode"), 1);
    EXPECT_EQ(volumes->freeDefinitionMode(), 1);
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*volumes, 1).doubleValue(), 1.0);
    EXPECT_TRUE(openedMenu(*volumes).contains("photos\t\nUsed:\t100 GB\nFree:\t0  B\nLevel: 0 % (critical)\n"));

    // No volumes at all: zero sizes and an empty fraction.
    auto none = item({});
    ASSERT_TRUE(none);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*none, 0).stringValue(), "\tU:\t    0\t B");
    EXPECT_DOUBLE_EQ(cell<QRNNumericMenuBarCell>(*none, 1).doubleValue(), 0.0);
}

TEST_F(VolumeMonitorItemTest, LevelBarsWarnBelowTwentyAndAlarmBelowTenPercentFree)
{
    space["/media/photos"] = {100 * GiB, 15 * GiB};
    space["/media/archive"] = {100 * GiB, 5 * GiB};
    auto volumes = item({"/media/photos", "/media/archive"});
    ASSERT_TRUE(volumes);
    openedMenu(*volumes);
    const auto& views = volumes->menuViewsPerVolume();
    EXPECT_EQ(views[0].level->band(), QRNLevelIndicatorView::Band::Warning);
    EXPECT_EQ(views[0].level->fillColor(), MenuBarColor(MenuBarColor::System::Yellow));
    EXPECT_EQ(views[1].level->band(), QRNLevelIndicatorView::Band::Critical);
    EXPECT_EQ(views[1].level->fillColor(), MenuBarColor(MenuBarColor::System::Red));
}

TEST_F(VolumeMonitorItemTest, UnmountedVolumeStaysListedStruckThroughAndComesBackByItself)
{
    auto volumes = item({"/media/photos", "/media/archive"});
    ASSERT_TRUE(volumes);
    mountTable(RootMount + ArchiveMount);
    QString menu = openedMenu(*volumes);
    EXPECT_TRUE(menu.contains("photos -offline-\t\nUsed:\t0  B\nFree:\t0  B\nLevel: 0 % (critical)\n")) << qPrintable(menu);
    const auto& views = volumes->menuViewsPerVolume();
    EXPECT_TRUE(isStruckThrough(*views[0].name, true));
    EXPECT_TRUE(isStruckThrough(*views[0].free, false));
    EXPECT_FALSE(isStruckThrough(*views[1].name, true));
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*volumes, 0).secondaryStringValue(), "\tF:\t  100\tGB");

    // Mounted again with other figures: sampled at once, not a minute later.
    space["/media/photos"] = {100 * GiB, 80 * GiB};
    mountTable(RootMount + ArchiveMount + PhotosMount);
    menu = openedMenu(*volumes);
    EXPECT_TRUE(menu.contains("photos\t\nUsed:\t20 GB\nFree:\t80 GB\nLevel: 80 %\n")) << qPrintable(menu);
    EXPECT_FALSE(isStruckThrough(*views[0].name, true));
}

TEST_F(VolumeMonitorItemTest, APathChosenTwiceFollowsItsVolumeInBothPlacesAndLeavesOnePlaceAtATime)
{
    auto volumes = item({"/media/photos", "/media/archive", "/media/photos"});
    ASSERT_TRUE(volumes);
    EXPECT_EQ(cell<QRNTextMenuBarCell>(*volumes, 0).secondaryStringValue(), "\tF:\t  200\tGB");
    mountTable(RootMount + ArchiveMount);
    EXPECT_TRUE(volumes->fileSystemInstrument(0).isOffline());
    EXPECT_TRUE(volumes->fileSystemInstrument(2).isOffline());
    mountTable(RootMount + ArchiveMount + PhotosMount);
    EXPECT_FALSE(volumes->fileSystemInstrument(0).isOffline());
    EXPECT_FALSE(volumes->fileSystemInstrument(2).isOffline());

    volumes->removeMonitoredPath("/media/photos");
    EXPECT_EQ(volumes->monitoredPaths(), (QStringList{"/media/archive", "/media/photos"}));
    ASSERT_EQ(volumes->monitorInstruments().size(), 2u);
    EXPECT_EQ(volumes->fileSystemInstrument(0).fileSystemPath(), "/media/archive");
    EXPECT_EQ(volumes->fileSystemInstrument(1).fileSystemPath(), "/media/photos");
    EXPECT_TRUE(volumes->hasChangedInstruments());
    const QString menu = openedMenu(*volumes);
    EXPECT_EQ(volumes->menuViewsPerVolume().size(), 2u);
    EXPECT_TRUE(menu.startsWith("Disk Volumes\t\narchive\t\n")) << qPrintable(menu);
    volumes->removeMonitoredPath("/media/none");
    EXPECT_EQ(volumes->monitoredPaths().size(), 2);
}

} // namespace
