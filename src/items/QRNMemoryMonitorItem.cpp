#include "items/QRNMemoryMonitorItem.h"

#include "instruments/QRNMemoryInstrument.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"
#include "platform/statusbar/StatusItem.h"
#include "support/PaddedNumberFormat.h"


namespace {
constexpr quint32 GraphCapacity = 30;
constexpr size_t MemoryUsageRows = 5;

} // namespace

QRNMemoryMonitorItem::QRNMemoryMonitorItem()
    : QRNMemoryMonitorItem(QRNMemoryInstrument::sharedMemoryInstrument())
{
}

QRNMemoryMonitorItem::QRNMemoryMonitorItem(std::shared_ptr<QRNMemoryInstrument> instrument)
    : m_instrument(std::move(instrument))
    , m_terminologyStyle(QRNMemoryInstrument::terminologyStyleRecommendedForRunningSystem())
{
    addMonitorInstrument(m_instrument);
    m_instrument->setPagingCountersWanted(false);
}

QRNMemoryMonitorItem::~QRNMemoryMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNMemoryMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNMemoryMonitorItem>(codes);
}

QStringList QRNMemoryMonitorItem::defaultCellConfiguration()
{
    return {QStringLiteral("QRNTextMenuBarCell:V"), QStringLiteral("QRNNumericMenuBarCell:P"),
        QStringLiteral("QRNTextMenuBarCell:2")};
}

void QRNMemoryMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell)) {
        if (text->textStyle() == QRNTextMenuBarCell::TwoLines)
            text->setFixedWidthBasedOnMaximumString(QStringLiteral("W: 999.9 WW"));
        else
            text->setStringValue(QStringLiteral("MEM"));
    } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell)) {
        graph->setCapacity(GraphCapacity);
    }
}

void QRNMemoryMonitorItem::menuWillOpen()
{
    m_instrument->setPagingCountersWanted(true);
    QRNMonitorItem::menuWillOpen();
}

void QRNMemoryMonitorItem::menuDidClose()
{
    QRNMonitorItem::menuDidClose();
    m_instrument->setPagingCountersWanted(false);
}

void QRNMemoryMonitorItem::setShowsInactiveAsFree(bool shows)
{
    m_showsInactiveAsFree = shows;
    updateInterface();
}

void QRNMemoryMonitorItem::setShowsMemoryBySize(bool shows)
{
    m_showsMemoryBySize = shows;
    updateInterface();
}

void QRNMemoryMonitorItem::setIsMemoryGraphEnabled(bool enabled)
{
    if (m_isMemoryGraphEnabled == enabled)
        return;
    m_isMemoryGraphEnabled = enabled;
    rebuildMenu();
}

void QRNMemoryMonitorItem::setShowsSwapsAsBytes(bool shows)
{
    if (m_showsSwapsAsBytes == shows)
        return;
    m_showsSwapsAsBytes = shows;
    rebuildMenu();
}

void QRNMemoryMonitorItem::setTerminologyStyle(quint32 style)
{
    if (m_terminologyStyle == style)
        return;
    m_terminologyStyle = style;
    rebuildMenu();
}

QRNGraphMenuView* QRNMemoryMonitorItem::memoryGraph() const
{
    return m_memoryGraph;
}

quint64 QRNMemoryMonitorItem::totalMemory() const
{
    const QRNMemoryInstrument& m = memoryInstrument();
    if (m_terminologyStyle == QRNMemoryInstrument::UNIXStyle)
        return m.activeMemory() + m.inactiveMemory() + m.wiredMemory() + m.freeMemory();
    return m.physicalMemory();
}

quint64 QRNMemoryMonitorItem::usedMemory() const
{
    const QRNMemoryInstrument& m = memoryInstrument();
    switch (m_terminologyStyle) {
    case QRNMemoryInstrument::UNIXStyle:
        return m.activeMemory() + m.wiredMemory() + (m_showsInactiveAsFree ? 0 : m.inactiveMemory());
    case QRNMemoryInstrument::MavericksStyle:
        return m.usedMemory();
    default:
        // Terminologies beyond the known ones count as the latest.
        return m.usedMemoryYosemite();
    }
}

double QRNMemoryMonitorItem::usedFraction() const
{
    const quint64 total = totalMemory();
    return total ? static_cast<double>(usedMemory()) / static_cast<double>(total) : 0.0;
}

QString QRNMemoryMonitorItem::toolTipText() const
{
    return tr("Memory") + u'\n' + tr("%1 used").arg(PaddedNumberFormat::percentage(usedFraction()).trimmed());
}

void QRNMemoryMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    const quint64 total = totalMemory();
    const quint64 used = usedMemory();
    // A used figure above the total would make the free one wrap around.
    const quint64 free = total > used ? total - used : 0;
    const double fraction = usedFraction();
    if (menuBar)
        pushUsedAndFreeIntoCells(used, free, fraction, true);
    // The menu's graph keeps its history while the menu is closed.
    if (m_memoryGraph)
        m_memoryGraph->addNewValue(fraction);
    if (menuItems && isMenuVisible())
        updateMenuRows(free);
}

QString QRNMemoryMonitorItem::pageText(quint64 pages) const
{
    if (m_showsSwapsAsBytes)
        return CDP::displayTextForMemorySize(pages * memoryInstrument().pageSize());
    return PaddedNumberFormat::count(pages);
}

