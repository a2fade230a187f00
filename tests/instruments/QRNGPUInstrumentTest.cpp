#include "instruments/QRNGPUInstrument.h"

#include "platform/registry/FixtureRegistry.h"
#include "storage/QRNIORegistryEntry.h"

#include <gtest/gtest.h>

namespace {

using Properties = QVariantMap;

QByteArray littleEndian(quint32 value, int size = 4)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size && i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

// A PCI device with its accelerator below it, labelled "<label>" and "<label>-pci".
QVariantMap gpu(const QString& label, const Properties& pci, const Properties& accelerator)
{
    return {{"name", "display"}, {"class", "IOPCIDevice"}, {"label", label + "-pci"}, {"properties", pci},
        {"children", QVariantList {QVariantMap {{"name", "accelerator"}, {"class", "IOAccelerator"}, {"label", label},
                         {"properties", accelerator}}}}};
}

Properties pciIds(quint32 vendor, quint32 device)
{
    return {{"vendor-id", littleEndian(vendor)}, {"device-id", littleEndian(device)}};
}

// Each test's registry is its own machine.
class GPUInstrumentTest : public ::testing::Test {
protected:
    ~GPUInstrumentTest() override { Registry::setShared(nullptr); }

    void install(const QVariantList& gpus)
    {
        auto registry = FixtureRegistry::fromPropertyList(
            QVariantMap {{"name", "Root"}, {"class", "IORegistryEntry"}, {"children", gpus}});
        ASSERT_NE(registry, nullptr);
        m_registry = registry.get();
        Registry::setShared(std::move(registry));
    }
    std::shared_ptr<QRNGPUInstrument> instrument(const QString& label) const
    {
        return QRNGPUInstrument::initWithIOAccelerator(QRNIORegistryEntry::initWithIOKitHandle(m_registry->entryLabelled(label)));
    }
    void setStatistics(const QString& label, const Properties& statistics)
    {
        ASSERT_TRUE(m_registry->setProperty(m_registry->entryLabelled(label), "PerformanceStatistics", statistics));
    }

    FixtureRegistry* m_registry = nullptr;
    int m_count = 0;
};

const Properties nvidiaCard {{"model", "NVIDIA H100 80GB HBM3"}, {"VRAM,totalMB", 81559},
    {"PerformanceStatistics", Properties {{"Device Utilization %", 37}, {"inUseVidMemoryBytes", 2147483648ull}}}};

} // namespace

TEST_F(GPUInstrumentTest, DataCentreCardReadsItsOwnMemoryInMebibytesAndFollowsEachSample)
{
    install({gpu("nvidia", pciIds(0x10de, 0x2330), nvidiaCard)});
    auto card = instrument("nvidia");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->modelName(), "NVIDIA H100 80GB HBM3");
    EXPECT_EQ(card->vendorIdentifier(), 0x10deu);
    EXPECT_EQ(card->deviceIdentifier(), 0x2330u);
    EXPECT_FALSE(card->isSharedMemory());
    EXPECT_EQ(card->separateLoadValueCount(), 0u);
    EXPECT_DOUBLE_EQ(card->utilization(), 0.37);
    EXPECT_EQ(card->totalMemory(), 81559ull << 20);
    EXPECT_EQ(card->usedMemory(), 2147483648ull);
    EXPECT_EQ(card->gpuDescriptor().value("Accessor:TotalMemory"), "E>VRAM,totalMB>NSNumber");
    EXPECT_EQ(card->gpuDescriptor().value("Accessor:VendorID"), "P>vendor-id>NSData");
    // The typed readers read afresh and in the accessor's unit.
    EXPECT_EQ(card->memoryValueForKey("Accessor:TotalMemory"), 81559ull << 20);
    EXPECT_EQ(card->memoryValueForKey("Accessor:UsedMemory"), 2147483648ull);
    EXPECT_EQ(card->doubleForKey("Accessor:Utilization"), 37.0);
    EXPECT_EQ(card->doubleForKey("Accessor:Model"), 0.0);
    EXPECT_FALSE(card->valueForAccessorWithKey("Accessor:Missing").isValid());

    // Every sample reads the statistics afresh; a load above 100 is not capped
    // without separate units.
    setStatistics("nvidia", {{"Device Utilization %", 120.5}, {"inUseVidMemoryBytes", 4096}});
    card->collectNewSample();
    EXPECT_DOUBLE_EQ(card->utilization(), 1.205);
    EXPECT_EQ(card->usedMemory(), 4096u);

    // Figures that cannot be read any more read 0; the accelerator gone reads 0 throughout.
    setStatistics("nvidia", {{"Device Utilization %", "busy"}});
    card->collectNewSample();
    EXPECT_EQ(card->utilization(), 0.0);
    EXPECT_EQ(card->usedMemory(), 0u);
    EXPECT_EQ(card->totalMemory(), 81559ull << 20);
    m_registry->removeEntry(m_registry->entryLabelled("nvidia-pci"));
    card->collectNewSample();
    EXPECT_EQ(card->totalMemory(), 0u);
    EXPECT_TRUE(card->description().startsWith(
        "<QRNGPUInstrument>: (0x10de, 0x2330) - 'NVIDIA H100 80GB HBM3' load: 0.000000%, 0 of 0 bytes in use (exclusive)\naccessors: "))
        << qPrintable(card->description());
    EXPECT_FALSE(card->description().contains("GPUEntry"));
}

