#include "LaunchedController.h"

#include "configuration/ProcessorTopic.h"
#include "instruments/QRNMemoryInstrument.h"
#include "instruments/QRNWANIPAddress.h"
#include "items/QRNNetMonitorItem.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/LogCapture.h"
#include "support/CDP.h"
#include "support/QStringPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <functional>
#include <utility>

namespace {

// One control of a page: how the user sets it on and off, the key it must
// store, and the state of the live item (or the class-wide display) that
// must follow; rows without a live state are read only where they are used.
struct ControlRow {
    const char* control;
    std::function<void(QWidget&, bool)> operate;
    QString key;
    QVariant storedOn;
    QVariant storedOff;
    std::function<bool()> liveIsOn;
};

void toggle(QWidget& widget, bool on)
{
    static_cast<QCheckBox&>(widget).setChecked(on);
}

std::function<void(QWidget&, bool)> choose(int onIndex)
{
    return [onIndex](QWidget& widget, bool on) { static_cast<QComboBox&>(widget).setCurrentIndex(on ? onIndex : 0); };
}

class SettingPagesTest : public LaunchedController {
protected:
    void SetUp() override
    {
        LaunchedController::SetUp();
        const std::pair<const char*, QStringList> items[] = {
            {"ProcessorTopic", QRNCPUMonitorItem::defaultCellConfiguration()},
            {"MemoryTopic", QRNMemoryMonitorItem::defaultCellConfiguration()},
            {"NetworkTopic", QRNNetMonitorItem::defaultCellConfiguration()},
        };
        for (const auto& [topic, cells] : items) {
            defaults().setObject(QStringLiteral("%1-IsActive").arg(QLatin1String(topic)), true, UserDefaults::Domain::Host);
            defaults().setObject(QStringLiteral("%1-MenuBarConfiguration").arg(QLatin1String(topic)), cells, UserDefaults::Domain::Host);
        }
        // The public address is asked of a port where nobody answers.
        defaults().setObject("PreferencesTopic-WANCheckIPHostIPv4", "127.0.0.1:9");
        defaults().setObject("PreferencesTopic-WANCheckIPHostIPv6", "127.0.0.1:9");
        defaults().setObject("PreferencesTopic-WANEchoHostIPv4", "127.0.0.1:9");
        defaults().setObject("PreferencesTopic-WANEchoHostIPv6", "127.0.0.1:9");
    }
    void TearDown() override
    {
        LaunchedController::TearDown();
        QRNTemperatureMenuBarCell::setTemperatureUnit(0);
        QRNWANIPAddress::setServiceProvider(0);
    }
    void open()
    {
        launch();
        ASSERT_NE(controller->loadConfigurationWindow(), nullptr);
    }
    ConfigurationTopic& topic(const char* name) const { return *windowController().topicForClassName(name); }
    template <typename Widget>
    Widget* control(const char* topicName, const char* name) const
    {
        return topic(topicName).contentView()->findChild<Widget*>(name);
    }
    QRNCPUMonitorItem& processor() const { return *static_cast<QRNCPUMonitorItem*>(liveItem("QRNCPUMonitorItem")); }
    QRNMemoryMonitorItem& memory() const { return *static_cast<QRNMemoryMonitorItem*>(liveItem("QRNMemoryMonitorItem")); }
    QRNNetMonitorItem& network() const { return *static_cast<QRNNetMonitorItem*>(liveItem("QRNNetMonitorItem")); }

    // Every row on, then off again: the stored value and the live state follow
    // each step, and no write is refused by the routing.
    void expectEveryControlApplied(const char* topicName, const std::vector<ControlRow>& rows)
    {
        LogCapture log;
        for (const ControlRow& row : rows) {
            SCOPED_TRACE(row.control);
            QWidget* widget = control<QWidget>(topicName, row.control);
            ASSERT_NE(widget, nullptr);
            for (const bool on : {true, false}) {
                row.operate(*widget, on);
                const QVariant stored = defaults().objectForKey(row.key);
                EXPECT_EQ(stored, on ? row.storedOn : row.storedOff) << qPrintable(PropertyList::description(stored));
                if (row.liveIsOn) {
                    EXPECT_EQ(row.liveIsOn(), on);
                }
            }
        }
        const QStringList errors = log.messages(LogLevel::Error);
        EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
    }
};

} // namespace

