#include "platform/linux/FixtureSysroot.h"
#include "platform/linux/Sysroot.h"
#include "platform/mounts/MountInfo.h"
#include "platform/mounts/VolumeChoices.h"
#include "platform/mounts/VolumeNames.h"

#include <gtest/gtest.h>

namespace {

std::vector<MountEntry> desktop()
{
    return MountInfo::read(Sysroot(FixtureSysroot::fixture("mounts-desktop")));
}

int idHolding(const std::vector<MountEntry>& mounts, const QString& path)
{
    const MountEntry* mount = MountInfo::containing(mounts, path);
    return mount ? mount->mountID : -1;
}

TEST(MountInfo, ReadsEveryFieldAndDecodesEscapedPaths)
{
    const std::vector<MountEntry> mounts = desktop();
    ASSERT_EQ(mounts.size(), 16u);
    const MountEntry& stick = mounts[10];
    EXPECT_EQ(stick.mountID, 48);
    EXPECT_EQ(stick.parentID, 26);
    EXPECT_EQ(stick.major, 8u);
    EXPECT_EQ(stick.minor, 17u);
    EXPECT_EQ(stick.mountPoint, "/run/media/anna/USB STICK");
    EXPECT_EQ(stick.fileSystemType, "vfat");
    EXPECT_EQ(stick.source, "/dev/sdb1");
    EXPECT_EQ(stick.superOptions, "rw,uid=1000,gid=1000");
    EXPECT_FALSE(stick.isReadOnly());
    // The same device a second time, read-only at the mount.
    EXPECT_EQ(mounts[11].source, "/dev/sdb1");
    EXPECT_TRUE(mounts[11].isReadOnly());
    // A bind mount of a subfolder, with two optional fields before the separator.
    EXPECT_EQ(mounts[8].root, "/srv");
    EXPECT_EQ(mounts[8].mountPoint, "/srv/data");
    EXPECT_EQ(mounts[8].fileSystemType, "ext4");
    EXPECT_EQ(mounts[15].mountPoint, "/home/anna/Tab\tand\\back");

    // Lines the kernel never writes are skipped, the rest kept.
    const std::vector<MountEntry> rough = MountInfo::parse(
        "28 1 259:2 / / rw - ext4 /dev/vda rw\n"
        "x 1 259:2 / /a rw - ext4 /dev/vda rw\n"
        "29 1 259:2 / /b rw ext4 /dev/vda rw\n"
        "30 1 259 / /c rw - ext4 /dev/vda rw\n"
        "31 1 0:9 / relative rw - tmpfs tmpfs rw\n"
        "32 1 0:9 / /d rw - tmpfs\n"
        "33 1 0:9 / /e\\04 rw - tmpfs none\n");
    ASSERT_EQ(rough.size(), 2u);
    EXPECT_EQ(rough[1].mountPoint, "/e\\04");
    EXPECT_EQ(rough[1].superOptions, "");
}

TEST(MountInfo, FindsTheMountOnTopThatHoldsAPath)
{
    const std::vector<MountEntry> mounts = desktop();
    EXPECT_EQ(idHolding(mounts, "/home/anna/notes"), 45);
    EXPECT_EQ(idHolding(mounts, "/home"), 45);
    EXPECT_EQ(idHolding(mounts, "/srv/data/www"), 46);
    // Of two mounts on one point the later covers the earlier.
    EXPECT_EQ(idHolding(mounts, "/mnt/scratch/file"), 51);
    // A longer name beside a mount point is not inside it.
    EXPECT_EQ(idHolding(mounts, "/mnt/scratchpad"), 28);
    EXPECT_EQ(idHolding(mounts, "/home/../mnt/backup/"), 49);
    EXPECT_EQ(idHolding(mounts, "/run/media/anna/USB STICK/photos"), 48);
    EXPECT_EQ(idHolding(mounts, "/run/user/1000/doc"), 52);
    EXPECT_EQ(idHolding(mounts, "relative/path"), -1);
    EXPECT_EQ(idHolding({}, "/"), -1);

    // In a container the root is an overlay and single files are bound in.
    const std::vector<MountEntry> container = MountInfo::read(Sysroot(FixtureSysroot::fixture("mounts-container")));
    EXPECT_EQ(MountInfo::containing(container, "/usr/bin")->fileSystemType, "overlay");
    EXPECT_EQ(idHolding(container, "/etc/hostname"), 621);
    EXPECT_EQ(idHolding(container, "/etc/hosts"), 612);
    EXPECT_EQ(MountInfo::containing(container, "/work/src")->root, "/home/dev/project");

    // In a chroot the mount holding the new root lies outside it, so no line
    // mounts "/"; a stand-in carries the root folder's device numbers.
    const std::vector<MountEntry> chroot = MountInfo::withRoot(MountInfo::parse(
        "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
        "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"), 254, 1);
    const MountEntry* root = MountInfo::containing(chroot, "/etc/hostname");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->mountPoint, "/");
    EXPECT_EQ(root->major * 256 + root->minor, 254u * 256 + 1);
    EXPECT_TRUE(VolumeChoices::isOffered(*root));
    EXPECT_EQ(idHolding(chroot, "/proc/stat"), 22);
    EXPECT_EQ(MountInfo::withRoot(desktop(), 8, 1).size(), desktop().size());
    EXPECT_TRUE(MountInfo::withRoot({}, 8, 1).empty());
}

