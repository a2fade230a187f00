#include "items/QRNDiskMonitorItem.h"

#include "instruments/QRNDiskInstrument.h"
#include "instruments/QRNEquipmentMonitor.h"
#include "items/DiskSettingNames.h"
#include "items/OpenedMenu.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/registry/MachineCopy.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"
#include "support/ScopedStatusBar.h"

#include <gtest/gtest.h>

namespace {

const QString Nvme = QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)");
const QString Stick = QStringLiteral("SanDisk Cruzer Blade (4C530001230419117491)");
const char* const NvmeStat = "sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1/stat";
const char* const StickStat = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sda/stat";

std::string statLine(quint64 readSectors, quint64 writtenSectors)
{
    return "5 0 " + std::to_string(readSectors) + " 10 7 0 " + std::to_string(writtenSectors) + " 20 0 30 30 0 0 0 0 0 0\n";
}

class DiskMonitorItemTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0); }
    void TearDown() override { UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode()); }

    std::unique_ptr<QRNDiskMonitorItem> item(const QStringList& disks, bool suppressSerials = false)
    {
        auto item = std::make_unique<QRNDiskMonitorItem>(suppressSerials);
        EXPECT_TRUE(item->initWithCellConfiguration({QStringLiteral("QRNTextMenuBarCell:2"), QStringLiteral("QRNGraphMenuBarCell:2O")}));
        item->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::MonitoredDisks), disks);
        return item;
    }

    // One tick of the item's sampling group.
    static void tick(QRNDiskMonitorItem& item)
    {
        for (const auto& instrument : item.monitorInstruments())
            instrument->collectNewSample();
        item.updateInterface();
    }

    static QRNTextMenuBarCell& textCell(QRNDiskMonitorItem& item)
    {
        return static_cast<QRNTextMenuBarCell&>(*item.menuBarImage()->menuBarCells().front());
    }

    static void announce(const char* notification, const QString& identification)
    {
        NotificationCenter::defaultCenter().post(QLatin1String(notification), {{"Type", "Disk"}, {"ID", identification}});
    }

    ScopedStatusBar bar;
    InstalledMachine laptop{"laptop"};
};

} // namespace

TEST_F(DiskMonitorItemTest, WithoutDisksTheBarShowsZeroAndTheMenuOnlyItsHeader)
{
    auto disks = item({});
    tick(*disks);
    EXPECT_EQ(textCell(*disks).stringValue(), QStringLiteral("\tR:\t%1/s").arg(CDP::displayTextForMemorySize(0, true)));
    EXPECT_EQ(textCell(*disks).secondaryStringValue(), QStringLiteral("\tW:\t%1/s").arg(CDP::displayTextForMemorySize(0, true)));
    const QStringList menu = openedMenu(*disks).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(menu.first().trimmed(), QStringLiteral("Storage Disks"));
    EXPECT_FALSE(menu.join(u'\n').contains(QLatin1String("Throughput")));
}

TEST_F(DiskMonitorItemTest, BarSumsTheDisksAndTheMenuShowsEachDiskWithItsPeak)
{
    laptop.write(NvmeStat, statLine(100, 100).c_str());
    laptop.write(StickStat, statLine(100, 100).c_str());
    auto disks = item({Nvme, Stick});
    ASSERT_EQ(disks->monitoredDiskIdentifications(), (QStringList{Nvme, Stick}));

    // 2 and 6 sectors read, 8 and 0 written: 4 KiB each way in all.
    laptop.write(NvmeStat, statLine(102, 108).c_str());
    laptop.write(StickStat, statLine(106, 100).c_str());
    tick(*disks);
    EXPECT_EQ(textCell(*disks).stringValue(), QStringLiteral("\tR:\t%1/s").arg(CDP::displayTextForMemorySize(4096, true)));
    EXPECT_EQ(textCell(*disks).secondaryStringValue(), QStringLiteral("\tW:\t%1/s").arg(CDP::displayTextForMemorySize(4096, true)));

    // A quieter tick: rates fall, peaks stay.
    laptop.write(NvmeStat, statLine(103, 108).c_str());
    tick(*disks);
    EXPECT_EQ(disks->readBytesMaxima(), (std::vector<quint64>{1024, 3072}));
    EXPECT_EQ(disks->writtenBytesMaxima(), (std::vector<quint64>{4096, 0}));

    const QString menu = openedMenu(*disks);
    const qsizetype nvme = menu.indexOf(Nvme);
    const qsizetype stick = menu.indexOf(Stick);
    ASSERT_GE(nvme, 0);
    ASSERT_GT(stick, nvme);
    const QString nvmeBlock = menu.mid(nvme, stick - nvme);
    EXPECT_TRUE(nvmeBlock.contains(QLatin1String("EFI System Partition, root"))) << nvmeBlock.toStdString();
    EXPECT_TRUE(nvmeBlock.contains(QStringLiteral("Read Throughput:\t%1/s").arg(CDP::displayTextForMemorySize(512)))) << nvmeBlock.toStdString();
    EXPECT_TRUE(nvmeBlock.contains(QStringLiteral("Peak value (write):\t%1/s").arg(CDP::displayTextForMemorySize(4096)))) << nvmeBlock.toStdString();
    EXPECT_TRUE(nvmeBlock.contains(QStringLiteral("Written Data:\t%1").arg(CDP::displayTextForMemorySize(108 * 512)))) << nvmeBlock.toStdString();
    // The stick sleeps (runtime suspended) and says so; asking does not wake it.
    EXPECT_TRUE(menu.mid(stick).section(u'\n', 0, 0).contains(QLatin1String("Sleeping"))) << menu.toStdString();
    EXPECT_FALSE(nvmeBlock.section(u'\n', 0, 0).contains(QLatin1String("Sleeping")));
}

