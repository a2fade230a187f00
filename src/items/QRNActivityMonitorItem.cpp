#include "items/QRNActivityMonitorItem.h"

#include "instruments/QRNDiskActivityInstrument.h"
#include "instruments/QRNNetActivityInstrument.h"
#include "items/ActivitySettingNames.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNStateMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/defaults/PropertyList.h"
#include "platform/log/Log.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/SettingNames.h"
#include "storage/QRNPhysicalDisk.h"
#include "support/EventLog.h"

namespace {

// The ID of an equipment notification of the kind; empty for another kind.
QString equipment(const QVariantMap& userInfo, QLatin1String type)
{
    if (userInfo.value(QStringLiteral("Type")).toString() != type)
        return {};
    return userInfo.value(QStringLiteral("ID")).toString();
}

const QLatin1String DiskType("Disk");
const QLatin1String NetType("Net");

std::unique_ptr<QRNMenuBarCell> label(const QString& text)
{
    std::unique_ptr<QRNMenuBarCell> cell = QRNMenuBarCell::newMenuBarCellForStringCode(QStringLiteral("QRNTextMenuBarCell:V"));
    static_cast<QRNTextMenuBarCell&>(*cell).setStringValue(text);
    return cell;
}

} // namespace

QRNActivityMonitorItem::QRNActivityMonitorItem()
    : QRNActivityMonitorItem(QRNPhysicalDisk::isSerialNumberPrivacyEnabled())
{
}

QRNActivityMonitorItem::QRNActivityMonitorItem(bool suppressSerials)
    : m_suppressSerials(suppressSerials)
{
    m_equipment.observe([this](const QVariantMap& userInfo) { equipmentWasAdded(userInfo); },
        [this](const QVariantMap& userInfo) { equipmentWasRemoved(userInfo); });
}

QRNActivityMonitorItem::~QRNActivityMonitorItem() = default;

std::unique_ptr<QRNMonitorItem> QRNActivityMonitorItem::create(const QStringList& codes)
{
    auto item = std::make_unique<QRNActivityMonitorItem>();
    if (!item->initWithCellConfiguration(codes))
        return nullptr;
    return item;
}

QStringList QRNActivityMonitorItem::settingNames()
{
    return {ActivitySettingName::MonitoredDisks, ActivitySettingName::MonitoredNetInterfaces, ActivitySettingName::UseUpDownNetworkIcons};
}

bool QRNActivityMonitorItem::initWithCellConfiguration(const QStringList& codes)
{
    if (!codes.isEmpty())
        Log::error("%{public}@: this monitor item uses autoconfiguration for menu-bar cells. Ignoring configuration codes.", {className()});
    // A placeholder until the settings name the devices.
    return QRNMonitorItem::initWithCellConfiguration({QStringLiteral("QRNTextMenuBarCell:N")});
}

QRNActivityInstrument& QRNActivityMonitorItem::activityInstrument(size_t index) const
{
    return static_cast<QRNActivityInstrument&>(*monitorInstruments()[index]);
}

void QRNActivityMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    // Everything one setting changes is shown by one rebuild.
    m_cellUpdateInterlock = true;
    const QString& name = key.name();
    if (name.endsWith(ActivitySettingName::MonitoredDisks) && PropertyList::isArray(value)) {
        takeDisks(value.toList());
    } else if (name.endsWith(ActivitySettingName::MonitoredNetInterfaces) && PropertyList::isArray(value)) {
        takeInterfaces(value.toList());
    } else if (name.endsWith(ActivitySettingName::UseUpDownNetworkIcons) && isBooleanValue(value)) {
        m_usesUpDownNetworkMarkers = value.toBool();
    } else if (name == SettingName::MenuBarConfiguration) {
        if (!value.toList().isEmpty())
            Log::error("%{public}@: this monitor item uses autoconfiguration for menu-bar cells. Ignoring configuration codes.", {className()});
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
    m_cellUpdateInterlock = false;
    autoconfigureMenu();
}