TEST_F(GPUInstrumentTest, DesktopAMDCardAddsItsUnitLoadsAndCapsThem)
{
    const Properties statistics {{"Device Utilization %", 12}, {"Device Unit 0 Utilization %", 70},
        {"Device Unit 1 Utilization %", 50}, {"vramUsedBytes", 1 << 30}};
    // The model as raw bytes ends at its first NUL; the memory size is in bytes.
    install({gpu("amd", pciIds(0x1002, 0x73bf),
        {{"model", QByteArray("AMD Radeon RX 6800 XT\0garbage", 30)}, {"ATY,memsize", 17163091968ull},
            {"PerformanceStatistics", statistics}})});
    auto card = instrument("amd");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->modelName(), "AMD Radeon RX 6800 XT");
    EXPECT_EQ(card->vendorIdentifier(), 0x1002u);
    EXPECT_EQ(card->separateLoadValueCount(), 2u);
    EXPECT_DOUBLE_EQ(card->utilization(), 1.0);
    EXPECT_EQ(card->totalMemory(), 17163091968ull);
    EXPECT_EQ(card->usedMemory(), 1u << 30);
    EXPECT_FALSE(card->isSharedMemory());

    // A unit that stops reporting counts 0; the count stays as created.
    setStatistics("amd", {{"Device Utilization %", 12}, {"Device Unit 0 Utilization %", 30}, {"vramUsedBytes", 0}});
    card->collectNewSample();
    EXPECT_DOUBLE_EQ(card->utilization(), 0.3);

    // Units are counted only while their indices run on without a gap.
    setStatistics("amd", {{"Device Utilization %", 12}, {"Device Unit 0 Utilization %", 20},
        {"Device Unit 2 Utilization %", 50}, {"vramUsedBytes", 10}});
    auto gapped = instrument("amd");
    ASSERT_NE(gapped, nullptr);
    EXPECT_EQ(gapped->separateLoadValueCount(), 1u);
    EXPECT_DOUBLE_EQ(gapped->utilization(), 0.2);
}