TEST_F(SettingPagesTest, ProcessorPageControlsReachTheLiveItem)
{
    open();
    ASSERT_NE(liveItem("QRNCPUMonitorItem"), nullptr);
    const int count = int(processor().cpuCount());
    ASSERT_GE(count, 1);
    QVariantList firstOnly(count, false);
    firstOnly[0] = true;
    const auto allFlags = [&](bool on) { return QVariantList(count, on); };
    const auto anyGraph = [this] {
        for (quint64 i = 0; i < processor().cpuCount(); ++i) {
            if (processor().isDetailGraphEnabled(i))
                return true;
        }
        return false;
    };
    const auto checkRow = [](QWidget& widget, bool on) {
        static_cast<QListWidget&>(widget).item(0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    };
    const auto clickAllOrNone = [this](QWidget&, bool on) {
        control<QPushButton>("ProcessorTopic", on ? "allProcessorGraphs" : "noProcessorGraphs")->click();
    };
    // Without Vistrel Plus the user cannot switch the process rows (set from here, they still apply).
    EXPECT_FALSE(control<QCheckBox>("ProcessorTopic", "topProcesses")->isEnabled());
    expectEveryControlApplied("ProcessorTopic",
        {
            {"individualProcessors", toggle, "ProcessorTopic-ShowIndividualCPUs", true, false,
                [this] { return processor().showsIndividualLoadsInBar(); }},
            {"processorGraphs", checkRow, "ProcessorTopic-ShowCPUGraphs", firstOnly, allFlags(false),
                [this] { return processor().isDetailGraphEnabled(0); }},
            {"allProcessorGraphs", clickAllOrNone, "ProcessorTopic-ShowCPUGraphs", allFlags(true), allFlags(false), anyGraph},
            {"gpuLoads", toggle, "ProcessorTopic-ShowGPULoads", true, false, {}},
            {"topProcesses", toggle, "ProcessorTopic-ShowTopProcesses", true, false, [this] { return processor().showsProcessStatistics(); }},
        });
    // The list shows what the buttons chose.
    control<QPushButton>("ProcessorTopic", "allProcessorGraphs")->click();
    EXPECT_EQ(control<QListWidget>("ProcessorTopic", "processorGraphs")->item(count - 1)->checkState(), Qt::Checked);
    EXPECT_TRUE(processor().isDetailGraphEnabled(quint64(count - 1)));

    EXPECT_EQ(ProcessorTopic::multiThreadingNotice(4, 4), QString());
    const QString notice = ProcessorTopic::multiThreadingNotice(8, 4);
    EXPECT_TRUE(notice.contains(QLatin1String(" 8 logical processors on 4 physical"))) << qPrintable(notice);
}

TEST_F(SettingPagesTest, MemoryPageControlsReachTheLiveItem)
{
    open();
    ASSERT_NE(liveItem("QRNMemoryMonitorItem"), nullptr);
    // Nothing stored: the pop-up names the style the item really uses.
    EXPECT_EQ(control<QComboBox>("MemoryTopic", "memoryTerminology")->currentIndex(),
        int(QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem()));
    control<QComboBox>("MemoryTopic", "memoryTerminology")->setCurrentIndex(0);
    EXPECT_FALSE(control<QCheckBox>("MemoryTopic", "topProcesses")->isEnabled());
    expectEveryControlApplied("MemoryTopic",
        {
            {"memoryTerminology", choose(2), "MemoryTopic-MemoryTerminology", 2, 0, [this] { return memory().terminologyStyle() == 2; }},
            {"inactiveAsFree", toggle, "MemoryTopic-HandleInactiveAsFree", true, false, [this] { return memory().showsInactiveAsFree(); }},
            {"menuGraph", toggle, "MemoryTopic-ShowMenuGraph", true, false, [this] { return memory().isMemoryGraphEnabled(); }},
            {"swapsAsBytes", toggle, "MemoryTopic-ShowSwapsAsBytes", true, false, [this] { return memory().showsSwapsAsBytes(); }},
            {"memoryBySize", toggle, "MemoryTopic-ShowMemoryBySize", true, false, [this] { return memory().showsMemoryBySize(); }},
            {"gpuMemory", toggle, "MemoryTopic-ShowGPUMemory", true, false, {}},
            {"topProcesses", toggle, "MemoryTopic-ShowTopProcesses", true, false, [this] { return memory().showsProcessStatistics(); }},
        });
}

TEST_F(SettingPagesTest, PreferencesPageControlsReachTheDisplaysAndTheNetworkItem)
{
    open();
    ASSERT_NE(liveItem("QRNNetMonitorItem"), nullptr);
    const auto setSeconds = [](QWidget& widget, bool on) { static_cast<QSpinBox&>(widget).setValue(on ? 300 : 0); };
    expectEveryControlApplied("PreferencesTopic",
        {
            {"memoryDisplayMode", choose(2), "PreferencesTopic-QRNMemoryDisplayMode", 2, 0,
                [] { return CDP::displayTextForMemorySize(1500) == QLatin1String("1.5 kB"); }},
            {"temperatureUnit", choose(1), "PreferencesTopic-TemperatureUnit", 1, 0,
                [] { return QRNTemperatureMenuBarCell::temperatureUnit() == 1; }},
            {"wanProvider", choose(1), "PreferencesTopic-WANProviderCode", 1, 0, [] { return QRNWANIPAddress::serviceProvider() == 1; }},
            {"publicAddress", toggle, "NetworkTopic-ShouldGetWANAddress", true, false, [this] { return network().showsWANAddress(); }},
            {"suppressSwitchingNotice", toggle, "PreferencesTopic-SuppressSwitchingNotice", true, false, {}},
            {"automaticUpdateCheck", toggle, "AutoUpdateNotification", true, false, {}},
        });
    // The interval runs only while the address is shown.
    control<QCheckBox>("PreferencesTopic", "publicAddress")->setChecked(true);
    expectEveryControlApplied("PreferencesTopic",
        {{"publicAddressInterval", setSeconds, "NetworkTopic-WANUpdateInterval", 300, 0, [this] { return network().hasWANUpdateTimer(); }}});
}

TEST_F(SettingPagesTest, PagesOpenedOnHandWrittenSettingsShowThem)
{
    const auto host = UserDefaults::Domain::Host;
    defaults().setObject("ProcessorTopic-ShowIndividualCPUs", true, host);
    defaults().setObject("ProcessorTopic-ShowCPUGraphs", QVariantList{false, true}, host);
    defaults().setObject("ProcessorTopic-ShowGPULoads", true, host);
    defaults().setObject("MemoryTopic-MemoryTerminology", 1, host);
    defaults().setObject("MemoryTopic-ShowSwapsAsBytes", true, host);
    defaults().setObject("PreferencesTopic-TemperatureUnit", 2, host);
    defaults().setObject("PreferencesTopic-WANProviderCode", 1, host);
    defaults().setObject("PreferencesTopic-QRNMemoryDisplayMode", 1, host);
    defaults().setObject("NetworkTopic-ShouldGetWANAddress", true, host);
    defaults().setObject("NetworkTopic-WANUpdateInterval", 600, host);
    defaults().setObject("AutoUpdateNotification", true, host);
    open();

    EXPECT_TRUE(control<QCheckBox>("ProcessorTopic", "individualProcessors")->isChecked());
    auto* graphs = control<QListWidget>("ProcessorTopic", "processorGraphs");
    ASSERT_EQ(quint64(graphs->count()), processor().cpuCount());
    EXPECT_EQ(graphs->item(0)->checkState(), Qt::Unchecked);
    if (graphs->count() > 1) {
        EXPECT_EQ(graphs->item(1)->checkState(), Qt::Checked);
    }
    // Processors beyond the stored flags count as without a graph.
    if (graphs->count() > 2) {
        EXPECT_EQ(graphs->item(2)->checkState(), Qt::Unchecked);
    }
    EXPECT_TRUE(control<QCheckBox>("ProcessorTopic", "gpuLoads")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("ProcessorTopic", "topProcesses")->isChecked());

    EXPECT_EQ(control<QComboBox>("MemoryTopic", "memoryTerminology")->currentIndex(), 1);
    EXPECT_TRUE(control<QCheckBox>("MemoryTopic", "swapsAsBytes")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("MemoryTopic", "menuGraph")->isChecked());

    EXPECT_EQ(control<QComboBox>("PreferencesTopic", "temperatureUnit")->currentIndex(), 2);
    EXPECT_EQ(control<QComboBox>("PreferencesTopic", "wanProvider")->currentIndex(), 1);
    EXPECT_EQ(control<QComboBox>("PreferencesTopic", "memoryDisplayMode")->currentIndex(), 1);
    EXPECT_EQ(CDP::displayTextForMemorySize(1536), "1.5 KiB");
    EXPECT_TRUE(control<QCheckBox>("PreferencesTopic", "publicAddress")->isChecked());
    EXPECT_EQ(control<QSpinBox>("PreferencesTopic", "publicAddressInterval")->value(), 600);
    EXPECT_TRUE(control<QSpinBox>("PreferencesTopic", "publicAddressInterval")->isEnabled());
    EXPECT_TRUE(control<QCheckBox>("PreferencesTopic", "automaticUpdateCheck")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("PreferencesTopic", "suppressSwitchingNotice")->isChecked());
}
