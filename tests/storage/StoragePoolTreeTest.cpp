// The storage overview's tree on saved machines: a btrfs on two devices with
// snapshots (with and without the right to list every subvolume), an LVM
// volume group with a snapshot, and a machine with neither.

#include "configuration/StoragePoolOverview.h"
#include "platform/pools/LvmPools.h"
#include "platform/pools/StoragePoolReader.h"
#include "platform/registry/LinuxRegistry.h"
#include "storage/QRNAPFSContainer.h"
#include "storage/QRNAPFSLogicalNode.h"
#include "storage/QRNLogicalBSDDisk.h"
#include "support/QStringPrinter.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

constexpr quint64 SectorBytes = 512;

QString fixture(const char* machine)
{
    return QStringLiteral(VISTREL_FIXTURES "/") + QLatin1String(machine);
}

// The Linux registry over a fixture machine is the process's registry while it lives.
class FixtureMachine {
public:
    explicit FixtureMachine(const char* machine, BtrfsPools::Source source = {})
        : m_root(fixture(machine))
    {
        auto registry = std::make_unique<LinuxRegistry>(m_root);
        registry->setBtrfsSource(std::move(source));
        Registry::setShared(std::move(registry));
    }
    ~FixtureMachine() { Registry::setShared(nullptr); }
    FixtureMachine(const FixtureMachine&) = delete;
    FixtureMachine& operator=(const FixtureMachine&) = delete;

    const QString& root() const { return m_root; }

    // One line per node, indented: type, presented name, role, mount point.
    std::string tree() const
    {
        QString text;
        const std::vector<PoolFileSystem> mounted = StoragePoolReader::mountedFileSystems(Sysroot(m_root));
        for (const auto& container : QRNAPFSContainer::allContainers())
            append(*QRNAPFSLogicalNode::initWithAPFSContainer(*container, mounted), 0, text);
        return text.toStdString();
    }

private:
    static void append(const QRNAPFSLogicalNode& node, int level, QString& text)
    {
        static const char* const types[] = {"Container", "Store", "Group", "Volume", "Snapshot"};
        text += QString(2 * level, u' ') + QLatin1String(types[node.type()]) + QStringLiteral(" '")
            + node.logicalDisk()->presentedName() + u'\'';
        if (!node.roleName().isEmpty())
            text += QStringLiteral(" [") + node.roleName() + u']';
        if (node.activeFileSystem())
            text += QStringLiteral(" @ ") + node.activeFileSystem()->mountPoint;
        text += u'\n';
        for (const auto& child : node.children())
            append(*child, level + 1, text);
    }

    QString m_root;
};

QUuid uuid(int n)
{
    return QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')));
}

// The subvolumes of the fixture btrfs: the top, "@" and "@home", a read-only
// snapshot of each, and a read-only snapshot whose origin was deleted.
std::vector<BtrfsSubvolume> fixtureSubvolumes()
{
    return {{5, {}, {}, {}, false}, {256, QStringLiteral("@"), uuid(256), {}, false},
        {257, QStringLiteral("@home"), uuid(257), {}, false},
        {258, QStringLiteral("snapshots/@home-monday"), uuid(258), uuid(257), true},
        {259, QStringLiteral("snapshots/@-before-upgrade"), uuid(259), uuid(256), true},
        {260, QStringLiteral("snapshots/@old-tmp"), uuid(260), uuid(999), true}};
}

BtrfsPools::Source privileged()
{
    BtrfsPools::Source source;
    source.list = [](const QString& mountPoint) {
        EXPECT_TRUE(mountPoint.endsWith(QLatin1String("/srv/pool"))) << qPrintable(mountPoint);
        return std::optional<BtrfsSubvolumes::Listing>(BtrfsSubvolumes::Listing{fixtureSubvolumes(), false});
    };
    source.mounted = [](const QString&) { return std::optional<BtrfsSubvolume>(); };
    return source;
}

