#include "instruments/QRNGPUInstrument.h"
#include "platform/log/LogCapture.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/registry/PciIdNames.h"
#include "platform/linux/FixtureSysroot.h"

#include <dlfcn.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

constexpr int GpuIsLost = 15;

// The stand-in NVIDIA library the tests built, and its controls.
struct StandIn {
    StandIn()
        : handle(dlopen(VISTREL_NVML_STANDIN, RTLD_NOW | RTLD_LOCAL))
    {
        EXPECT_NE(handle, nullptr) << dlerror();
        control<void (*)()>("standin_reset")();
    }
    template<typename Function>
    Function control(const char* name) const
    {
        return reinterpret_cast<Function>(dlsym(handle, name));
    }
    void setCount(unsigned count) const { control<void (*)(unsigned)>("standin_set_count")(count); }
    void setError(unsigned index, int error) const { control<void (*)(unsigned, int)>("standin_set_error")(index, error); }
    void setDevice(unsigned index, unsigned utilization, quint64 used, quint64 total) const
    {
        control<void (*)(unsigned, unsigned, unsigned long long, unsigned long long)>("standin_set_device")(
            index, utilization, used, total);
    }
    void* handle;
};

// A DRM card of the sysroot: its device directory with the files given, the
// card's links to it and to its driver.
void addCard(FixtureSysroot& root, const QString& card, const QString& address, const QString& driver,
    const std::map<QString, QByteArray>& files)
{
    const QString device = QStringLiteral("sys/devices/pci0000:00/") + address;
    for (const auto& [name, text] : files)
        root.writeFile(device + u'/' + name, text);
    root.writeFile(QStringLiteral("sys/bus/pci/drivers/") + driver + QStringLiteral("/bind"), {});
    namespace fs = std::filesystem;
    const fs::path base = root.root().toStdString();
    fs::create_directories(base / "sys/class/drm" / card.toStdString());
    fs::create_directory_symlink(base / device.toStdString(), base / "sys/class/drm" / card.toStdString() / "device");
    fs::create_directory_symlink(base / "sys/bus/pci/drivers" / driver.toStdString(),
        base / device.toStdString() / "driver");
}

const QByteArray PciDatabase = "# a few lines of the database\n"
                               "10de  NVIDIA Corporation\n"
                               "\t73bf  Not an AMD card\n"
                               "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
                               "\t15bf  Phoenix1\n"
                               "\t73bf  Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]\n"
                               "\t\t1002 0e3a  Radeon RX 6900 XT\n"
                               "1022  Advanced Micro Devices, Inc. [AMD]\n";

// A workstation: a desktop AMD card, an AMD APU, an Intel processor, an
// NVIDIA card (through the library) and its own DRM card, which is left to it.
void buildWorkstation(FixtureSysroot& root)
{
    root.writeFile("usr/share/misc/pci.ids", PciDatabase);
    addCard(root, "card0", "0000:03:00.0", "amdgpu",
        {{"vendor", "0x1002\n"}, {"device", "0x73bf\n"}, {"gpu_busy_percent", "42\n"},
            {"mem_info_vram_total", "17163091968\n"}, {"mem_info_vram_used", "1073741824\n"},
            {"mem_info_gtt_total", "16777216000\n"}, {"mem_info_gtt_used", "12345\n"}});
    addCard(root, "card1", "0000:c4:00.0", "amdgpu",
        {{"vendor", "0x1002\n"}, {"device", "0x15bf\n"}, {"gpu_busy_percent", "7\n"},
            {"mem_info_vram_total", "536870912\n"}, {"mem_info_vram_used", "268435456\n"},
            {"mem_info_gtt_total", "16777216000\n"}, {"mem_info_gtt_used", "1073741824\n"}});
    addCard(root, "card2", "0000:00:02.0", "i915", {{"vendor", "0x8086\n"}, {"device", "0x46a6\n"}});
    addCard(root, "card3", "0000:1b:00.0", "nvidia", {{"vendor", "0x10de\n"}, {"device", "0x2330\n"}});
    // Connectors and render nodes are not processors.
    root.writeFile("sys/class/drm/card0-DP-1/status", "connected\n");
    root.writeFile("sys/class/drm/renderD128/dev", "226:128\n");
}

