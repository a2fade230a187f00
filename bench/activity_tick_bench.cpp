// One tick of the activity item's 0.25-second group with four disks and
// three interfaces — each lamp's instrument sampled from its kept-open
// counter files and the item updated — against the bare reads of the counter files those
// lamps need (each disk's stat file, each interface's received and sent
// packet counts). Reports the heap allocations of the tick and fails when
// reading the counters or the item's own update allocates, or the tick costs
// more than 1.5 bare reads.
// The devices are this machine's first four disks and first three network
// interfaces; run as root on a machine with fewer disks, the bench attaches
// loop devices over small files for the rest (and detaches them at the end).
// All stay idle, so the lamps never change and the tick draws nothing, as
// most ticks do.

#include "SampleBenchmark.h"

#include "instruments/QRNDiskActivityInstrument.h"
#include "instruments/QRNNetActivityInstrument.h"
#include "items/ActivitySettingNames.h"
#include "items/QRNActivityMonitorItem.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "settings/SettingNames.h"
#include "storage/QRNIORegistryEntry.h"
#include "storage/QRNPhysicalDisk.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

const char* const TickName = "activityTick";
const char* const BareReadName = "bareCounterFilesRead";
constexpr size_t Disks = 4;
constexpr size_t Interfaces = 3;

struct Devices {
    QStringList disks;
    QStringList interfaces;
    std::vector<std::string> files;
};

const Devices& devices()
{
    static const Devices found = [] {
        Devices devices;
        const auto drivers = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver"));
        for (const auto& driver : drivers.value_or(QRNIORegistryEntry::EntryList())) {
            const auto media = driver->childServiceEntry();
            const std::optional<QString> name = media ? media->stringValueWithName(QStringLiteral("BSD Name")) : std::nullopt;
            const QString identification = QRNPhysicalDisk::diskIdentificationForBlockStorageDeviceEntry(*driver);
            if (!name || identification.isEmpty() || devices.disks.contains(identification) || devices.disks.size() == Disks)
                continue;
            devices.disks.append(identification);
            devices.files.push_back("/sys/block/" + name->toStdString() + "/stat");
        }
        for (const auto& instrument : QRNNetActivityInstrument::netActivityInstrumentsForAllHardwareInterfaces()) {
            if (devices.interfaces.size() == Interfaces)
                break;
            const std::string name = instrument->deviceIdentification().toStdString();
            devices.interfaces.append(instrument->deviceIdentification());
            devices.files.push_back("/sys/class/net/" + name + "/statistics/rx_packets");
            devices.files.push_back("/sys/class/net/" + name + "/statistics/tx_packets");
        }
        std::printf("disks: %s\ninterfaces: %s\n", qPrintable(devices.disks.join(QStringLiteral(", "))),
            qPrintable(devices.interfaces.join(QStringLiteral(", "))));
        return devices;
    }();
    return found;
}

QVariantList entries(const QStringList& names)
{
    QVariantList list;
    for (const QString& name : names)
        list.append(QVariantMap{{ActivitySettingName::Identification, name}, {ActivitySettingName::TriState, true}});
    return list;
}

// The item over the devices, its lamps set by two ticks; none when the
// machine has too few devices.
std::unique_ptr<QRNActivityMonitorItem> activityItem(benchmark::State& state)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return nullptr;
    }
    if (size_t(devices().disks.size()) < Disks || size_t(devices().interfaces.size()) < Interfaces) {
        state.SkipWithError("fewer than four block devices or three network interfaces");
        return nullptr;
    }
    auto item = std::make_unique<QRNActivityMonitorItem>(false);
    item->initWithCellConfiguration({});
    item->handleChangeOfUserDefault(SettingsKey(TopicName::Activity, ActivitySettingName::MonitoredDisks), entries(devices().disks));
    item->handleChangeOfUserDefault(SettingsKey(TopicName::Activity, ActivitySettingName::MonitoredNetInterfaces), entries(devices().interfaces));
    if (item->monitorInstruments().size() != Disks + Interfaces) {
        state.SkipWithError("not every device made an instrument");
        return nullptr;
    }
    return item;
}