// What a user without CAP_SYS_ADMIN learns: each mount's own subvolume.
BtrfsPools::Source unprivileged()
{
    BtrfsPools::Source source;
    source.list = [](const QString&) { return std::optional<BtrfsSubvolumes::Listing>(BtrfsSubvolumes::Listing{{}, true}); };
    source.mounted = [](const QString& mountPoint) -> std::optional<BtrfsSubvolume> {
        for (const BtrfsSubvolume& subvolume : fixtureSubvolumes()) {
            const bool mountedHere = (mountPoint.endsWith(QLatin1String("/srv/pool")) && subvolume.id == 5)
                || (mountPoint.endsWith(QLatin1String("/home")) && subvolume.id == 257)
                || (mountPoint.endsWith(QLatin1String("/srv/monday")) && subvolume.id == 258);
            if (mountedHere)
                return BtrfsSubvolume{subvolume.id, {}, subvolume.uuid, subvolume.parentUUID, subvolume.readOnly};
        }
        return std::nullopt;
    };
    return source;
}

} // namespace

TEST(StoragePoolTree, BtrfsOnTwoDevicesShowsEveryVolumeUnderEachDeviceWithSnapshotsUnderTheirOrigins)
{
    const FixtureMachine machine("pools-btrfs", privileged());
    const QString volumes = QStringLiteral(
        "    Volume '/' [Top level] @ /srv/pool\n"
        "    Volume '/@' [Subvolume]\n"
        "      Snapshot '/snapshots/@-before-upgrade' [Subvolume (Snapshot)]\n"
        "    Volume '/@home' [Subvolume] @ /home\n"
        "      Snapshot '/snapshots/@home-monday' [Subvolume (Snapshot)]\n"
        "    Volume '/snapshots/@old-tmp' [Snapshot]\n");
    EXPECT_EQ(machine.tree(),
        (QStringLiteral("Container 'data'\n"
                        "  Store 'sda2' [btrfs device]\n")
            + volumes + QStringLiteral("  Store 'Fixture Disk sdb Media' [btrfs device]\n") + volumes)
            .toStdString());

    const auto containers = QRNAPFSContainer::allContainers();
    ASSERT_EQ(containers.size(), 1u);
    const QRNAPFSContainer& pool = *containers.front();
    EXPECT_TRUE(pool.isVolumeListComplete());
    EXPECT_EQ(pool.uuid(), QUuid::fromString(QLatin1String("7b3e9a4c-52d1-4f0e-9c6a-1d2e3f405162")));
    EXPECT_EQ(pool.containerDisk()->size(), (499067599ull + 1953525168ull) * SectorBytes);
    // Snapshots are read-only; the volumes share the pool's space.
    const auto& home = pool.containerDisk()->children().at(2);
    EXPECT_TRUE(home->isWritable());
    EXPECT_FALSE(home->children().front()->isWritable());
    EXPECT_EQ(home->size(), pool.containerDisk()->size());
}

TEST(StoragePoolTree, BtrfsWithoutTheRightToSearchShowsTheMountedSubvolumesAndSaysSo)
{
    const FixtureMachine machine("pools-btrfs", unprivileged());
    EXPECT_EQ(machine.tree(),
        std::string("Container 'data'\n"
                       "  Store 'sda2' [btrfs device]\n"
                       "    Volume '/' [Top level] @ /srv/pool\n"
                       "    Volume '/@home' [Subvolume] @ /home\n"
                       "      Snapshot '/snapshots/@home-monday' [Subvolume (Snapshot)]\n"
                       "  Store 'Fixture Disk sdb Media' [btrfs device]\n"
                       "    Volume '/' [Top level] @ /srv/pool\n"
                       "    Volume '/@home' [Subvolume] @ /home\n"
                       "      Snapshot '/snapshots/@home-monday' [Subvolume (Snapshot)]\n"));

    const StoragePoolOverview overview((Sysroot(machine.root())));
    EXPECT_TRUE(overview.notice().contains(QLatin1String("administrator"))) << qPrintable(overview.notice());
    const QTreeWidgetItem* pool = overview.tree()->topLevelItem(0);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(overview.tree()->topLevelItemCount(), 1);
    const QTreeWidgetItem* home = pool->child(0)->child(1);
    EXPECT_EQ(home->text(StoragePoolOverview::NameColumn).toStdString(), "Volume '/@home'");
    // The fixture's folders do not exist, so nothing is free there.
    EXPECT_TRUE(home->text(StoragePoolOverview::MountColumn).startsWith(QLatin1String("/home ("))) << qPrintable(home->text(StoragePoolOverview::MountColumn));
}

