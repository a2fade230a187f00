// The storage overview against a real btrfs made on a loop device while the
// overview and its change monitor run: a subvolume, a read-only snapshot and
// a mount of the subvolume appear in the tree within a second, and an
// unmount shows at once. Needs root, loop devices, btrfs in the kernel and
// btrfs-progs; skipped otherwise.

#include "configuration/StoragePoolOverview.h"
#include "instruments/QRNAPFSConfigurationMonitor.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/registry/LinuxRegistry.h"
#include "support/EventsUntil.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <functional>
#include <iostream>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const QStringList SystemFolders{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/bin")};

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr, bool mustWork = true)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(program, SystemFolders), arguments);
    const bool finished = process.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const bool ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok && mustWork)
        ADD_FAILURE() << qPrintable(program + u' ' + arguments.join(u' ') + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError()));
    return ok;
}

// Why this machine cannot make a loop-backed btrfs; empty when it can.
QString missingPrerequisite()
{
    if (geteuid() != 0)
        return QStringLiteral("needs root to attach loop devices and mount");
    if (!QFile::exists(QStringLiteral("/dev/loop-control")))
        return QStringLiteral("needs loop devices (/dev/loop-control)");
    QFile filesystems(QStringLiteral("/proc/filesystems"));
    if (!filesystems.open(QIODevice::ReadOnly) || !filesystems.readAll().contains("\tbtrfs\n"))
        return QStringLiteral("needs btrfs in the kernel (/proc/filesystems)");
    for (const char* program : {"losetup", "mkfs.btrfs", "btrfs", "mount", "umount"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program), SystemFolders).isEmpty())
            return QStringLiteral("needs %1 (btrfs-progs, util-linux)").arg(QLatin1String(program));
    }
    return {};
}

// Waits at most a second for the overview to show a change and logs how long it took.
bool shownWithinASecond(const char* change, const std::function<bool()>& shown)
{
    QElapsedTimer timer;
    timer.start();
    const bool inTime = eventsUntil(shown, 1000);
    std::cout << "[ overview ] " << change << " shown after " << timer.elapsed() << " ms\n";
    return inTime;
}

// "Name | Role | Mounted" per row, indented by depth.
QStringList rowsOf(const QTreeWidget& tree)
{
    QStringList rows;
    const std::function<void(const QTreeWidgetItem*, int)> add = [&](const QTreeWidgetItem* item, int depth) {
        rows.append(QString(2 * depth, u' ') + item->text(StoragePoolOverview::NameColumn) + QStringLiteral(" | ")
            + item->text(StoragePoolOverview::RoleColumn) + QStringLiteral(" | ") + item->text(StoragePoolOverview::MountColumn));
        for (int i = 0; i < item->childCount(); ++i)
            add(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        add(tree.topLevelItem(i), 0);
    return rows;
}

// The rows of the pool with that label only (the machine may have pools of its own).
QStringList poolRows(const QTreeWidget& tree, const QString& label)
{
    QStringList rows;
    bool inPool = false;
    for (const QString& row : rowsOf(tree)) {
        if (!row.startsWith(u' '))
            inPool = row.contains(u'\'' + label + u'\'');
        if (inPool)
            rows.append(row);
    }
    return rows;
}

class BtrfsLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = missingPrerequisite();
        if (!missing.isEmpty())
            GTEST_SKIP() << "loop-backed btrfs: " << missing.toStdString();
        ASSERT_TRUE(m_directory.isValid());
        const QString image = m_directory.filePath(QStringLiteral("pool.img"));
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(256 * 1024 * 1024));
        file.close();
        if (!run(QStringLiteral("losetup"), {QStringLiteral("--find"), QStringLiteral("--show"), image}, &m_device, false) || m_device.isEmpty())
            GTEST_SKIP() << "loop-backed btrfs: no loop device could be attached";
        ASSERT_TRUE(run(QStringLiteral("mkfs.btrfs"), {QStringLiteral("-q"), QStringLiteral("-L"), Label, m_device}));
        m_top = m_directory.filePath(QStringLiteral("top"));
        m_data = m_directory.filePath(QStringLiteral("data"));
        ASSERT_TRUE(QDir().mkpath(m_top) && QDir().mkpath(m_data));
        Registry::setShared(std::make_unique<LinuxRegistry>(QStringLiteral("/")));
    }

    void TearDown() override
    {
        for (const QString& mountPoint : {m_data, m_top}) {
            if (!mountPoint.isEmpty())
                QProcess::execute(QStandardPaths::findExecutable(QStringLiteral("umount"), SystemFolders), {QStringLiteral("-q"), mountPoint});
        }
        if (!m_device.isEmpty())
            QProcess::execute(QStandardPaths::findExecutable(QStringLiteral("losetup"), SystemFolders), {QStringLiteral("-d"), m_device});
        Registry::setShared(nullptr);
    }

    static inline const QString Label = QStringLiteral("vistrel-pool-test");
    QTemporaryDir m_directory{QDir::tempPath() + QStringLiteral("/vistrel-pool-XXXXXX")};
    QString m_device;
    QString m_top;
    QString m_data;
};

} // namespace

