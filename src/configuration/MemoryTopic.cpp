#include "configuration/MemoryTopic.h"

#include "configuration/SettingControls.h"
#include "instruments/QRNMemoryInstrument.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

MemoryTopic::MemoryTopic()
    : MonitorItemTopic(QStringLiteral("memorychip"), tr("memory icon"),
        ExampleCellTexts{QStringLiteral("MEM"), QStringLiteral("W: 999.9 WW"),
            QStringLiteral("W:"), QStringLiteral(" 999"), QStringLiteral("\tU:\t338\tMB"), QStringLiteral("\tF:\t174\tMB"), false})
{
}

void MemoryTopic::storeBool(const QString& name, bool value)
{
    QRNHostUserDefaults::setBool(value, topicUserDefaultsKeyForKey(name));
}

void MemoryTopic::setIsHandlingInactiveAsFree(bool handles)
{
    storeBool(SettingName::HandleInactiveAsFree, handles);
}

void MemoryTopic::setIsShowingTop5Processes(bool shows)
{
    TopProcessesSwitch::store(shows, topicUserDefaultsKeyForKey(SettingName::ShowTopProcesses));
}

void MemoryTopic::setIsShowingMemoryBySize(bool shows)
{
    storeBool(SettingName::ShowMemoryBySize, shows);
}

void MemoryTopic::setIsShowingMenuGraph(bool shows)
{
    storeBool(SettingName::ShowMenuGraph, shows);
}

void MemoryTopic::setIsShowingSwapsAsBytes(bool shows)
{
    storeBool(SettingName::ShowSwapsAsBytes, shows);
}

void MemoryTopic::setIsShowingGPUMemory(bool shows)
{
    storeBool(SettingName::ShowGPUMemory, shows);
}

void MemoryTopic::setMemoryTerminologyStyle(int style)
{
    QRNHostUserDefaults::setInteger(style, topicUserDefaultsKeyForKey(SettingName::MemoryTerminology));
}

QWidget* MemoryTopic::createContentView()
{
    QWidget* page = MonitorItemTopic::createContentView();
    QVBoxLayout* layout = pageLayout();
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();

    // Without a stored choice the item uses the style that suits this system,
    // and the page says so rather than claiming the first entry.
    const QString terminologyKey = topicUserDefaultsKeyForKey(SettingName::MemoryTerminology);
    const qint64 terminology = defaults.hasKey(terminologyKey)
        ? defaults.integerForKey(terminologyKey)
        : qint64(QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem());
    auto* form = new QFormLayout;
    form->addRow(tr("Memory use shown as:"),
        SettingControls::makeChoice({tr("Reserved, active, inactive, free"),
                                        tr("Applications, file cache, reserved, compressed"),
                                        tr("Applications, reserved, compressed; cache apart")},
            QStringLiteral("memoryTerminology"), int(terminology), [this](int style) { setMemoryTerminologyStyle(style); }));
    layout->addLayout(form);

    const struct {
        QString text;
        QLatin1String name;
        void (MemoryTopic::*setter)(bool);
        const char* objectName;
    } switches[] = {
        {tr("Count inactive memory as free"), SettingName::HandleInactiveAsFree, &MemoryTopic::setIsHandlingInactiveAsFree, "inactiveAsFree"},
        {tr("Show a history graph in the menu"), SettingName::ShowMenuGraph, &MemoryTopic::setIsShowingMenuGraph, "menuGraph"},
        {tr("Show paging as amounts instead of page counts"), SettingName::ShowSwapsAsBytes, &MemoryTopic::setIsShowingSwapsAsBytes, "swapsAsBytes"},
        {tr("Show the memory of the graphics processors"), SettingName::ShowGPUMemory, &MemoryTopic::setIsShowingGPUMemory, "gpuMemory"},
        {tr("Show the processes' memory as sizes instead of shares"), SettingName::ShowMemoryBySize, &MemoryTopic::setIsShowingMemoryBySize, "memoryBySize"},
    };
    for (const auto& entry : switches) {
        const auto setter = entry.setter;
        layout->addWidget(SettingControls::makeSwitch(entry.text, QLatin1String(entry.objectName),
            topicUserDefaultsKeyForKey(entry.name), [this, setter](bool value) { (this->*setter)(value); }));
    }
    // Next to the switch of how their memory shows.
    QWidget* bySize = page->findChild<QWidget*>(QStringLiteral("memoryBySize"));
    layout->insertWidget(layout->indexOf(bySize), m_topProcessesSwitch.makeSwitch(
        topicUserDefaultsKeyForKey(SettingName::ShowTopProcesses), [this](bool shows) { setIsShowingTop5Processes(shows); }));
    return page;
}
