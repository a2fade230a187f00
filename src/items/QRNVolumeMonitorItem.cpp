#include "items/QRNVolumeMonitorItem.h"

#include "instruments/QRNFileSystemInstrument.h"
#include "menubar/QRNLevelIndicatorView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/mounts/MountMonitor.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "support/CDP.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QWidgetAction>

namespace {
constexpr double WarningLevel = 0.2;
constexpr double CriticalLevel = 0.1;

double share(quint64 part, quint64 whole)
{
    return whole ? double(part) / double(whole) : 0.0;
}
} // namespace

QRNVolumeMonitorItem::QRNVolumeMonitorItem()
    : QRNVolumeMonitorItem(MountMonitor::shared())
{
}

QRNVolumeMonitorItem::QRNVolumeMonitorItem(MountMonitor& mounts)
    : m_mounts(mounts)
{
    connect(&m_mounts, &MountMonitor::mountsChanged, this, &QRNVolumeMonitorItem::mountsChanged);
}

QRNVolumeMonitorItem::~QRNVolumeMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNVolumeMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNVolumeMonitorItem>(codes);
}

QStringList QRNVolumeMonitorItem::settingNames()
{
    return {SettingName::MonitoredPaths, SettingName::FreeDefinitionMode};
}

void QRNVolumeMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name == SettingName::MonitoredPaths && value.typeId() == QMetaType::QVariantList) {
        for (qsizetype i = m_monitoredPaths.size(); i > 0; --i)
            removeMonitoredPath(m_monitoredPaths.first());
        for (const QVariant& path : value.toList())
            addMonitoredPath(path.toString());
        updateInterface();
    } else if (name == SettingName::FreeDefinitionMode && isBooleanValue(value)) {
        setFreeDefinitionMode(qint8(value.toInt()));
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
}

void QRNVolumeMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell);
    if (!text)
        return;
    if (text->textStyle() == QRNTextMenuBarCell::TwoLines)
        text->setFixedWidthBasedOnMaximumString(QStringLiteral("W: 999.9 WW"));
    else
        text->setStringValue(QStringLiteral("VOL"));
}

void QRNVolumeMonitorItem::addMonitoredPath(const QString& path)
{
    if (path.isEmpty())
        return;
    m_monitoredPaths.append(path);
    auto instrument = std::make_shared<QRNFileSystemInstrument>(m_mounts);
    if (m_prepareInstrument)
        m_prepareInstrument(*instrument);
    instrument->setFileSystemPath(path);
    addMonitorInstrument(std::move(instrument));
    rebuildMenu();
}

void QRNVolumeMonitorItem::removeMonitoredPath(const QString& path)
{
    const qsizetype index = m_monitoredPaths.indexOf(path);
    if (index < 0)
        return;
    m_monitoredPaths.removeAt(index);
    Instruments instruments = monitorInstruments();
    instruments.erase(instruments.begin() + index);
    setMonitorInstruments(std::move(instruments));
    rebuildMenu();
}

QRNFileSystemInstrument& QRNVolumeMonitorItem::fileSystemInstrument(size_t index) const
{
    return static_cast<QRNFileSystemInstrument&>(*monitorInstruments().at(index));
}

void QRNVolumeMonitorItem::updateOfflineStatus(bool offline, const QString& mountPoint)
{
    if (mountPoint.isEmpty())
        return;
    // Every entry of a path chosen twice, not only the first, or the second
    // would stay offline for good.
    for (qsizetype i = 0; i < m_monitoredPaths.size(); ++i) {
        if (m_monitoredPaths.at(i) == mountPoint)
            fileSystemInstrument(size_t(i)).setIsOffline(offline);
    }
}

void QRNVolumeMonitorItem::mountsChanged(const QStringList& mounted, const QStringList& unmounted)
{
    for (const QString& mountPoint : unmounted)
        updateOfflineStatus(true, mountPoint);
    for (const QString& mountPoint : mounted)
        updateOfflineStatus(false, mountPoint);
    updateInterface();
}

void QRNVolumeMonitorItem::setFreeDefinitionMode(int mode)
{
    if (mode == m_freeDefinitionMode)
        return;
    m_freeDefinitionMode = mode;
    rebuildMenu();
    updateInterface();
}

quint64 QRNVolumeMonitorItem::freeSpaceFromFileSystemInstrument(const QRNFileSystemInstrument& instrument, int mode)
{
    switch (mode) {
    case OpportunisticCapacity: return instrument.freeSpaceForOpportunisticUse();
    case ImportantCapacity: return instrument.freeSpaceForImportantUse();
    default: return instrument.freeSpace();
    }
}

std::pair<quint64, quint64> QRNVolumeMonitorItem::totals() const
{
    quint64 free = 0;
    quint64 total = 0;
    for (size_t i = 0; i < monitorInstruments().size(); ++i) {
        const QRNFileSystemInstrument& instrument = fileSystemInstrument(i);
        free += freeSpaceFromFileSystemInstrument(instrument, m_freeDefinitionMode);
        total += instrument.totalSpace();
    }
    return {total > free ? total - free : 0, free};
}

void QRNVolumeMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    if (menuBar) {
        const auto [used, free] = totals();
        pushUsedAndFreeIntoCells(used, free, share(used, used + free), false);
    }
    if (menuItems && isMenuVisible())
        updateMenuRows();
}

void QRNVolumeMonitorItem::updateMenuRows()
{
    for (size_t i = 0; i < m_menuViewsPerVolume.size() && i < monitorInstruments().size(); ++i) {
        const QRNFileSystemInstrument& instrument = fileSystemInstrument(i);
        const VolumeViews& views = m_menuViewsPerVolume[i];
        const quint64 free = freeSpaceFromFileSystemInstrument(instrument, m_freeDefinitionMode);
        const quint64 total = instrument.totalSpace();
        const bool offline = instrument.isOffline();
        if (views.name)
            views.name->setLeftStringValue(instrument.displayName(), offline);
        if (views.used)
            views.used->setRightStringValue(CDP::displayTextForMemorySize(total > free ? total - free : 0), offline);
        if (views.free)
            views.free->setRightStringValue(CDP::displayTextForMemorySize(free), offline);
        if (views.level)
            views.level->setDoubleValue(share(free, total));
    }
    updateMenuWidthForTextPairViewsIfNeeded();
}

void QRNVolumeMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("Disk Volumes"), menu);
    m_menuViewsPerVolume.clear();
    QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    bold.setBold(true);
    for (size_t i = 0; i < monitorInstruments().size(); ++i) {
        VolumeViews views;
        views.name = addTextPairView(QString(), QString(), &menu);
        views.name->setFont(bold);
        views.used = addTextPairView(tr("Used:"), QString(), &menu);
        views.free = addTextPairView(tr("Free:"), QString(), &menu);
        auto* level = new QRNLevelIndicatorView;
        level->setMinValue(0.0);
        level->setMaxValue(1.0);
        level->setWarningValue(WarningLevel);
        level->setCriticalValue(CriticalLevel);
        auto* row = new QWidgetAction(&menu);
        row->setDefaultWidget(level);
        menu.addAction(row);
        views.level = level;
        menu.addSeparator();
        m_menuViewsPerVolume.push_back(views);
    }
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

QString QRNVolumeMonitorItem::toolTipText() const
{
    const quint64 free = totals().second;
    return tr("Disk Volumes") + u'\n' + tr("%1 free").arg(CDP::displayTextForMemorySize(free));
}