void tick(QRNActivityMonitorItem& item)
{
    for (const auto& instrument : item.monitorInstruments())
        instrument->collectNewSample();
    item.updateInterface();
}

void activityTick(benchmark::State& state)
{
    const std::unique_ptr<QRNActivityMonitorItem> item = activityItem(state);
    if (!item)
        return;
    tick(*item);
    tick(*item);
    const std::uint64_t before = SampleBenchmark::allocationCount.load();
    for (auto _ : state)
        tick(*item);
    state.counters["allocations"] = benchmark::Counter(double(SampleBenchmark::allocationCount.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(activityTick)->Name(TickName)->Unit(benchmark::kMicrosecond);

void bareCounterFilesRead(benchmark::State& state)
{
    std::vector<char> buffer(4096);
    for (auto _ : state) {
        for (const std::string& path : devices().files) {
            if (!SampleBenchmark::readWhole(path.c_str(), buffer)) {
                state.SkipWithError("cannot open a counter file");
                return;
            }
        }
    }
    state.counters["files"] = double(devices().files.size());
}
BENCHMARK(bareCounterFilesRead)->Name(BareReadName)->Unit(benchmark::kMicrosecond);

// The instruments' part of a tick: reading the counters must not allocate.
// (A whole tick allocates only when a lamp changes and the image is drawn
// again: eth0 of a live machine receives now and then.)
void countersRead(benchmark::State& state)
{
    const std::unique_ptr<QRNActivityMonitorItem> item = activityItem(state);
    if (!item)
        return;
    tick(*item);
    SampleBenchmark::measureSteadyState(state, [&] {
        for (const auto& instrument : item->monitorInstruments())
            instrument->collectNewSample();
    });
}
BENCHMARK(countersRead)->Unit(benchmark::kMicrosecond);

// The item's own part of a tick, with no lamp changing: comparing states
// only, which must not allocate.
void itemUpdateWithoutChange(benchmark::State& state)
{
    const std::unique_ptr<QRNActivityMonitorItem> item = activityItem(state);
    if (!item)
        return;
    tick(*item);
    tick(*item);
    SampleBenchmark::measureSteadyState(state, [&] { item->updateInterface(); });
}
BENCHMARK(itemUpdateWithoutChange)->Unit(benchmark::kMicrosecond);

// Loop devices over files in a temporary folder, detached again when it goes.
class LoopDevices {
public:
    void attach(int count)
    {
        for (int i = 0; i < count && m_folder.isValid(); ++i) {
            const QString image = m_folder.filePath(QStringLiteral("disk%1.img").arg(i));
            QFile file(image);
            if (!file.open(QIODevice::WriteOnly) || !file.resize(8 << 20))
                return;
            QProcess losetup;
            losetup.start(QStringLiteral("losetup"), {QStringLiteral("--find"), QStringLiteral("--show"), image});
            if (!losetup.waitForFinished() || losetup.exitCode() != 0)
                return;
            m_devices.append(QString::fromLocal8Bit(losetup.readAllStandardOutput()).trimmed());
        }
    }
    ~LoopDevices()
    {
        for (const QString& device : m_devices)
            QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), device});
    }

private:
    QTemporaryDir m_folder;
    QStringList m_devices;
};

int attachedDiskCount()
{
    int count = 0;
    const auto drivers = QRNIORegistryEntry::serviceObjectsMatchingName(QStringLiteral("IOBlockStorageDriver"));
    for (const auto& driver : drivers.value_or(QRNIORegistryEntry::EntryList()))
        count += !QRNPhysicalDisk::diskIdentificationForBlockStorageDeviceEntry(*driver).isEmpty();
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    Registry::setShared(std::make_unique<LinuxRegistry>(QStringLiteral("/")));
    LoopDevices loops;
    if (attachedDiskCount() < int(Disks) && geteuid() == 0) {
        loops.attach(int(Disks) - attachedDiskCount());
        // The registry lists the block devices it found when it was made.
        Registry::setShared(std::make_unique<LinuxRegistry>(QStringLiteral("/")));
    }
    const int verdict = SampleBenchmark::run(argc, argv, TickName, BareReadName);
    StatusBar::setSystemStatusBar(nullptr);
    return verdict;
}
