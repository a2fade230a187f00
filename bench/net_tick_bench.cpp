// One network tick for eight interfaces, as the item's sampling group runs
// it: the shared interface table refreshed (counters, kinds, addresses) and
// the item updated (sums, cells, image, menu graphs), against the bare cost
// of reading the same sysfs files. Reports the heap allocations per tick.
// Exits non-zero when a tick costs more than 1.5 bare reads.
//
// The interfaces are a sysroot of eight Ethernet devices made at start, each
// with the addresses of the machine's eth0 (or a documentation address). In
// the steady state the application keeps the addresses it read while its
// routing-socket watch runs, so the tick here reads no addresses either;
// bench "addressRead" shows what one reading costs when an address changed.

#include "SampleBenchmark.h"

#include "instruments/QRNNetInterfaceInstrument.h"
#include "items/QRNNetMonitorItem.h"
#include "platform/net/InterfaceAddresses.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>

namespace {

const char* const SampleName = "networkTick";
const char* const BareReadName = "bareInterfaceFilesRead";
constexpr int InterfaceCount = 8;
// The files a steady tick reads per interface: its seven counters. Kind and
// addresses are read when an interface appears or the addresses change.
const char* const CounterFiles[] = {"statistics/rx_packets", "statistics/rx_errors", "statistics/rx_bytes",
    "statistics/tx_packets", "statistics/tx_errors", "statistics/tx_bytes", "statistics/collisions"};
const char* const KindFiles[] = {"type", "uevent"};

QTemporaryDir& sysroot()
{
    static QTemporaryDir directory;
    return directory;
}

QString interfaceName(int index)
{
    return QStringLiteral("eth%1").arg(index);
}

void makeSysroot()
{
    for (int i = 0; i < InterfaceCount; ++i) {
        const QString base = sysroot().filePath(QStringLiteral("sys/class/net/") + interfaceName(i));
        QDir().mkpath(base + QStringLiteral("/statistics"));
        const auto write = [&](const char* file, const QByteArray& text) {
            QFile out(base + u'/' + QLatin1String(file));
            out.open(QIODevice::WriteOnly);
            out.write(text);
        };
        for (const char* file : CounterFiles)
            write(file, QByteArray::number(123456789ULL * (i + 1)) + '\n');
        write(KindFiles[0], "1\n");
        write(KindFiles[1], "INTERFACE=" + interfaceName(i).toLatin1() + "\nIFINDEX=" + QByteArray::number(i + 2) + "\n");
    }
}

void networkTick(benchmark::State& state)
{
    if (!SampleBenchmark::countsAllocations()) {
        state.SkipWithError("the counting allocation functions are not in effect");
        return;
    }
    qint64 seconds = 0;
    // The machine's addresses, given to every interface of the sysroot.
    const InterfaceAddressList own = InterfaceAddresses::systemAddresses().value(QStringLiteral("eth0"),
        InterfaceAddressList {{QStringLiteral("192.0.2.2")}, {}, {}});
    InterfaceAddressTable addresses;
    for (int i = 0; i < InterfaceCount; ++i)
        addresses.insert(interfaceName(i), own);
    QRNNetInterfaceInstrument::setSource({sysroot().path(), [&addresses] { return addresses; }, [&seconds] { return ++seconds; }});
    QRNNetMonitorItem item([] { return QString(); }, QRNNetMonitorItem::Delays());
    if (!item.initWithCellConfiguration(QRNNetMonitorItem::defaultCellConfiguration())) {
        state.SkipWithError("no network item");
        return;
    }
    QStringList names;
    for (int i = 0; i < InterfaceCount; ++i)
        names.append(interfaceName(i));
    item.setMonitoredInterfaces(names);
    if (item.monitoredInterfaceNames().size() != InterfaceCount) {
        state.SkipWithError("the interfaces of the sysroot are not active");
        return;
    }
    const auto tick = [&] {
        QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
        item.updateInterface();
    };
    tick();
    tick();
    const std::uint64_t before = SampleBenchmark::allocationCount.load();
    for (auto _ : state)
        tick();
    state.counters["allocations"] = benchmark::Counter(double(SampleBenchmark::allocationCount.load() - before),
        benchmark::Counter::kAvgIterations);
    state.counters["interfaces"] = InterfaceCount;
}
BENCHMARK(networkTick)->Name(SampleName)->Unit(benchmark::kMicrosecond);

// The table alone, without the item.
void tableRefresh(benchmark::State& state)
{
    qint64 seconds = 0;
    InterfaceAddressTable addresses;
    for (int i = 0; i < InterfaceCount; ++i)
        addresses.insert(interfaceName(i), {{QStringLiteral("192.0.2.2")}, {}, {}});
    QRNNetInterfaceInstrument::setSource({sysroot().path(), [&addresses] { return addresses; }, [&seconds] { return ++seconds; }});
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    const std::uint64_t before = SampleBenchmark::allocationCount.load();
    for (auto _ : state)
        QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    state.counters["allocations"] = benchmark::Counter(double(SampleBenchmark::allocationCount.load() - before),
        benchmark::Counter::kAvgIterations);
}
BENCHMARK(tableRefresh)->Unit(benchmark::kMicrosecond);

void addressRead(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(InterfaceAddresses::systemAddresses());
}
BENCHMARK(addressRead)->Unit(benchmark::kMicrosecond);

void bareInterfaceFilesRead(benchmark::State& state)
{
    std::vector<char> buffer(4096);
    std::vector<std::string> paths;
    const QByteArray folder = QFile::encodeName(sysroot().filePath(QStringLiteral("sys/class/net")));
    for (int i = 0; i < InterfaceCount; ++i) {
        for (const char* file : CounterFiles)
            paths.push_back(QFile::encodeName(sysroot().filePath(QStringLiteral("sys/class/net/") + interfaceName(i) + u'/' + QLatin1String(file))).toStdString());
    }
    for (auto _ : state) {
        // The list of interfaces, then their counters.
        if (DIR* list = ::opendir(folder.constData())) {
            while (const dirent* entry = ::readdir(list))
                benchmark::DoNotOptimize(entry);
            ::closedir(list);
        }
        for (const std::string& path : paths) {
            if (!SampleBenchmark::readWhole(path.c_str(), buffer)) {
                state.SkipWithError("cannot read the sysroot");
                return;
            }
        }
    }
}
BENCHMARK(bareInterfaceFilesRead)->Name(BareReadName)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StatusBar::setSystemStatusBar(std::make_unique<OffscreenStatusBar>());
    makeSysroot();
    return SampleBenchmark::run(argc, argv, SampleName, BareReadName);
}
