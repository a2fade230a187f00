#include "configuration/ProcessorTopic.h"

#include "configuration/SettingControls.h"
#include "instruments/QRNCPULoadInstrument.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/QRNHostUserDefaults.h"
#include "settings/SettingNames.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ProcessorTopic::ProcessorTopic()
    : MonitorItemTopic(QStringLiteral("cpu"), tr("processor icon"),
        ExampleCellTexts::labelled(QStringLiteral("CPU")))
{
}

void ProcessorTopic::init()
{
    const QVariantList flags = UserDefaults::standardUserDefaults()
                                   .objectForKey(topicUserDefaultsKeyForKey(SettingName::ShowCPUGraphs))
                                   .toList();
    const quint64 count = QRNCPULoadInstrument::numberOfActiveLogicalProcessors();
    m_processorOptions.clear();
    for (quint64 i = 0; i < count; ++i)
        m_processorOptions.push_back({tr("Processor %1").arg(i + 1), qsizetype(i) < flags.size() && flags[qsizetype(i)].toBool()});
    // The base builds the page, which shows the rows read above.
    MonitorItemTopic::init();
}

void ProcessorTopic::setupInitialDefaultSetOfMonitoredItems()
{
    enableMonitoringForAllProcessorIndexes(true);
}

void ProcessorTopic::setMenuBarDisplayMode(int mode)
{
    QRNHostUserDefaults::setBool(mode == 1, topicUserDefaultsKeyForKey(SettingName::ShowIndividualCPUs));
}

void ProcessorTopic::setIsShowingGPULoads(bool shows)
{
    QRNHostUserDefaults::setBool(shows, topicUserDefaultsKeyForKey(SettingName::ShowGPULoads));
}

void ProcessorTopic::setIsShowingTop5Processes(bool shows)
{
    TopProcessesSwitch::store(shows, topicUserDefaultsKeyForKey(SettingName::ShowTopProcesses));
}

void ProcessorTopic::setEnabled(bool enabled, int index)
{
    if (index < 0 || size_t(index) >= m_processorOptions.size() || m_processorOptions[size_t(index)].isSelected == enabled)
        return;
    m_processorOptions[size_t(index)].isSelected = enabled;
    storeGraphFlags();
    refreshList();
}

bool ProcessorTopic::isEnabledProcessorMonitoringAtIndex(int index) const
{
    return index >= 0 && size_t(index) < m_processorOptions.size() && m_processorOptions[size_t(index)].isSelected;
}

void ProcessorTopic::enableMonitoringForAllProcessorIndexes(bool enabled)
{
    for (ProcessorOption& option : m_processorOptions)
        option.isSelected = enabled;
    storeGraphFlags();
    refreshList();
}

QString ProcessorTopic::multiThreadingNotice(quint64 logical, quint64 physical)
{
    if (logical == physical)
        return {};
    return tr("The processors in this computer are capable of Simultaneous Multi-Threading in hardware. "
              "The system uses %1 logical processors on %2 physical processors.")
        .arg(logical)
        .arg(physical);
}

void ProcessorTopic::storeGraphFlags()
{
    QVariantList flags;
    for (const ProcessorOption& option : m_processorOptions)
        flags.append(option.isSelected);
    QRNHostUserDefaults::setObject(flags, topicUserDefaultsKeyForKey(SettingName::ShowCPUGraphs));
}

void ProcessorTopic::refreshList()
{
    if (!m_list)
        return;
    m_refreshingList = true;
    m_list->clear();
    for (const ProcessorOption& option : m_processorOptions) {
        auto* row = new QListWidgetItem(option.displayName, m_list);
        row->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        row->setCheckState(option.isSelected ? Qt::Checked : Qt::Unchecked);
    }
    m_refreshingList = false;
}

QWidget* ProcessorTopic::createContentView()
{
    QWidget* page = MonitorItemTopic::createContentView();
    QVBoxLayout* layout = pageLayout();
    layout->addWidget(SettingControls::makeSwitch(tr("Show each processor on its own in the menu bar"),
        QStringLiteral("individualProcessors"), topicUserDefaultsKeyForKey(SettingName::ShowIndividualCPUs),
        [this](bool each) { setMenuBarDisplayMode(each ? 1 : 0); }));

    auto* intro = new QLabel(tr("Processors with a history graph in the menu:"));
    layout->addWidget(intro);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("processorGraphs"));
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* row) {
        if (!m_refreshingList)
            setEnabled(row->checkState() == Qt::Checked, m_list->row(row));
    });
    layout->addWidget(m_list);
    refreshList();

    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(tr("Show All"));
    all->setObjectName(QStringLiteral("allProcessorGraphs"));
    connect(all, &QPushButton::clicked, this, [this] { enableMonitoringForAllProcessorIndexes(true); });
    auto* none = new QPushButton(tr("Show None"));
    none->setObjectName(QStringLiteral("noProcessorGraphs"));
    connect(none, &QPushButton::clicked, this, [this] { enableMonitoringForAllProcessorIndexes(false); });
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* notice = new QLabel(multiThreadingNotice(QRNCPULoadInstrument::numberOfActiveLogicalProcessors(),
        QRNCPULoadInstrument::numberOfPhysicalProcessors()));
    notice->setObjectName(QStringLiteral("multiThreadingNotice"));
    notice->setWordWrap(true);
    layout->addWidget(notice);

    layout->addWidget(SettingControls::makeSwitch(tr("Show the loads of the graphics processors"),
        QStringLiteral("gpuLoads"), topicUserDefaultsKeyForKey(SettingName::ShowGPULoads),
        [this](bool shows) { setIsShowingGPULoads(shows); }));
    layout->addWidget(m_topProcessesSwitch.makeSwitch(topicUserDefaultsKeyForKey(SettingName::ShowTopProcesses),
        [this](bool shows) { setIsShowingTop5Processes(shows); }));
    return page;
}