class GpuRegistryTest : public ::testing::Test {
protected:
    ~GpuRegistryTest() override { Registry::setShared(nullptr); }
    LinuxRegistry& install(const QString& nvml = QStringLiteral(VISTREL_NVML_STANDIN))
    {
        auto registry = std::make_unique<LinuxRegistry>(m_root.root(), nvml);
        LinuxRegistry& installed = *registry;
        Registry::setShared(std::move(registry));
        return installed;
    }
    QVariantMap acceleratorNamed(const Registry& registry, const QString& name) const
    {
        for (const Registry::EntryID id : registry.servicesOfClass("IOAccelerator")) {
            if (registry.name(id) == name)
                return registry.properties(id).value_or(QVariantMap());
        }
        return {};
    }

    StandIn m_nvml;
    FixtureSysroot m_root;
};

} // namespace

TEST_F(GpuRegistryTest, EveryKindOfProcessorIsPublishedWithItsDriversFigures)
{
    buildWorkstation(m_root);
    const LinuxRegistry& registry = install();
    const std::vector<Registry::EntryID> accelerators = registry.servicesOfClass("IOAccelerator");
    QStringList names;
    for (const Registry::EntryID id : accelerators)
        names.append(registry.name(id));
    EXPECT_EQ(names, (QStringList {"nvidia", "amdgpu", "amdgpu", "i915"}));

    const Registry::EntryID nvidia = accelerators[0];
    const Registry::EntryID pci = registry.parent(nvidia, Registry::ServicePlane);
    EXPECT_EQ(registry.className(pci), "IOPCIDevice");
    EXPECT_EQ(registry.name(pci), "00000000:1B:00.0");
    EXPECT_EQ(registry.properties(pci)->value("vendor-id"), QByteArray("\xde\x10\x00\x00", 4));
    EXPECT_EQ(registry.properties(pci)->value("device-id"), QByteArray("\x30\x23\x00\x00", 4));
    const QVariantMap card = *registry.properties(nvidia);
    EXPECT_EQ(card.value("model"), "NVIDIA H100 80GB HBM3");
    EXPECT_EQ(card.value("VRAM,totalMB").toULongLong(), 81559u);
    EXPECT_EQ(card.value("PerformanceStatistics").toMap(),
        (QVariantMap {{"Device Utilization %", 37ull}, {"inUseVidMemoryBytes", 2147483648ull}}));

    const QVariantMap amd = *registry.properties(accelerators[1]);
    EXPECT_EQ(amd.value("model"), "AMD Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]");
    EXPECT_EQ(amd.value("ATY,memsize").toULongLong(), 17163091968u);
    EXPECT_EQ(amd.value("PerformanceStatistics").toMap(),
        (QVariantMap {{"Device Utilization %", 42ull}, {"vramUsedBytes", 1073741824ull}}));
    // The APU's small carve-out and its GTT together are its share of main memory.
    const QVariantMap apu = *registry.properties(accelerators[2]);
    EXPECT_EQ(apu.value("model"), "AMD Phoenix1");
    EXPECT_FALSE(apu.contains("ATY,memsize"));
    EXPECT_EQ(apu.value("PerformanceStatistics").toMap(),
        (QVariantMap {{"Device Utilization %", 7ull}, {"Alloc system memory", 536870912ull + 16777216000ull},
            {"In use system memory", 268435456ull + 1073741824ull}}));
    const QVariantMap intel = *registry.properties(accelerators[3]);
    EXPECT_EQ(intel.value("model"), "Intel graphics [46a6]");
    EXPECT_EQ(intel.value("PerformanceStatistics").toMap(), QVariantMap());

    // The instruments: Intel reports no load and gets none.
    const QRNGPUInstrument::List gpus = QRNGPUInstrument::instrumentsForAllGPUs();
    ASSERT_EQ(gpus.size(), 3u);
    EXPECT_EQ(gpus[0]->vendorIdentifier(), 0x10deu);
    EXPECT_EQ(gpus[0]->totalMemory(), 81559ull << 20);
    EXPECT_DOUBLE_EQ(gpus[1]->utilization(), 0.42);
    EXPECT_FALSE(gpus[1]->isSharedMemory());
    EXPECT_TRUE(gpus[2]->isSharedMemory());
    EXPECT_EQ(gpus[2]->deviceIdentifier(), 0x15bfu);

    // Figures are read on every sample.
    m_nvml.setDevice(0, 88, 3ull << 30, 85520809984ull);
    m_root.writeFile("sys/devices/pci0000:00/0000:03:00.0/gpu_busy_percent", "99\n");
    for (const auto& gpu : gpus)
        gpu->collectNewSample();
    EXPECT_DOUBLE_EQ(gpus[0]->utilization(), 0.88);
    EXPECT_EQ(gpus[0]->usedMemory(), 3ull << 30);
    EXPECT_DOUBLE_EQ(gpus[1]->utilization(), 0.99);
}