TEST_F(GPUInstrumentTest, IntegratedProcessorsShareMainMemory)
{
    // An APU: no memory of its own, its share of main memory in the statistics.
    install({gpu("apu", pciIds(0x1002, 0x15bf),
                 {{"model", "AMD Radeon 780M"},
                     {"PerformanceStatistics", Properties {{"Device Utilization %", 3}, {"Alloc system memory", 8ull << 30},
                                                   {"In use system memory", 1ull << 30}}}}),
        gpu("gart", pciIds(0x1002, 0x1638),
            {{"model", "AMD Radeon Vega 8"},
                {"PerformanceStatistics", Properties {{"Device Utilization %", 3}, {"gartSizeBytes", 4ull << 30},
                                              {"In use system memory", 5}, {"gartUsedBytes", 3ull << 30}}}}),
        // An Intel processor naming a memory size still uses main memory: its
        // used figure comes from the system-memory keys, not the video ones.
        gpu("intel", pciIds(0x8086, 0xa7a0),
            {{"model", "Intel Iris Xe Graphics"}, {"VRAM,totalMB", 1536},
                {"PerformanceStatistics", Properties {{"Device Utilization %", 9}, {"inUseVidMemoryBytes", 77},
                                              {"inUseSysMemoryBytes", 256ull << 20}}}}),
        gpu("intel-without-system-figure", pciIds(0x8086, 0xa7a0),
            {{"model", "Intel Iris Xe Graphics"}, {"VRAM,totalMB", 1536},
                {"PerformanceStatistics", Properties {{"Device Utilization %", 9}, {"inUseVidMemoryBytes", 77}}}}),
        // Intel on Linux reports no load at all: no instrument.
        gpu("intel-linux", pciIds(0x8086, 0x46a6), {{"model", "Intel Alder Lake-P GT2"}, {"PerformanceStatistics", Properties {}}})});

    auto apu = instrument("apu");
    ASSERT_NE(apu, nullptr);
    EXPECT_TRUE(apu->isSharedMemory());
    EXPECT_EQ(apu->totalMemory(), 8ull << 30);
    EXPECT_EQ(apu->usedMemory(), 1ull << 30);

    auto gart = instrument("gart");
    ASSERT_NE(gart, nullptr);
    EXPECT_EQ(gart->gpuDescriptor().value("Accessor:UsedMemory"), "S>gartUsedBytes>NSNumber");
    EXPECT_EQ(gart->usedMemory(), 3ull << 30);

    auto intel = instrument("intel");
    ASSERT_NE(intel, nullptr);
    EXPECT_TRUE(intel->isSharedMemory());
    EXPECT_EQ(intel->totalMemory(), 1536ull << 20);
    EXPECT_EQ(intel->usedMemory(), 256ull << 20);
    EXPECT_EQ(instrument("intel-without-system-figure"), nullptr);
    EXPECT_EQ(instrument("intel-linux"), nullptr);
}

TEST_F(GPUInstrumentTest, IdentifiersAsNumbersOrFourBytesAndWhatMakesNoInstrument)
{
    const Properties stats {{"Device Utilization %", 1}, {"vramUsedBytes", 100}};
    auto card = [&](const Properties& pci, const Properties& extra) {
        Properties accelerator {{"model", "card"}, {"ATY,memsize", 1000}, {"PerformanceStatistics", stats}};
        accelerator.insert(extra);
        return gpu(QString::number(m_count++), pci, accelerator);
    };
    install({card({{"vendor-id", QByteArray("\x02\x10\x00\x00", 4)}, {"device-id", 0x73bf}}, {}),
        card({{"vendor-id", littleEndian(0x1002, 3)}, {"device-id", littleEndian(0x73bf, 8)}}, {}),
        // Ids on the accelerator itself win over the parent's.
        card(pciIds(0x1002, 0x73bf), {{"vendor-id", 0x10de}}),
        card({}, {}),
        card(pciIds(0x1002, 1), {{"model", 42}}),
        card(pciIds(0x1002, 1), {{"PerformanceStatistics", "none"}}),
        card(pciIds(0x1002, 1), {{"ATY,memsize", 99}}),
        card(pciIds(0x1002, 1), {{"ATY,memsize", 0}}),
        card({{"vendor-id", 0x1002}}, {{"PerformanceStatistics", Properties {{"vramUsedBytes", 1}}}})});

    auto bytes = instrument("0");
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->vendorIdentifier(), 0x1002u);
    EXPECT_EQ(bytes->deviceIdentifier(), 0x73bfu);
    // Raw bytes of another size still make an accessor, but read 0.
    auto odd = instrument("1");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->gpuDescriptor().value("Accessor:VendorID"), "P>vendor-id>NSData");
    EXPECT_EQ(odd->vendorIdentifier(), 0u);
    EXPECT_EQ(odd->deviceIdentifier(), 0u);
    EXPECT_EQ(instrument("2")->vendorIdentifier(), 0x10deu);

    EXPECT_EQ(instrument("3"), nullptr) << "no vendor";
    EXPECT_EQ(instrument("4"), nullptr) << "model of the wrong class";
    EXPECT_EQ(instrument("5"), nullptr) << "statistics not a dictionary";
    EXPECT_EQ(instrument("6"), nullptr) << "more memory used than there is";
    EXPECT_EQ(instrument("7"), nullptr) << "no memory";
    EXPECT_EQ(instrument("8"), nullptr) << "no load";
    EXPECT_EQ(instrument("8-pci"), nullptr) << "not an accelerator below a parent";
    EXPECT_EQ(QRNGPUInstrument::initWithIOAccelerator(nullptr), nullptr);
}

