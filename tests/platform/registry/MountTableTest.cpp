#include "platform/registry/MountTable.h"

#include <gtest/gtest.h>

namespace {

const char* MountInfo
    = "26 1 0:35 /@ / rw,noatime shared:1 - btrfs /dev/mapper/vg0-root rw,subvol=/@\n"
      "27 26 8:1 / /boot rw,relatime shared:2 - ext4 /dev/sda1 rw\n"
      "28 26 0:22 / /proc rw,nosuid shared:12 - proc proc rw\n"
      "29 26 259:3 / /data rw,relatime - xfs /dev/nvme0n1p3 rw\n"
      "truncated line\n";

const char* Swaps = "Filename\tType\tSize\tUsed\tPriority\n"
                    "/dev/sda3                               partition\t1048572\t0\t-2\n"
                    "/swapfile                               file\t2097148\t0\t-3\n";

} // namespace

TEST(MountTable, DevicesAreUsedByNumberOrBySourceName)
{
    const MountTable table = MountTable::parse(MountInfo, Swaps);
    EXPECT_TRUE(table.uses(8, 1, {"sda1"}));
    // Found by number even when the source is spelled differently.
    EXPECT_TRUE(table.uses(259, 3, {"other"}));
    // btrfs reports an anonymous number; the mapper name still matches.
    EXPECT_TRUE(table.uses(254, 0, {"dm-0", "vg0-root"}));
    EXPECT_FALSE(table.uses(254, 0, {"dm-0"}));
    EXPECT_TRUE(table.uses(8, 3, {"sda3"}));
    EXPECT_FALSE(table.uses(8, 0, {"sda"}));
    // Pseudo file systems and swap files name no device.
    EXPECT_FALSE(table.uses(8, 2, {"proc", "swapfile"}));
}

TEST(MountTable, EmptyTablesUseNothing)
{
    const MountTable table = MountTable::parse("", "");
    EXPECT_FALSE(table.uses(8, 1, {"sda1"}));
    EXPECT_FALSE(table.uses(0, 0, {""}));
}