TEST_F(BtrfsLoopTest, OverviewFollowsSubvolumesSnapshotsAndMountsWithinASecond)
{
    QStringList removed;
    const NotificationCenter::Token token = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(APFSVolumeWasRemovedNotification), [&](const QString&, const QVariantMap& info) {
            removed.append(info.value(QStringLiteral("QRNAPFSVolumeBSDDisk")).toString() + u' '
                + info.value(QStringLiteral("QRNAPFSVolumeGroupUUID")).toString());
        });
    const auto stopObserving = qScopeGuard([&] { NotificationCenter::defaultCenter().removeObserver(token); });
    MountMonitor mounts;
    ASSERT_TRUE(mounts.isWatching());
    QRNAPFSConfigurationMonitor monitor(mounts);
    StoragePoolOverview overview((Sysroot(QStringLiteral("/"))));
    const QTreeWidget& tree = *overview.tree();
    const auto rows = [&] { return poolRows(tree, Label); };
    EXPECT_TRUE(rows().isEmpty());

    ASSERT_TRUE(run(QStringLiteral("mount"), {m_device, m_top}));
    const QString topMounted = QStringLiteral("    Volume '/' | Top level | %1 (").arg(m_top);
    EXPECT_TRUE(shownWithinASecond("mount", [&] { return rows().size() == 3 && rows().at(2).startsWith(topMounted); })) << qPrintable(rows().join(u'\n'));
    EXPECT_EQ(rows().value(0).toStdString(), QStringLiteral("Storage Pool '%1' |  | ").arg(Label).toStdString());
    EXPECT_TRUE(rows().value(1).startsWith(QLatin1String("  Physical Disk '")) && rows().value(1).endsWith(QLatin1String("' | btrfs device | ")))
        << qPrintable(rows().value(1));

    ASSERT_TRUE(run(QStringLiteral("btrfs"), {QStringLiteral("subvolume"), QStringLiteral("create"), m_top + QStringLiteral("/data")}));
    EXPECT_TRUE(shownWithinASecond("subvolume", [&] { return rows().size() == 4; })) << qPrintable(rows().join(u'\n'));
    EXPECT_EQ(rows().value(3).toStdString(), QStringLiteral("    Volume '/data' | Subvolume | not mounted").toStdString());

    ASSERT_TRUE(run(QStringLiteral("btrfs"), {QStringLiteral("subvolume"), QStringLiteral("snapshot"), QStringLiteral("-r"),
        m_top + QStringLiteral("/data"), m_top + QStringLiteral("/data-monday")}));
    EXPECT_TRUE(shownWithinASecond("snapshot", [&] { return rows().size() == 5; })) << qPrintable(rows().join(u'\n'));
    EXPECT_EQ(rows().value(4).toStdString(), QStringLiteral("      Snapshot '/data-monday' | Subvolume (Snapshot) | ").toStdString());

    ASSERT_TRUE(run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("subvol=data"), m_device, m_data}));
    EXPECT_TRUE(shownWithinASecond("subvolume mount", [&] { return rows().value(3).contains(m_data); })) << qPrintable(rows().join(u'\n'));
    EXPECT_TRUE(rows().value(3).startsWith(QStringLiteral("    Volume '/data' | Subvolume | %1 (").arg(m_data))) << qPrintable(rows().value(3));

    // The picture for the documentation.
    overview.resize(820, 240);
    EXPECT_TRUE(overview.grab().save(QDir::current().filePath(QStringLiteral("storage-pools.png"))));

    ASSERT_TRUE(run(QStringLiteral("umount"), {m_data}));
    EXPECT_TRUE(shownWithinASecond("unmount", [&] { return rows().value(3).endsWith(QLatin1String("not mounted")); })) << qPrintable(rows().join(u'\n'));
    EXPECT_EQ(rows().size(), 5) << qPrintable(rows().join(u'\n'));

    // Deleting the snapshot takes it out of the tree and announces its departure.
    ASSERT_TRUE(run(QStringLiteral("btrfs"), {QStringLiteral("subvolume"), QStringLiteral("delete"), m_top + QStringLiteral("/data-monday")}));
    EXPECT_TRUE(shownWithinASecond("snapshot deletion", [&] { return rows().size() == 4; })) << qPrintable(rows().join(u'\n'));
    EXPECT_EQ(removed, QStringList{QStringLiteral("subvolid=257 00000000-0000-0000-0000-000000000000")});
}
