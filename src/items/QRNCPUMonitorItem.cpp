#include "items/QRNCPUMonitorItem.h"

#include "instruments/QRNCPULoadInstrument.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/defaults/PropertyList.h"
#include "platform/desktop/DesktopApplications.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "platform/statusbar/StatusItem.h"
#include "support/PaddedNumberFormat.h"
#include "support/QRNTimeUtilities.h"


namespace {
constexpr quint32 GraphCapacity = 30;

enum OperationMode : quint64 { User = 0, System = 1, Idle = 2, Nice = 3 };

} // namespace

QRNCPUMonitorItem::QRNCPUMonitorItem()
    : QRNCPUMonitorItem(QRNCPULoadInstrument::sharedCPULoadInstrument())
{
}

QRNCPUMonitorItem::QRNCPUMonitorItem(std::shared_ptr<QRNCPULoadInstrument> instrument)
    : m_instrument(std::move(instrument))
    , m_cpuCount(m_instrument->activeCPUCount())
    , m_isDetailGraphEnabledForCPU(m_cpuCount, false)
    , m_cpuGraphs(m_cpuCount)
{
    addMonitorInstrument(m_instrument);
}

QRNCPUMonitorItem::~QRNCPUMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNCPUMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNCPUMonitorItem>(codes);
}

QStringList QRNCPUMonitorItem::defaultCellConfiguration()
{
    return {QStringLiteral("QRNTextMenuBarCell:V"), QStringLiteral("QRNGraphMenuBarCell:1N"), QStringLiteral("QRNNumericMenuBarCell:T")};
}

bool QRNCPUMonitorItem::initWithCellConfiguration(const QStringList& codes)
{
    m_lastConfigurationCodes = codes;
    return QRNMonitorItem::initWithCellConfiguration(codes);
}

void QRNCPUMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell))
        text->setStringValue(QStringLiteral("CPU"));
    else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell))
        graph->setCapacity(GraphCapacity);
}

void QRNCPUMonitorItem::createNewMenuBarCellsWithConfigurationCodes(const QStringList& codes)
{
    m_lastConfigurationCodes = codes;
    if (!m_showsIndividualLoadsInBar) {
        QRNMonitorItem::createNewMenuBarCellsWithConfigurationCodes(codes);
        return;
    }
    QRNMenuBarItemImage* image = menuBarImage();
    if (!image)
        return;
    // Whole runs of cells only, as many processors as the image holds.
    QRNMenuBarItemImage::Cells cells;
    m_cellsPerProcessor = 0;
    for (quint64 p = 1; p <= m_cpuCount; ++p) {
        QRNMenuBarItemImage::Cells run;
        for (const QString& code : codes) {
            std::unique_ptr<QRNMenuBarCell> cell = QRNMenuBarCell::newMenuBarCellForStringCode(code);
            if (!cell)
                continue;
            if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(cell.get()))
                text->setStringValue(QStringLiteral("P%1").arg(p, 2, 10, QLatin1Char(' ')));
            else
                customizeNewMenuBarCell(*cell);
            run.push_back(std::move(cell));
        }
        if (run.empty() || cells.size() + run.size() > QRNMenuBarItemImage::MaximumCellCount)
            break;
        m_cellsPerProcessor = run.size();
        std::move(run.begin(), run.end(), std::back_inserter(cells));
    }
    if (cells.empty())
        cells.push_back(fallbackCell());
    image->setMenuBarCells(std::move(cells));
}

void QRNCPUMonitorItem::adoptProcessorCount(quint64 count)
{
    m_cpuCount = count;
    m_isDetailGraphEnabledForCPU.resize(count, false);
    m_cpuGraphs.resize(count);
    if (m_showsIndividualLoadsInBar)
        createNewMenuBarCellsWithConfigurationCodes(QStringList(m_lastConfigurationCodes));
    rebuildMenu();
}

void QRNCPUMonitorItem::setShowsIndividualLoadsInBar(bool shows)
{
    m_showsIndividualLoadsInBar = shows;
    createNewMenuBarCellsWithConfigurationCodes(QStringList(m_lastConfigurationCodes));
}

void QRNCPUMonitorItem::setIsDetailGraphEnabled(bool enabled, quint64 index)
{
    if (index >= m_cpuCount || m_isDetailGraphEnabledForCPU[index] == enabled)
        return;
    m_isDetailGraphEnabledForCPU[index] = enabled;
    rebuildMenu();
}

bool QRNCPUMonitorItem::isDetailGraphEnabled(quint64 index) const
{
    return index < m_cpuCount && m_isDetailGraphEnabledForCPU[index];
}

void QRNCPUMonitorItem::pushLoadsIntoCells()
{
    QRNMenuBarItemImage* image = menuBarImage();
    if (!image)
        return;
    const auto& cells = image->menuBarCells();
    auto give = [](QRNMenuBarCell& cell, double load) {
        if (auto* numeric = dynamic_cast<QRNNumericMenuBarCell*>(&cell))
            numeric->setDoubleValue(load);
        else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell))
            graph->addNewValue(load);
    };
    if (m_showsIndividualLoadsInBar) {
        // Each processor shown owns an equal run of cells.
        for (size_t c = 0; m_cellsPerProcessor > 0 && c < cells.size(); ++c)
            give(*cells[c], cpuInstrument().totalLoadForProcessorAtIndex(c / m_cellsPerProcessor));
    } else {
        const double total = cpuInstrument().totalLoadForAllProcessors();
        for (const auto& cell : cells)
            give(*cell, total);
    }
    image->refreshCells();
}