void QRNActivityMonitorItem::takeDisks(const QVariantList& entries)
{
    for (qsizetype count = m_monitoredDiskIdentifications.size(); count > 0; --count)
        removeDiskWithIdentification(m_monitoredDiskIdentifications.first());
    // The list is the whole choice: absent disks it no longer names are forgotten.
    m_offlineDiskIdentifications.clear();
    for (const QVariant& entry : entries) {
        const QVariantMap map = entry.toMap();
        addDiskWithIdentification(map.value(ActivitySettingName::Identification).toString(),
            map.value(ActivitySettingName::TriState).toBool() ? QRNStateMenuBarCell::Coloured : QRNStateMenuBarCell::Monochrome);
    }
}

void QRNActivityMonitorItem::takeInterfaces(const QVariantList& entries)
{
    for (qsizetype count = m_monitoredInterfaceNames.size(); count > 0; --count)
        removeInterfaceWithName(m_monitoredInterfaceNames.first());
    m_offlineInterfaceNames.clear();
    for (const QVariant& entry : entries) {
        const QVariantMap map = entry.toMap();
        addInterfaceWithName(map.value(ActivitySettingName::Identification).toString(),
            map.value(ActivitySettingName::TriState).toBool() ? QRNStateMenuBarCell::Coloured : QRNStateMenuBarCell::Monochrome);
    }
}

void QRNActivityMonitorItem::addDiskWithIdentification(const QString& identification, int displayStyle)
{
    if (identification.isEmpty() || m_monitoredDiskIdentifications.contains(identification))
        return;
    std::shared_ptr<QRNDiskActivityInstrument> instrument = QRNDiskActivityInstrument::diskActivityInstrumentForIdentification(identification);
    if (!instrument) {
        m_offlineDiskIdentifications.insert(identification, displayStyle);
        return;
    }
    Instruments instruments = monitorInstruments();
    instruments.insert(instruments.begin() + m_monitoredDiskIdentifications.size(), std::move(instrument));
    setMonitorInstruments(std::move(instruments));
    m_monitoredDiskIdentifications.append(identification);
    m_diskDisplayStyles.push_back(displayStyle);
    autoconfigureMenu();
}

void QRNActivityMonitorItem::removeDiskWithIdentification(const QString& identification)
{
    const qsizetype index = m_monitoredDiskIdentifications.indexOf(identification);
    if (index < 0) {
        m_offlineDiskIdentifications.remove(identification);
        return;
    }
    Instruments instruments = monitorInstruments();
    instruments.erase(instruments.begin() + index);
    setMonitorInstruments(std::move(instruments));
    m_monitoredDiskIdentifications.removeAt(index);
    m_diskDisplayStyles.erase(m_diskDisplayStyles.begin() + index);
    autoconfigureMenu();
}

void QRNActivityMonitorItem::addInterfaceWithName(const QString& name, int displayStyle)
{
    if (name.isEmpty() || m_monitoredInterfaceNames.contains(name))
        return;
    std::shared_ptr<QRNNetActivityInstrument> instrument = QRNNetActivityInstrument::netActivityInstrumentForIdentification(name);
    if (!instrument) {
        m_offlineInterfaceNames.insert(name, displayStyle);
        return;
    }
    addMonitorInstrument(std::move(instrument));
    m_monitoredInterfaceNames.append(name);
    m_netDisplayStyles.push_back(displayStyle);
    autoconfigureMenu();
}

void QRNActivityMonitorItem::removeInterfaceWithName(const QString& name)
{
    const qsizetype index = m_monitoredInterfaceNames.indexOf(name);
    if (index < 0) {
        m_offlineInterfaceNames.remove(name);
        return;
    }
    Instruments instruments = monitorInstruments();
    instruments.erase(instruments.begin() + m_monitoredDiskIdentifications.size() + index);
    setMonitorInstruments(std::move(instruments));
    m_monitoredInterfaceNames.removeAt(index);
    m_netDisplayStyles.erase(m_netDisplayStyles.begin() + index);
    autoconfigureMenu();
}

void QRNActivityMonitorItem::equipmentWasAdded(const QVariantMap& userInfo)
{
    EventLog::append(QStringLiteral("%1: equipment with ID '%2' was added.\n").arg(className(), userInfo.value(QStringLiteral("ID")).toString()));
    if (const QString disk = equipment(userInfo, DiskType); m_offlineDiskIdentifications.contains(disk))
        addDiskWithIdentification(disk, m_offlineDiskIdentifications.take(disk));
    else if (const QString name = equipment(userInfo, NetType); m_offlineInterfaceNames.contains(name))
        addInterfaceWithName(name, m_offlineInterfaceNames.take(name));
}

