#include "items/QRNDiskMonitorItem.h"

#include "instruments/QRNDiskInstrument.h"
#include "items/DiskSettingNames.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/defaults/PropertyList.h"
#include "platform/statusbar/StatusMenu.h"
#include "storage/QRNPhysicalDisk.h"
#include "support/CDP.h"
#include "support/PaddedNumberFormat.h"

namespace {

constexpr quint32 GraphCapacity = 30;
constexpr qsizetype LongestVolumeList = 60;
constexpr qsizetype ShortenedVolumeList = 58;

enum View : size_t {
    Title,
    Volumes,
    Graph,
    ReadThroughput,
    WriteThroughput,
    ReadRate,
    WriteRate,
    ReadPeak,
    WritePeak,
    ReadData,
    WrittenData,
    Reads,
    Writes,
};

QString disk(const QVariantMap& userInfo)
{
    if (userInfo.value(QStringLiteral("Type")).toString() != QLatin1String("Disk"))
        return {};
    return userInfo.value(QStringLiteral("ID")).toString();
}

QRNTextPairView* textPair(const QRNDiskMonitorItem::DiskViews& views, size_t index)
{
    return qobject_cast<QRNTextPairView*>(views[index].data());
}

} // namespace

QRNDiskMonitorItem::QRNDiskMonitorItem()
    : QRNDiskMonitorItem(QRNPhysicalDisk::isSerialNumberPrivacyEnabled())
{
}

QRNDiskMonitorItem::QRNDiskMonitorItem(bool suppressSerials)
    : m_suppressSerials(suppressSerials)
{
    m_equipment.observe([this](const QVariantMap& userInfo) { equipmentWasAdded(userInfo); },
        [this](const QVariantMap& userInfo) { equipmentWasRemoved(userInfo); });
}

QRNDiskMonitorItem::~QRNDiskMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNDiskMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNDiskMonitorItem>(codes);
}

QStringList QRNDiskMonitorItem::settingNames()
{
    return {DiskSettingName::MonitoredDisks, DiskSettingName::ShowOpposedGraphs, DiskSettingName::ShowLocallyZoomedGraphs};
}

QRNDiskInstrument& QRNDiskMonitorItem::diskInstrument(size_t index) const
{
    return static_cast<QRNDiskInstrument&>(*monitorInstruments().at(index));
}

void QRNDiskMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell)) {
        if (text->textStyle() == QRNTextMenuBarCell::TwoLines)
            text->setFixedWidthBasedOnMaximumString(QStringLiteral("W: 999.9 WW/s"));
        else
            text->setStringValue(QStringLiteral("HD"));
    } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell)) {
        graph->setCapacity(GraphCapacity);
        graph->setUsesSecondaryGraph(true);
    }
    // New text cells show the totals at the next refresh.
    m_shownRead = m_shownWritten = ~quint64(0);
}

void QRNDiskMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name.endsWith(DiskSettingName::MonitoredDisks) && PropertyList::isArray(value)) {
        for (qsizetype count = m_monitoredDiskIdentifications.size(); count > 0; --count)
            removeDiskWithIdentification(m_monitoredDiskIdentifications.first());
        // Configured disks that are not attached now are offline until they come.
        m_offlineDiskIdentifications.clear();
        for (const QString& identification : value.toStringList())
            addDiskWithIdentification(identification);
    } else if (name.endsWith(DiskSettingName::ShowOpposedGraphs) && isBooleanValue(value)) {
        setShowsOpposedGraphs(value.toBool());
    } else if (name.endsWith(DiskSettingName::ShowLocallyZoomedGraphs) && isBooleanValue(value)) {
        setShowsLocallyZoomedGraphs(value.toBool());
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
}

void QRNDiskMonitorItem::addDiskWithIdentification(const QString& identification)
{
    if (identification.isEmpty() || m_monitoredDiskIdentifications.contains(identification))
        return;
    std::shared_ptr<QRNDiskInstrument> instrument = QRNDiskInstrument::instrumentForDiskIdentification(identification);
    if (!instrument) {
        m_offlineDiskIdentifications.insert(identification);
        return;
    }
    m_monitoredDiskIdentifications.append(identification);
    addMonitorInstrument(std::move(instrument));
    m_readBytesMaxima.push_back(0);
    m_writtenBytesMaxima.push_back(0);
    rebuildMenu();
}