TEST(StoragePoolTree, LvmVolumeGroupShowsItsLogicalVolumesAndTheSnapshotUnderItsOrigin)
{
    const FixtureMachine machine("pools-lvm");
    EXPECT_EQ(machine.tree(),
        std::string("Container 'vg0'\n"
                       "  Store 'sda2' [LVM physical volume]\n"
                       "    Volume 'root' [Logical volume] @ /\n"
                       "    Volume 'home' [Logical volume] @ /home\n"
                       "      Snapshot 'home-2026-12-01' [Logical volume (Snapshot)]\n"));
    const auto containers = QRNAPFSContainer::allContainers();
    ASSERT_EQ(containers.size(), 1u);
    const auto& root = containers.front()->containerDisk()->children().front();
    EXPECT_EQ(root->name(), QStringLiteral("dm-0"));
    EXPECT_EQ(root->size(), 104857600ull * SectorBytes);
    EXPECT_EQ(containers.front()->containerDisk()->size(), 499067599ull * SectorBytes);
}

TEST(StoragePoolTree, MachineWithoutPoolsHasAnEmptyOverview)
{
    const FixtureMachine machine("laptop");
    EXPECT_TRUE(QRNAPFSContainer::allContainers().empty());
    const StoragePoolOverview overview((Sysroot(machine.root())));
    EXPECT_EQ(overview.tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(overview.notice().contains(QLatin1String("no storage pools"))) << qPrintable(overview.notice());
}

TEST(StoragePoolTree, LvmNamesAndIdentifiersAreTakenApartAsLvmWritesThem)
{
    using Names = std::optional<std::pair<QString, QString>>;
    EXPECT_EQ(LvmPools::namesOf(QStringLiteral("vg0-root")), Names({QStringLiteral("vg0"), QStringLiteral("root")}));
    EXPECT_EQ(LvmPools::namesOf(QStringLiteral("my--vg-lv--a--b")), Names({QStringLiteral("my-vg"), QStringLiteral("lv-a-b")}));
    EXPECT_EQ(LvmPools::namesOf(QStringLiteral("luks--backup")), std::nullopt);
    EXPECT_EQ(LvmPools::namesOf(QStringLiteral("-lv")), std::nullopt);

    const QString group = QStringLiteral("Vq3xT0hM7pLk2Ws9Zb4Nc8Rf1Yd6Ge5J");
    const QString volume = QStringLiteral("Ho1Hb2Hc3Hd4He5Hf6Hg7Hh8Hi9Hj0Hk1H").left(32);
    const auto cow = LvmPools::identityOf(QStringLiteral("LVM-") + group + volume + QStringLiteral("-cow"));
    ASSERT_TRUE(cow);
    EXPECT_EQ(cow->groupKey, group);
    EXPECT_EQ(cow->volumeKey, volume);
    EXPECT_EQ(cow->suffix, QStringLiteral("cow"));
    EXPECT_FALSE(LvmPools::identityOf(QStringLiteral("CRYPT-LUKS2-0a1b2c3d4e5f60718293a4b5c6d7e8f9-luks")));
    EXPECT_FALSE(LvmPools::identityOf(QStringLiteral("LVM-") + group)); // cut short
    EXPECT_FALSE(LvmPools::identityOf(QStringLiteral("LVM-") + group + volume + QStringLiteral("x")));
}