void QRNActivityMonitorItem::equipmentWasRemoved(const QVariantMap& userInfo)
{
    EventLog::append(QStringLiteral("%1: equipment with ID '%2' was removed.\n").arg(className(), userInfo.value(QStringLiteral("ID")).toString()));
    if (const QString disk = equipment(userInfo, DiskType); m_monitoredDiskIdentifications.contains(disk)) {
        const int style = m_diskDisplayStyles[size_t(m_monitoredDiskIdentifications.indexOf(disk))];
        removeDiskWithIdentification(disk);
        m_offlineDiskIdentifications.insert(disk, style);
    } else if (const QString name = equipment(userInfo, NetType); m_monitoredInterfaceNames.contains(name)) {
        const int style = m_netDisplayStyles[size_t(m_monitoredInterfaceNames.indexOf(name))];
        removeInterfaceWithName(name);
        m_offlineInterfaceNames.insert(name, style);
    }
}

void QRNActivityMonitorItem::autoconfigureMenu()
{
    QRNMenuBarItemImage* image = menuBarImage();
    if (m_cellUpdateInterlock || !image)
        return;
    QRNMenuBarItemImage::Cells cells;
    m_lamps.clear();
    const auto addLamps = [&](const std::vector<int>& styles, bool upDown) {
        for (int style : styles) {
            auto lamp = std::make_unique<QRNStateMenuBarCell>();
            lamp->setDisplayStyle(style);
            lamp->setUsesUpDownStyle(upDown);
            // The lamp starts in the state its instrument last saw, not blank until the next tick.
            lamp->setActivityState(int(activityInstrument(m_lamps.size()).currentActivity()));
            m_lamps.push_back(lamp.get());
            cells.push_back(std::move(lamp));
        }
    };
    if (isMonitoringDisks()) {
        cells.push_back(label(QStringLiteral("HD")));
        addLamps(m_diskDisplayStyles, false);
    }
    if (isMonitoringNetworkInterfaces()) {
        cells.push_back(label(QStringLiteral("NET")));
        addLamps(m_netDisplayStyles, m_usesUpDownNetworkMarkers);
    }
    image->setMenuBarCells(std::move(cells));
    rebuildMenu();
}

void QRNActivityMonitorItem::updateInterfaceMenuBar(bool menuBar, bool)
{
    // The menu only names the devices: nothing in it changes on a tick.
    if (!menuBar || m_lamps.size() != monitorInstruments().size())
        return;
    bool changed = false;
    for (size_t i = 0; i < m_lamps.size(); ++i) {
        const int state = int(activityInstrument(i).currentActivity());
        if (m_lamps[i]->activityState() == state)
            continue;
        m_lamps[i]->setActivityState(state);
        changed = true;
    }
    // Most ticks change no lamp; then nothing is drawn and the bar is not disturbed.
    if (changed)
        menuBarImage()->refreshCells();
}

void QRNActivityMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    addHeadingView(tr("System Activity"), menu);
    if (isMonitoringDisks()) {
        menu.addSeparator();
        for (qsizetype i = 0; i < m_monitoredDiskIdentifications.size(); ++i) {
            const QString& identification = m_monitoredDiskIdentifications[i];
            menu.addAction(QStringLiteral("HD %1: %2")
                               .arg(i + 1)
                               .arg(m_suppressSerials ? equipmentIdentificationWithoutSerialNumberSuffixFor(identification) : identification));
        }
    }
    if (isMonitoringNetworkInterfaces()) {
        menu.addSeparator();
        for (qsizetype i = 0; i < m_monitoredInterfaceNames.size(); ++i)
            menu.addAction(tr("NET %1: Interface '%2'").arg(i + 1).arg(m_monitoredInterfaceNames[i]));
    }
    menu.addSeparator();
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

QString QRNActivityMonitorItem::toolTipText() const
{
    return tr("System Activity");
}