TEST_F(DiskMonitorItemTest, DisksGoOfflineAndComeBackAtTheEndWithFreshPeaks)
{
    laptop.write(NvmeStat, statLine(100, 100).c_str());
    auto disks = item({Nvme, Stick, QStringLiteral("Backup Disk (B1)")});
    EXPECT_EQ(disks->monitoredDiskIdentifications(), (QStringList{Nvme, Stick}));
    EXPECT_EQ(disks->offlineDiskIdentifications(), QSet<QString>{QStringLiteral("Backup Disk (B1)")});
    laptop.write(NvmeStat, statLine(140, 100).c_str());
    tick(*disks);
    EXPECT_EQ(disks->readBytesMaxima().front(), 40u * 512);

    announce(EquipmentWasRemovedNotification, Nvme);
    EXPECT_EQ(disks->monitoredDiskIdentifications(), QStringList{Stick});
    EXPECT_EQ(disks->monitorInstruments().size(), 1u);
    EXPECT_TRUE(disks->hasChangedInstruments());
    EXPECT_FALSE(openedMenu(*disks).contains(Nvme));
    EXPECT_TRUE(disks->offlineDiskIdentifications().contains(Nvme));

    // Other kinds of equipment and unknown disks change nothing.
    announce(EquipmentWasAddedNotification, QStringLiteral("Elsewhere (E1)"));
    NotificationCenter::defaultCenter().post(QLatin1String(EquipmentWasAddedNotification), {{"Type", "Net"}, {"ID", Nvme}});
    EXPECT_EQ(disks->monitoredDiskIdentifications(), QStringList{Stick});

    announce(EquipmentWasAddedNotification, Nvme);
    EXPECT_EQ(disks->monitoredDiskIdentifications(), (QStringList{Stick, Nvme}));
    EXPECT_EQ(disks->readBytesMaxima(), (std::vector<quint64>{0, 0}));
    EXPECT_EQ(disks->diskInstrument(1).diskIdentification(), Nvme);
    EXPECT_TRUE(openedMenu(*disks).contains(Nvme));
    // The rebuilt menu's Alt rows are the new ones, not those of the cleared menu.
    auto* menu = qobject_cast<StatusMenu*>(disks->statusItem()->menu());
    ASSERT_TRUE(menu);
    menu->showAlternatesFor(Qt::AltModifier);
    EXPECT_TRUE(MenuText::of(*menu).contains(QLatin1String("Show Diagnostics Window")));
    menu->showAlternatesFor(Qt::NoModifier);

    // A configured disk announced while it cannot be found stays offline.
    announce(EquipmentWasAddedNotification, QStringLiteral("Backup Disk (B1)"));
    EXPECT_TRUE(disks->offlineDiskIdentifications().contains(QStringLiteral("Backup Disk (B1)")));

    // A new list replaces the old one in its order.
    disks->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::MonitoredDisks), QStringList{Nvme});
    EXPECT_EQ(disks->monitoredDiskIdentifications(), QStringList{Nvme});
    EXPECT_TRUE(disks->offlineDiskIdentifications().isEmpty());
}

TEST_F(DiskMonitorItemTest, TitlesHideSerialsOnRequestAndLongVolumeListsAreCut)
{
    auto disks = item({Nvme}, true);
    const QString menu = openedMenu(*disks);
    EXPECT_TRUE(menu.contains(QLatin1String("Samsung SSD 980 PRO 1TB\t\n"))) << menu.toStdString();
    EXPECT_FALSE(menu.contains(QLatin1String("S5GXNX0T123456K")));

    const QString sixty(60, u'v');
    EXPECT_EQ(QRNDiskMonitorItem::shortenedVolumeList(sixty), sixty);
    EXPECT_EQ(QRNDiskMonitorItem::shortenedVolumeList(sixty + u'w'), QString(58, u'v') + u' ' + QChar(0x2026));

    disks->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::ShowOpposedGraphs), true);
    disks->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::ShowLocallyZoomedGraphs), 1);
    EXPECT_TRUE(disks->showsOpposedGraphs());
    EXPECT_TRUE(disks->showsLocallyZoomedGraphs());
}