void QRNDiskMonitorItem::removeDiskWithIdentification(const QString& identification)
{
    const qsizetype index = m_monitoredDiskIdentifications.indexOf(identification);
    if (index < 0) {
        m_offlineDiskIdentifications.remove(identification);
        return;
    }
    m_monitoredDiskIdentifications.removeAt(index);
    Instruments instruments = monitorInstruments();
    instruments.erase(instruments.begin() + index);
    setMonitorInstruments(std::move(instruments));
    m_readBytesMaxima.erase(m_readBytesMaxima.begin() + index);
    m_writtenBytesMaxima.erase(m_writtenBytesMaxima.begin() + index);
    rebuildMenu();
}

void QRNDiskMonitorItem::equipmentWasAdded(const QVariantMap& userInfo)
{
    const QString identification = disk(userInfo);
    if (identification.isEmpty() || !m_offlineDiskIdentifications.remove(identification))
        return;
    addDiskWithIdentification(identification);
}

void QRNDiskMonitorItem::equipmentWasRemoved(const QVariantMap& userInfo)
{
    const QString identification = disk(userInfo);
    if (identification.isEmpty() || !m_monitoredDiskIdentifications.contains(identification))
        return;
    removeDiskWithIdentification(identification);
    m_offlineDiskIdentifications.insert(identification);
}

QString QRNDiskMonitorItem::shortenedVolumeList(const QString& list)
{
    if (list.size() <= LongestVolumeList)
        return list;
    return list.left(ShortenedVolumeList) + u' ' + QChar(0x2026);
}

void QRNDiskMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("Storage Disks"), menu);
    m_menuViewsPerDisk.clear();
    for (size_t i = 0; i < monitorInstruments().size(); ++i) {
        DiskViews views;
        const QString identification = diskInstrument(i).diskIdentification();
        views[Title] = addHeadingView(m_suppressSerials ? equipmentIdentificationWithoutSerialNumberSuffixFor(identification) : identification, menu);
        views[Volumes] = addTextPairView(tr("Loading volume names..."), QString(), &menu);
        QRNGraphMenuView* graph = addGraphView(menu);
        graph->setUsesSecondaryGraph(true);
        views[Graph] = graph;
        views[ReadThroughput] = addTextPairView(tr("Read Throughput:"), QString(), &menu);
        views[WriteThroughput] = addTextPairView(tr("Write Throughput:"), QString(), &menu);
        views[ReadRate] = addTextPairView(tr("Reads:"), QString(), &menu);
        views[WriteRate] = addTextPairView(tr("Writes:"), QString(), &menu);
        views[ReadPeak] = addTextPairView(tr("Peak value (read):"), QString(), &menu);
        views[WritePeak] = addTextPairView(tr("Peak value (write):"), QString(), &menu);
        menu.addSeparator();
        views[ReadData] = addTextPairView(tr("Read Data:"), QString(), &menu);
        views[WrittenData] = addTextPairView(tr("Written Data:"), QString(), &menu);
        views[Reads] = addTextPairView(tr("Reads:"), QString(), &menu);
        views[Writes] = addTextPairView(tr("Writes:"), QString(), &menu);
        m_menuViewsPerDisk.push_back(views);
        menu.addSeparator();
    }
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

void QRNDiskMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    quint64 read = 0;
    quint64 written = 0;
    for (size_t i = 0; i < monitorInstruments().size(); ++i) {
        const QRNDiskInstrument& instrument = diskInstrument(i);
        const quint64 r = instrument.currentReadBytes();
        const quint64 w = instrument.currentWrittenBytes();
        m_readBytesMaxima[i] = std::max(m_readBytesMaxima[i], r);
        m_writtenBytesMaxima[i] = std::max(m_writtenBytesMaxima[i], w);
        read += r;
        written += w;
        // The menu's graphs keep their history while the menu is closed.
        if (i < m_menuViewsPerDisk.size() && menuBar) {
            if (auto* graph = qobject_cast<QRNGraphMenuView*>(m_menuViewsPerDisk[i][Graph].data()))
                graph->addNewValue(double(r), double(w));
        }
    }
    m_lastRead = read;
    m_lastWritten = written;
    if (menuBar)
        pushTotalsIntoCells(read, written);
    if (menuItems && isMenuVisible()) {
        for (size_t i = 0; i < m_menuViewsPerDisk.size() && i < monitorInstruments().size(); ++i)
            updateDiskBlock(i);
        updateMenuWidthForTextPairViewsIfNeeded();
    }
}

void QRNDiskMonitorItem::pushTotalsIntoCells(quint64 read, quint64 written)
{
    QRNMenuBarItemImage* image = menuBarImage();
    if (!image)
        return;
    const bool textChanged = read != m_shownRead || written != m_shownWritten;
    for (const auto& cell : image->menuBarCells()) {
        if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(cell.get())) {
            if (text->textStyle() != QRNTextMenuBarCell::TwoLines || !textChanged)
                continue;
            text->setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
            text->setStringValue(tr("\tR:\t%1/s").arg(CDP::displayTextForMemorySize(read, true)));
            text->setSecondaryStringValue(tr("\tW:\t%1/s").arg(CDP::displayTextForMemorySize(written, true)));
        } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(cell.get())) {
            graph->setShowsOpposedGraphs(m_showsOpposedGraphs);
            graph->setZoomsLocally(m_showsLocallyZoomedGraphs);
            graph->addNewValue(double(read), double(written));
        }
    }
    m_shownRead = read;
    m_shownWritten = written;
    image->refreshCells();
}

void QRNDiskMonitorItem::updateDiskBlock(size_t index)
{
    const DiskViews& views = m_menuViewsPerDisk[index];
    const QRNDiskInstrument& instrument = diskInstrument(index);
    const auto rate = [](quint64 amount) { return tr("%1/s").arg(CDP::displayTextForMemorySize(amount)); };
    const auto set = [&](size_t view, const QString& text) {
        if (QRNTextPairView* pair = textPair(views, view))
            pair->setRightStringValue(text);
    };
    if (QRNTextPairView* volumes = textPair(views, Volumes))
        volumes->setLeftStringValue(shortenedVolumeList(instrument.volumeNameList()));
    // Asking the power state never wakes the disk.
    set(Title, instrument.isDiskSleeping() ? tr("Sleeping") : QString());
    if (auto* graph = qobject_cast<QRNGraphMenuView*>(views[Graph].data())) {
        graph->setShowsOpposedGraphs(m_showsOpposedGraphs);
        graph->setZoomsLocally(m_showsLocallyZoomedGraphs);
    }
    set(ReadThroughput, rate(instrument.currentReadBytes()));
    set(WriteThroughput, rate(instrument.currentWrittenBytes()));
    set(ReadRate, tr("%1/s").arg(PaddedNumberFormat::count(instrument.currentReadOperations())));
    set(WriteRate, tr("%1/s").arg(PaddedNumberFormat::count(instrument.currentWriteOperations())));
    set(ReadPeak, rate(m_readBytesMaxima[index]));
    set(WritePeak, rate(m_writtenBytesMaxima[index]));
    set(ReadData, CDP::displayTextForMemorySize(instrument.accumulatedReadBytes()));
    set(WrittenData, CDP::displayTextForMemorySize(instrument.accumulatedWrittenBytes()));
    set(Reads, PaddedNumberFormat::count(instrument.accumulatedReadOperations()));
    set(Writes, PaddedNumberFormat::count(instrument.accumulatedWriteOperations()));
}

QString QRNDiskMonitorItem::toolTipText() const
{
    return tr("Disks") + u'\n' + tr("Read: %1/s").arg(CDP::displayTextForMemorySize(m_lastRead)) + u'\n'
        + tr("Write: %1/s").arg(CDP::displayTextForMemorySize(m_lastWritten));
}