QString QRNCPUMonitorItem::toolTipText() const
{
    return tr("Processor") + u'\n'
        + tr("%1 busy").arg(PaddedNumberFormat::percentage(cpuInstrument().totalLoadForAllProcessors()).trimmed());
}

void QRNCPUMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    if (cpuInstrument().activeCPUCount() != m_cpuCount)
        adoptProcessorCount(cpuInstrument().activeCPUCount());
    if (menuBar)
        pushLoadsIntoCells();
    // The menu's graphs keep their history while the menu is closed.
    for (quint64 i = 0; i < m_cpuGraphs.size(); ++i) {
        if (m_cpuGraphs[i])
            m_cpuGraphs[i]->addNewValue(cpuInstrument().totalLoadForProcessorAtIndex(i));
    }
    if (!menuItems || !isMenuVisible())
        return;
    const double user = cpuInstrument().totalLoadForOperationMode(User);
    const double system = cpuInstrument().totalLoadForOperationMode(System);
    const double nice = cpuInstrument().totalLoadForOperationMode(Nice);
    const double loads[] = {user, system, nice, 1.0 - user - system - nice};
    for (size_t i = 0; i < m_cpuLoadViews.size(); ++i) {
        if (m_cpuLoadViews[i])
            m_cpuLoadViews[i]->setRightStringValue(PaddedNumberFormat::percentage(loads[i]));
    }
    if (m_uptimeView) {
        const std::optional<double> uptime = cpuInstrument().timeIntervalSinceSystemStart();
        m_uptimeView->setRightStringValue(
            uptime ? QRNTimeUtilities::localizedTextRepresentationForTimeInterval(*uptime) : tr("unknown"));
    }
    m_gpuRows.updateRows([](const QRNGPUInstrument& gpu) { return PaddedNumberFormat::percentage(gpu.utilization()); });
    m_processRows.updateRows(&VLPProcessInstrumentEntry::top5CPUProcessEntries,
        [](const VLPProcessEntry& process) { return PaddedNumberFormat::percentage(process.cpuUsage); });
    if (m_processCountView)
        m_processCountView->setRightStringValue(PaddedNumberFormat::count(cpuInstrument().currentProcessCount()));
    updateMenuWidthForTextPairViewsIfNeeded();
}

void QRNCPUMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("Process Load"), menu);

    const QString labels[] = {tr("User:"), tr("System:"), tr("Nice:"), tr("Idle:")};
    for (size_t i = 0; i < m_cpuLoadViews.size(); ++i)
        m_cpuLoadViews[i] = addTextPairView(labels[i], QString(), &menu);
    menu.addSeparator();

    bool anyGraph = false;
    for (quint64 i = 0; i < m_cpuCount; ++i) {
        m_cpuGraphs[i] = nullptr;
        if (!m_isDetailGraphEnabledForCPU[i])
            continue;
        addTextPairView(tr("Processor %1").arg(i + 1), QString(), &menu);
        m_cpuGraphs[i] = addGraphView(menu);
        anyGraph = true;
    }
    if (anyGraph)
        menu.addSeparator();
    m_gpuRows.createRows(*this, menu, tr("GPU utilization"));
    m_processRows.createRows(*this, menu);

    m_processCountView = addTextPairView(tr("Processes:"), QString(), &menu);
    addTextPairView(tr("Active since:"), QString(), &menu);
    m_uptimeView = addTextPairView(QString(), QString(), &menu);
    menu.addSeparator();
    QAction* launch = menu.addAction(tr("Launch Activity Monitor"));
    connect(launch, &QAction::triggered, this, &QRNCPUMonitorItem::openActivityMonitor);
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

QStringList QRNCPUMonitorItem::settingNames()
{
    return {SettingName::ShowIndividualCPUs, SettingName::ShowCPUGraphs, SettingName::ShowGPULoads, SettingName::ShowTopProcesses};
}

void QRNCPUMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name == SettingName::ShowIndividualCPUs && isBooleanValue(value)) {
        setShowsIndividualLoadsInBar(value.toBool());
    } else if (name == SettingName::ShowCPUGraphs && PropertyList::isArray(value)) {
        const QVariantList flags = value.toList();
        for (quint64 i = 0; i < m_cpuCount; ++i)
            setIsDetailGraphEnabled(qsizetype(i) < flags.size() && flags[qsizetype(i)].toBool(), i);
    } else if (name == SettingName::ShowGPULoads && isBooleanValue(value)) {
        setShowsGPULoads(value.toBool());
    } else if (name == SettingName::ShowTopProcesses && isBooleanValue(value)) {
        setShowsProcessStatistics(value.toBool());
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
}

void QRNCPUMonitorItem::setShowsGPULoads(bool shows)
{
    if (std::optional<Instruments> instruments = m_gpuRows.instrumentsAfterShowing(shows, monitorInstruments())) {
        setMonitorInstruments(std::move(*instruments));
        rebuildMenu();
    }
}

void QRNCPUMonitorItem::setShowsProcessStatistics(bool shows)
{
    if (std::optional<Instruments> instruments = m_processRows.instrumentsAfterShowing(shows, monitorInstruments())) {
        setMonitorInstruments(std::move(*instruments));
        rebuildMenu();
    }
}

void QRNCPUMonitorItem::openActivityMonitor()
{
    DesktopApplications::launchFirstInstalled(DesktopApplications::systemMonitors());
}