TEST_F(GpuRegistryTest, ALostNVIDIADeviceGoesOfflineAndTheOthersGoOn)
{
    m_nvml.setCount(3);
    LogCapture log;
    const LinuxRegistry& registry = install();
    QRNGPUInstrument::List gpus = QRNGPUInstrument::instrumentsForAllGPUs();
    // The second device uses no memory, so of three only two are listed.
    ASSERT_EQ(gpus.size(), 2u);
    EXPECT_EQ(gpus[0]->modelName(), "NVIDIA H100 80GB HBM3");
    EXPECT_EQ(gpus[1]->modelName(), "NVIDIA L4");

    m_nvml.setError(0, GpuIsLost);
    for (const auto& gpu : gpus)
        gpu->collectNewSample();
    EXPECT_EQ(gpus[0]->utilization(), 0.0);
    EXPECT_EQ(gpus[0]->totalMemory(), 0u);
    EXPECT_EQ(gpus[1]->totalMemory(), 24152899584u);
    EXPECT_EQ(log.messages(LogLevel::Default),
        QStringList {"NvmlLibrary: NVIDIA device 0 was lost; it is left out from now on."});

    // Lost stays lost, even when the library answers again; the entry is gone.
    m_nvml.setError(0, 0);
    gpus[0]->collectNewSample();
    EXPECT_EQ(gpus[0]->totalMemory(), 0u);
    EXPECT_EQ(registry.properties(gpus[0]->gpuDescriptor().value("GPUEntry").toUInt()), std::nullopt);
    gpus = QRNGPUInstrument::instrumentsForAllGPUs();
    ASSERT_EQ(gpus.size(), 1u);
    EXPECT_EQ(gpus[0]->modelName(), "NVIDIA L4");
    EXPECT_EQ(m_nvml.control<int (*)()>("standin_init_calls")(), 1);
}

TEST_F(GpuRegistryTest, WithoutTheLibraryThereAreNoNVIDIADevicesAndOneInfoLine)
{
    LogCapture log;
    const LinuxRegistry& missing = install(m_root.root() + "/libnvidia-ml.so.1");
    EXPECT_TRUE(missing.servicesOfClass("IOAccelerator").empty());
    EXPECT_TRUE(missing.servicesOfClass("IOAccelerator").empty());
    EXPECT_EQ(log.messages(LogLevel::Info).size(), 1u);
    EXPECT_TRUE(log.messages(LogLevel::Info).value(0).startsWith("NvmlLibrary: no NVIDIA devices: ")) << qPrintable(log.messages(LogLevel::Info).value(0));
    EXPECT_TRUE(log.messages(LogLevel::Error).isEmpty());

    m_nvml.control<void (*)(int)>("standin_set_init_error")(9);
    const LinuxRegistry& failing = install();
    EXPECT_TRUE(failing.servicesOfClass("IOAccelerator").empty());
    EXPECT_EQ(QRNGPUInstrument::instrumentsForAllGPUs().size(), 0u);
}

TEST(PciIdNames, DevicesAreFoundOnlyUnderTheirOwnVendor)
{
    EXPECT_EQ(PciIdNames::deviceName(PciDatabase, 0x1002, 0x73bf), "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]");
    EXPECT_EQ(PciIdNames::deviceName(PciDatabase, 0x10de, 0x73bf), "Not an AMD card");
    // A subsystem line is not a device; a device of a later vendor is not this one's.
    EXPECT_EQ(PciIdNames::deviceName(PciDatabase, 0x1002, 0x0e3a), std::nullopt);
    EXPECT_EQ(PciIdNames::deviceName(PciDatabase, 0x1022, 0x15bf), std::nullopt);
    EXPECT_EQ(PciIdNames::deviceName(PciDatabase, 0x8086, 0x46a6), std::nullopt);
    EXPECT_EQ(PciIdNames::deviceName("1002  AMD\n\t73b", 0x1002, 0x73bf), std::nullopt);
}