TEST(MountInfo, TheFileSystemTableNamesTheMountPointsOfVolumesNotMountedYet)
{
    EXPECT_EQ(MountInfo::fileSystemTableMountPoints(Sysroot(FixtureSysroot::fixture("mounts-desktop"))),
        (QStringList{"/", "/boot/efi", "/media/Old Photos", "/tmp"}));
    EXPECT_TRUE(MountInfo::fileSystemTableMountPoints(Sysroot(FixtureSysroot::fixture("mounts-container"))).isEmpty());
}

TEST(MountInfo, ChangesAreFoundByMountNotByPoint)
{
    const std::vector<MountEntry> before = desktop();
    std::vector<MountEntry> after = before;
    // The stick is pulled; the backup is unmounted and mounted again at once.
    after.erase(after.begin() + 10, after.begin() + 12);
    MountEntry again = before[11];
    again.mountID = 90;
    after.push_back(again);

    EXPECT_EQ(MountInfo::mountPointsAdded(before, after), QStringList{"/mnt/backup"});
    EXPECT_EQ(MountInfo::mountPointsAdded(after, before), (QStringList{"/run/media/anna/USB STICK", "/mnt/backup"}));
    EXPECT_TRUE(MountInfo::mountPointsAdded(before, before).isEmpty());
}

TEST(VolumeNames, LabelFromUdevThenFromLinksThenFromThePath)
{
    const Sysroot root(FixtureSysroot::fixture("mounts-desktop"));
    const std::vector<MountEntry> mounts = MountInfo::read(root);
    const auto nameAt = [&](const QString& path) { return VolumeNames::nameOf(root, *MountInfo::containing(mounts, path)); };
    EXPECT_EQ(nameAt("/home"), "Home Data");
    // The bind mount shows the same volume.
    EXPECT_EQ(nameAt("/srv/data"), "Home Data");
    EXPECT_EQ(nameAt("/run/media/anna/USB STICK"), "USB STICK");
    EXPECT_EQ(nameAt("/mnt/backup"), "USB STICK");
    EXPECT_EQ(nameAt("/boot/efi"), "efi");
    EXPECT_EQ(nameAt("/"), "/");
    EXPECT_EQ(VolumeNames::lastComponent("/media/disk/"), "disk");
}

QStringList offeredPoints(const std::vector<MountEntry>& mounts)
{
    QStringList points;
    for (const MountEntry* mount : VolumeChoices::offered(mounts))
        points.append(mount->mountPoint + (mount->mountID == 51 ? "#top" : ""));
    return points;
}

TEST(VolumeChoices, OffersLocalFileSystemsOnceAndLeavesOutPseudoNetworkAndContainerMounts)
{
    EXPECT_EQ(offeredPoints(desktop()), (QStringList{"/", "/boot/efi", "/home", "/run/media/anna/USB STICK",
                                            "/mnt/scratch#top", "/home/anna/Tab\tand\\back"}));
    EXPECT_EQ(offeredPoints(MountInfo::read(Sysroot(FixtureSysroot::fixture("mounts-container")))), QStringList{"/"});
    MountEntry layer{1, 0, 0, 70, "/", "/var/lib/docker/overlay2/3f/merged", "rw", "overlay", "overlay", "rw"};
    EXPECT_FALSE(VolumeChoices::isOffered(layer));
    MountEntry share{2, 0, 0, 71, "/", "/mnt/share", "rw", "nfs4", "server:/export", "rw"};
    EXPECT_FALSE(VolumeChoices::isOffered(share));
}

} // namespace
