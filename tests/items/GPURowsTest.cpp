#include "instruments/QRNCPULoadInstrument.h"
#include "instruments/QRNGPUInstrument.h"
#include "instruments/QRNMemoryInstrument.h"
#include "items/OpenedMenu.h"
#include "items/QRNCPUMonitorItem.h"
#include "items/QRNMemoryMonitorItem.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "platform/registry/FixtureRegistry.h"
#include "support/CDP.h"
#include "support/ScopedLocale.h"
#include "support/ScopedStatusBar.h"

#include <gtest/gtest.h>

namespace {

constexpr quint64 GiB = quint64(1) << 30;

QVariantMap gpu(const QString& label, const QString& model, quint64 load, quint64 used, quint64 totalMB)
{
    const QVariantMap accelerator {{"model", model}, {"VRAM,totalMB", totalMB},
        {"PerformanceStatistics", QVariantMap {{"Device Utilization %", load}, {"inUseVidMemoryBytes", used}}}};
    return {{"name", "display"}, {"class", "IOPCIDevice"}, {"label", label + "-pci"},
        {"properties", QVariantMap {{"vendor-id", QByteArray("\xde\x10\x00\x00", 4)}}},
        {"children", QVariantList {QVariantMap {{"name", "nvidia"}, {"class", "IOAccelerator"}, {"label", label},
                         {"properties", accelerator}}}}};
}

// The items on a machine with two graphics processors (or none).
class GPURowsTest : public ::testing::Test {
protected:
    void SetUp() override { UserDefaults::standardUserDefaults().setObject(CDP::defaultsKeyForMemoryDisplayMode(), 0); }
    void TearDown() override
    {
        UserDefaults::standardUserDefaults().removeObject(CDP::defaultsKeyForMemoryDisplayMode());
        Registry::setShared(nullptr);
    }
    void install(const QVariantList& gpus)
    {
        auto registry = FixtureRegistry::fromPropertyList(
            QVariantMap {{"name", "Root"}, {"class", "IORegistryEntry"}, {"children", gpus}});
        ASSERT_NE(registry, nullptr);
        m_registry = registry.get();
        Registry::setShared(std::move(registry));
    }
    void installTwoGPUs()
    {
        install({gpu("first", "NVIDIA H100 80GB HBM3", 37, 2 * GiB, 8192), gpu("second", "NVIDIA L4", 100, GiB, 4096)});
    }
    template<typename Item>
    static bool listsAll(const Item& item)
    {
        for (const auto& gpu : item.gpuInstruments()) {
            if (std::find(item.monitorInstruments().begin(), item.monitorInstruments().end(), gpu) == item.monitorInstruments().end())
                return false;
        }
        return true;
    }

    ScopedStatusBar bar;
    ScopedLocale english {QLocale::English};
    FixtureRegistry* m_registry = nullptr;
};

std::unique_ptr<QRNCPUMonitorItem> processorItem()
{
    auto item = std::make_unique<QRNCPUMonitorItem>(
        std::make_shared<QRNCPULoadInstrument>(FixtureSysroot::fixture("laptop-2cpu-t0")));
    EXPECT_TRUE(item->initWithCellConfiguration(QRNCPUMonitorItem::defaultCellConfiguration()));
    return item;
}

std::unique_ptr<QRNMemoryMonitorItem> memoryItem()
{
    auto item = std::make_unique<QRNMemoryMonitorItem>(
        std::make_shared<QRNMemoryInstrument>(FixtureSysroot::fixture("desktop-zswap"), 4096));
    EXPECT_TRUE(item->initWithCellConfiguration(QRNMemoryMonitorItem::defaultCellConfiguration()));
    return item;
}

} // namespace

TEST_F(GPURowsTest, ProcessorItemShowsEachLoadWhileSwitchedOn)
{
    installTwoGPUs();
    auto cpu = processorItem();
    const size_t alone = cpu->monitorInstruments().size();
    cpu->setHasChangedInstruments(false);
    cpu->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowGPULoads"), true);
    ASSERT_EQ(cpu->gpuInstruments().size(), 2u);
    EXPECT_TRUE(cpu->showsGPULoads());
    EXPECT_EQ(cpu->monitorInstruments().size(), alone + 2);
    EXPECT_TRUE(listsAll(*cpu));
    EXPECT_TRUE(cpu->hasChangedInstruments());
    EXPECT_TRUE(openedMenu(*cpu).contains("GPU utilization\t\nNVIDIA H100 80GB HBM3\t 37%\nNVIDIA L4\t100%\n-----\nProcesses:"))
        << qPrintable(openedMenu(*cpu));

    // The rows follow the samples.
    m_registry->setProperty(m_registry->entryLabelled("first"), "PerformanceStatistics",
        QVariantMap {{"Device Utilization %", 12.5}, {"inUseVidMemoryBytes", GiB}});
    cpu->gpuInstruments()[0]->collectNewSample();
    EXPECT_TRUE(openedMenu(*cpu).contains("NVIDIA H100 80GB HBM3\t12.5%\n"));

    // Switching on again changes nothing; off takes out exactly these instruments.
    cpu->setShowsGPULoads(true);
    EXPECT_EQ(cpu->monitorInstruments().size(), alone + 2);
    cpu->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowGPULoads"), 0);
    EXPECT_FALSE(cpu->showsGPULoads());
    EXPECT_EQ(cpu->monitorInstruments().size(), alone);
    EXPECT_FALSE(openedMenu(*cpu).contains("GPU"));
}

TEST_F(GPURowsTest, MemoryItemShowsUsedAndShareAndDashesWithoutATotal)
{
    installTwoGPUs();
    auto memory = memoryItem();
    const size_t alone = memory->monitorInstruments().size();
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowGPUMemory"), true);
    ASSERT_TRUE(memory->isShowingGPUMemory());
    EXPECT_TRUE(listsAll(*memory));
    const QString menu = openedMenu(*memory);
    EXPECT_TRUE(menu.contains("GPU memory\t\nNVIDIA H100 80GB HBM3\t2 GB ( 25%)\nNVIDIA L4\t1 GB ( 25%)\n-----\n")) << qPrintable(menu);

    m_registry->removeEntry(m_registry->entryLabelled("second-pci"));
    memory->gpuInstruments()[1]->collectNewSample();
    EXPECT_TRUE(openedMenu(*memory).contains("NVIDIA L4\t---\n"));

    memory->setIsShowingGPUMemory(false);
    EXPECT_EQ(memory->monitorInstruments().size(), alone);
    EXPECT_FALSE(openedMenu(*memory).contains("GPU memory"));
}

TEST_F(GPURowsTest, WithoutGraphicsProcessorsTheSettingsShowNothingAndLogNothing)
{
    install({});
    LogCapture log;
    auto cpu = processorItem();
    auto memory = memoryItem();
    const size_t alone = cpu->monitorInstruments().size();
    cpu->handleChangeOfUserDefault(SettingsKey::parse("ProcessorTopic-ShowGPULoads"), true);
    memory->handleChangeOfUserDefault(SettingsKey::parse("MemoryTopic-ShowGPUMemory"), true);
    EXPECT_FALSE(cpu->showsGPULoads());
    EXPECT_FALSE(memory->isShowingGPUMemory());
    EXPECT_EQ(cpu->monitorInstruments().size(), alone);
    EXPECT_FALSE(openedMenu(*cpu).contains("GPU"));
    EXPECT_FALSE(openedMenu(*memory).contains("GPU"));
    EXPECT_TRUE(log.entries().empty());
}
