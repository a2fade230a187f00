#include "VistrelProcess.h"

#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QVariantMap gpuRowsOn()
{
    return VistrelProcess::settled({
        {QStringLiteral("ProcessorTopic-IsActive"), true},
        {QStringLiteral("ProcessorTopic-ShowGPULoads"), true},
        {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList {QStringLiteral("QRNGraphMenuBarCell:1N")}},
        {QStringLiteral("MemoryTopic-MenuBarConfiguration"), QVariantList {QStringLiteral("QRNGraphMenuBarCell:1N")}},
        {QStringLiteral("MemoryTopic-IsActive"), true},
        {QStringLiteral("MemoryTopic-ShowGPUMemory"), true},
    });
}

// The snapshot's menu text of the item, empty when there is none.
QString menuOf(const QString& snapshot, const char* item)
{
    const QStringList menus = QDir(snapshot).entryList({QStringLiteral("*%1*.menu.txt").arg(QLatin1String(item))});
    if (menus.size() != 1)
        return {};
    QFile menu(QDir(snapshot).filePath(menus.first()));
    return menu.open(QIODevice::ReadOnly) ? QString::fromUtf8(menu.readAll()) : QString();
}

// The settings are this machine's own, as the pages store them.
QString snapshotWith(QProcessEnvironment environment, QTemporaryDir& folder, QString* log)
{
    const QString hostFile = QFileInfo(UserDefaults::standardUserDefaults().filePath(UserDefaults::Domain::Host)).fileName();
    const QString config = folder.filePath(QStringLiteral("config"));
    QDir().mkpath(config + QStringLiteral("/vistrel/ByHost"));
    PropertyList::writeFile(config + QStringLiteral("/vistrel/ByHost/") + hostFile, gpuRowsOn());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    const QString snapshot = folder.filePath(QStringLiteral("snapshot"));
    VistrelProcess vistrel({QStringLiteral("--snapshot"), snapshot, QStringLiteral("--ticks"), QStringLiteral("2")}, {},
        environment);
    EXPECT_TRUE(vistrel.process().waitForFinished(30000));
    EXPECT_EQ(vistrel.process().exitCode(), 0) << qPrintable(vistrel.errorOutput());
    *log = vistrel.errorOutput();
    return snapshot;
}

} // namespace

// NVIDIA's library found the way the real one is, through the loader's path:
// the stand-in's processors show in both items' menus.
TEST(GpuRows, SnapshotShowsTheLibrarysProcessors)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(VISTREL_NVML_STANDIN_DIR));
    QTemporaryDir folder;
    QString log;
    const QString snapshot = snapshotWith(environment, folder, &log);
    const QString processor = menuOf(snapshot, "QRNCPUMonitorItem");
    EXPECT_TRUE(processor.contains(QStringLiteral("GPU utilization\t\nNVIDIA H100 80GB HBM3\t 37%\n"))) << qPrintable(processor);
    const QString memory = menuOf(snapshot, "QRNMemoryMonitorItem");
    EXPECT_TRUE(memory.contains(QStringLiteral("GPU memory\t\nNVIDIA H100 80GB HBM3\t2 GB (2.5%)\n"))) << qPrintable(memory);
    EXPECT_FALSE(log.contains(QStringLiteral("NvmlLibrary: no NVIDIA devices"))) << qPrintable(log);
}

// A machine without graphics processors: the rows switched on show nothing,
// and nothing worse than one info line is said about it.
TEST(GpuRows, SnapshotWithoutProcessorsShowsNoRows)
{
    if (!QDir(QStringLiteral("/sys/class/drm")).entryList({QStringLiteral("card*")}).isEmpty())
        GTEST_SKIP() << "this machine has graphics processors";
    QTemporaryDir folder;
    QString log;
    const QString snapshot = snapshotWith({}, folder, &log);
    const QString processor = menuOf(snapshot, "QRNCPUMonitorItem");
    const QString memory = menuOf(snapshot, "QRNMemoryMonitorItem");
    ASSERT_FALSE(processor.isEmpty());
    ASSERT_FALSE(memory.isEmpty());
    EXPECT_FALSE(processor.contains(QStringLiteral("GPU")));
    EXPECT_FALSE(memory.contains(QStringLiteral("GPU")));
    EXPECT_EQ(log.count(QStringLiteral("NvmlLibrary: no NVIDIA devices")), 1) << qPrintable(log);
}