void QRNMemoryMonitorItem::updateMenuRows(quint64 free)
{
    const QRNMemoryInstrument& m = memoryInstrument();
    if (m_memoryUsageViews.size() >= MemoryUsageRows) {
        std::array<quint64, MemoryUsageRows> sizes{};
        switch (m_terminologyStyle) {
        case QRNMemoryInstrument::UNIXStyle:
            sizes = {m.wiredMemory(), m.activeMemory(), m.inactiveMemory(), m.freeMemory(), m.physicalMemory()};
            break;
        case QRNMemoryInstrument::MavericksStyle:
            sizes = {m.applicationMemory(), m.fileCacheMemory(), m.wiredMemory(), m.compressedMemory(), free};
            break;
        default:
            sizes = {m.applicationMemoryYosemite(), m.wiredMemory(), m.compressedMemory(), m.cacheMemory(), free};
            break;
        }
        for (size_t i = 0; i < MemoryUsageRows; ++i) {
            if (m_memoryUsageViews[i])
                m_memoryUsageViews[i]->setRightStringValue(CDP::displayTextForMemorySize(sizes[i]));
        }
    }
    if (m_swapInView)
        m_swapInView->setRightStringValue(m.hasPagingCounters() ? pageText(m.accumulatedPageIns()) : tr("unknown"));
    if (m_swapOutView)
        m_swapOutView->setRightStringValue(m.hasPagingCounters() ? pageText(m.accumulatedPageOuts()) : tr("unknown"));
    if (m_usedSwapView)
        m_usedSwapView->setRightStringValue(CDP::displayTextForMemorySize(m.usedSwapMemory()));
    m_processRows.updateRows(&VLPProcessInstrumentEntry::top5MemoryProcessEntries, [this](const VLPProcessEntry& process) {
        return m_showsMemoryBySize ? CDP::displayTextForMemorySize(process.realMemorySize)
                                   : PaddedNumberFormat::percentage(process.memoryUsage);
    });
    m_gpuRows.updateRows([](const QRNGPUInstrument& gpu) {
        if (gpu.totalMemory() == 0)
            return QStringLiteral("---");
        return QStringLiteral("%1 (%2)").arg(CDP::displayTextForMemorySize(gpu.usedMemory()),
            PaddedNumberFormat::percentage(double(gpu.usedMemory()) / double(gpu.totalMemory())));
    });
    updateMenuWidthForTextPairViewsIfNeeded();
}

void QRNMemoryMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("Memory Usage"), menu);

    m_memoryUsageViews.clear();
    QStringList labels;
    switch (m_terminologyStyle) {
    case QRNMemoryInstrument::UNIXStyle:
        labels = {tr("Reserved:"), tr("Active:"), tr("Inactive:"), tr("Free:"), tr("Physical:")};
        break;
    case QRNMemoryInstrument::MavericksStyle:
        labels = {tr("Apps:"), tr("File Cache:"), tr("Wired:"), tr("Compressed:"), tr("Free:")};
        break;
    case QRNMemoryInstrument::YosemiteStyle:
        labels = {tr("Apps:"), tr("Wired:"), tr("Compressed:"), tr("File Cache:"), tr("Free:")};
        break;
    }
    for (const QString& label : labels)
        m_memoryUsageViews.emplace_back(addTextPairView(label, QString(), &menu));
    menu.addSeparator();

    m_memoryGraph = nullptr;
    if (m_isMemoryGraphEnabled) {
        m_memoryGraph = addGraphView(menu);
        menu.addSeparator();
    }
    m_processRows.createRows(*this, menu);

    m_swapInView = addTextPairView(tr("Page-Ins:"), QString(), &menu);
    m_swapOutView = addTextPairView(tr("Page-Outs:"), QString(), &menu);
    m_usedSwapView = addTextPairView(tr("Used Swap:"), QString(), &menu);
    menu.addSeparator();
    m_gpuRows.createRows(*this, menu, tr("GPU memory"));
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

void QRNMemoryMonitorItem::setIsShowingGPUMemory(bool shows)
{
    if (std::optional<Instruments> instruments = m_gpuRows.instrumentsAfterShowing(shows, monitorInstruments())) {
        setMonitorInstruments(std::move(*instruments));
        rebuildMenu();
    }
}

void QRNMemoryMonitorItem::setShowsProcessStatistics(bool shows)
{
    if (std::optional<Instruments> instruments = m_processRows.instrumentsAfterShowing(shows, monitorInstruments())) {
        setMonitorInstruments(std::move(*instruments));
        rebuildMenu();
    }
}

QStringList QRNMemoryMonitorItem::settingNames()
{
    return {SettingName::HandleInactiveAsFree, SettingName::ShowMemoryBySize, SettingName::ShowMenuGraph, SettingName::ShowSwapsAsBytes, SettingName::MemoryTerminology, SettingName::ShowTopProcesses, SettingName::ShowGPUMemory};
}

void QRNMemoryMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (!isBooleanValue(value)) {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    } else if (name == SettingName::HandleInactiveAsFree) {
        setShowsInactiveAsFree(value.toBool());
    } else if (name == SettingName::ShowMemoryBySize) {
        setShowsMemoryBySize(value.toBool());
    } else if (name == SettingName::ShowMenuGraph) {
        setIsMemoryGraphEnabled(value.toBool());
    } else if (name == SettingName::ShowSwapsAsBytes) {
        setShowsSwapsAsBytes(value.toBool());
    } else if (name == SettingName::MemoryTerminology) {
        setTerminologyStyle(value.toUInt());
    } else if (name == SettingName::ShowGPUMemory) {
        setIsShowingGPUMemory(value.toBool());
    } else if (name == SettingName::ShowTopProcesses) {
        setShowsProcessStatistics(value.toBool());
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
}