TEST_F(GPUInstrumentTest, OfSeveralProcessorsThoseUsingNoMemoryAreLeftOut)
{
    Properties idle = nvidiaCard;
    idle.insert("PerformanceStatistics", Properties {{"Device Utilization %", 0}, {"inUseVidMemoryBytes", 0}});
    install({gpu("idle", pciIds(0x10de, 0x20b0), idle), gpu("busy", pciIds(0x10de, 0x2330), nvidiaCard),
        gpu("broken", pciIds(0x10de, 1), {{"model", "no statistics"}})});
    QRNGPUInstrument::List all = QRNGPUInstrument::instrumentsForAllGPUs();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->usedMemory(), 2147483648ull);

    // A single processor is listed whatever it uses.
    m_registry->removeEntry(m_registry->entryLabelled("busy-pci"));
    all = QRNGPUInstrument::instrumentsForAllGPUs();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->usedMemory(), 0u);
}

TEST(GPUInstrumentAccessors, AccessorTextsAndWhereTheyAreFound)
{
    EXPECT_EQ(QRNGPUInstrument::keyInAccessor("E>model>NSString"), "model");
    for (const char* broken : {"E>m>", "E>model", "E>a>b>NSData", ""})
        EXPECT_EQ(QRNGPUInstrument::keyInAccessor(broken), std::nullopt) << broken;

    const QVariantMap statistics {{"Device Utilization %", "high"}, {"gartSizeBytes", 4}, {"Alloc system memory", 8}};
    // Keys in list order, then classes in list order.
    EXPECT_EQ(QRNGPUInstrument::accessorForStatistics(statistics, {"Alloc system memory", "gartSizeBytes"}, {"NSNumber"}),
        "S>Alloc system memory>NSNumber");
    EXPECT_EQ(QRNGPUInstrument::accessorForStatistics(statistics, {"Device Utilization %"}, {"NSNumber"}), std::nullopt);
    EXPECT_EQ(QRNGPUInstrument::accessorForStatistics(statistics, {"Device Utilization %"}, {"NSData", "NSString"}),
        "S>Device Utilization %>NSString");

    auto registry = FixtureRegistry::fromPropertyList(QVariantMap {{"name", "Root"}, {"class", "IORegistryEntry"},
        {"children", QVariantList {gpu("g", {{"model", QByteArray("raw")}, {"device-id", 1}}, {{"device-id", "text"}})}}});
    ASSERT_NE(registry, nullptr);
    const auto entry = QRNIORegistryEntry::initWithIOKitHandle(registry->entryLabelled("g"));
    const auto parent = QRNIORegistryEntry::initWithIOKitHandle(registry->entryLabelled("g-pci"));
    Registry::setShared(std::move(registry));
    // The entry's text is not a number, so the parent's number is taken.
    EXPECT_EQ(QRNGPUInstrument::accessorForEntry(entry, parent, {"device-id"}, {"NSNumber", "NSData"}, 4),
        "P>device-id>NSNumber");
    EXPECT_EQ(QRNGPUInstrument::accessorForEntry(entry, parent, {"model"}, {"NSString", "NSData"}, 0), "P>model>NSData");
    EXPECT_EQ(QRNGPUInstrument::accessorForEntry(entry, nullptr, {"model"}, {"NSData"}, 0), std::nullopt);
    EXPECT_EQ(QRNGPUInstrument::accessorForEntry(entry, parent, {}, {"NSData"}, 0), std::nullopt);
    Registry::setShared(nullptr);
}
