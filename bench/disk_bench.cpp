// One sampling tick of the disk instruments for ten disks — each disk's
// "Statistics" read afresh through the registry and its four counters taken
// out — against the bare reads of the same ten stat files; and the heap
// allocations of the disk item's update in steady state: none of its own
// (itemUpdateWithoutRedraw), and those of the image redraw all items share
// (counted by itemUpdate).
// The disks are this machine's first ten block devices (a VM has one disk
// plus zram and loop devices: their stat files cost what a disk's does).
// Exits non-zero when the tick costs more than 1.5 bare reads or the item's
// own update allocates.

#include "SampleBenchmark.h"

#include "instruments/QRNDiskInstrument.h"
#include "items/DiskSettingNames.h"
#include "items/QRNDiskMonitorItem.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "settings/SettingNames.h"
#include "storage/QRNIORegistryEntry.h"

#include <QApplication>
#include <QVariantMap>

namespace {

const char* const TickName = "diskTick";
const char* const BareReadName = "bareStatFilesRead";
constexpr size_t Disks = 10;

QRNIORegistryEntry::EntryList firstDrivers()
{
    QRNIORegistryEntry::EntryList drivers
        = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver")).value_or(QRNIORegistryEntry::EntryList());
    if (drivers.size() > Disks)
        drivers.resize(Disks);
    return drivers;
}

void diskTick(benchmark::State& state)
{
    const QRNIORegistryEntry::EntryList drivers = firstDrivers();
    if (drivers.size() < Disks) {
        state.SkipWithError("fewer than ten block devices in /sys/block");
        return;
    }
    quint64 total = 0;
    for (auto _ : state) {
        // What QRNDiskInstrument::collectNewSample does for each disk.
        for (const auto& driver : drivers) {
            const std::optional<QVariantMap> statistics = driver->dictionaryValueWithName(QStringLiteral("Statistics"));
            if (statistics)
                total += statistics->value(QLatin1String("Bytes (Read)")).toULongLong() + statistics->value(QLatin1String("Bytes (Write)")).toULongLong()
                    + statistics->value(QLatin1String("Operations (Read)")).toULongLong() + statistics->value(QLatin1String("Operations (Write)")).toULongLong();
        }
    }
    benchmark::DoNotOptimize(total);
    state.counters["disks"] = double(drivers.size());
}
BENCHMARK(diskTick)->Name(TickName)->Unit(benchmark::kMicrosecond);

void bareStatFilesRead(benchmark::State& state)
{
    std::vector<std::string> paths;
    for (const auto& driver : firstDrivers()) {
        const auto media = driver->childServiceEntry();
        if (const std::optional<QString> name = media ? media->stringValueWithName(QStringLiteral("BSD Name")) : std::nullopt)
            paths.push_back("/sys/block/" + name->toStdString() + "/stat");
    }
    std::vector<char> buffer(4096);
    for (auto _ : state) {
        for (const std::string& path : paths) {
            if (!SampleBenchmark::readWhole(path.c_str(), buffer)) {
                state.SkipWithError("cannot open a stat file");
                return;
            }
        }
    }
}
BENCHMARK(bareStatFilesRead)->Name(BareReadName)->Unit(benchmark::kMicrosecond);

// A disk item with text and graph cells over every attached disk, its
// texts and graphs filled by two updates; none without a disk.
std::unique_ptr<QRNDiskMonitorItem> itemOverAttachedDisks()
{
    auto item = std::make_unique<QRNDiskMonitorItem>(false);
    item->initWithCellConfiguration({QStringLiteral("QRNTextMenuBarCell:2"), QStringLiteral("QRNGraphMenuBarCell:2O")});
    QStringList disks;
    for (const auto& instrument : QRNDiskInstrument::diskInstrumentsForAllDevices())
        disks.append(instrument->diskIdentification());
    item->handleChangeOfUserDefault(SettingsKey(TopicName::Disk, DiskSettingName::MonitoredDisks), disks);
    if (item->monitorInstruments().empty())
        return nullptr;
    item->updateInterface();
    item->updateInterface();
    return item;
}

// The item over the attached disks, or none with the benchmark skipped and told why.
std::unique_ptr<QRNDiskMonitorItem> itemToMeasure(benchmark::State& state)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return nullptr;
    }
    std::unique_ptr<QRNDiskMonitorItem> disks = itemOverAttachedDisks();
    if (!disks)
        state.SkipWithError("no physical disk");
    return disks;
}

// The item's update with its menu closed: the sums, the peaks, the menu
// graphs, the bar's cells (texts are formatted only when the amounts change)
// and the redraw of its image.
void itemUpdate(benchmark::State& state)
{
    const std::unique_ptr<QRNDiskMonitorItem> disks = itemToMeasure(state);
    if (!disks)
        return;
    QRNDiskMonitorItem& item = *disks;
    const std::uint64_t before = SampleBenchmark::allocationCount.load();
    for (auto _ : state)
        item.updateInterfaceMenuBar(true, false);
    state.counters["allocations"] = benchmark::Counter(double(SampleBenchmark::allocationCount.load() - before), benchmark::Counter::kAvgIterations);
    state.counters["disks"] = double(item.monitorInstruments().size());
}
BENCHMARK(itemUpdate)->Unit(benchmark::kMicrosecond);

// The same update without the image's redraw, which every item shares: what
// the disk item itself does per tick must not allocate.
void itemUpdateWithoutRedraw(benchmark::State& state)
{
    const std::unique_ptr<QRNDiskMonitorItem> disks = itemToMeasure(state);
    if (!disks)
        return;
    QRNDiskMonitorItem& item = *disks;
    item.menuBarImage()->setAssociatedView(nullptr);
    SampleBenchmark::measureSteadyState(state, [&] { item.updateInterfaceMenuBar(true, false); });
}
BENCHMARK(itemUpdateWithoutRedraw)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    Registry::setShared(std::make_unique<LinuxRegistry>(QStringLiteral("/")));
    const int verdict = SampleBenchmark::run(argc, argv, TickName, BareReadName);
    StatusBar::setSystemStatusBar(nullptr);
    return verdict;
}
