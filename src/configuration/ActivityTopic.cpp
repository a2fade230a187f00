#include "configuration/ActivityTopic.h"

#include "configuration/ActivityDeviceTable.h"
#include "instruments/QRNDiskInstrument.h"
#include "instruments/QRNNetActivityInstrument.h"
#include "items/ActivitySettingNames.h"
#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/net/NetInterfaceReader.h"
#include "settings/QRNHostUserDefaults.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

enum Column { DeviceColumn = 0, ColouredColumn = 1 };

std::vector<ActivityDeviceList::Device> presentDisks()
{
    std::vector<ActivityDeviceList::Device> disks;
    for (const auto& instrument : QRNDiskInstrument::diskInstrumentsForAllDevices())
        disks.push_back({instrument->diskIdentification(), {}});
    return disks;
}

// The interfaces that have an activity instrument and a display name.
std::vector<ActivityDeviceList::Device> presentInterfaces()
{
    const NetInterfaceReader reader;
    std::vector<ActivityDeviceList::Device> interfaces;
    for (const auto& instrument : QRNNetActivityInstrument::netActivityInstrumentsForAllHardwareInterfaces()) {
        const QString name = instrument->deviceIdentification();
        if (const QString display = reader.displayName(name); !display.isEmpty())
            interfaces.push_back({name, display});
    }
    return interfaces;
}

QVariantList storedList(const QString& key)
{
    const QVariant stored = UserDefaults::standardUserDefaults().objectForKey(key);
    return PropertyList::isArray(stored) ? stored.toList() : QVariantList();
}

} // namespace

ActivityTopic::ActivityTopic()
{
    m_equipment.observe([this](const QVariantMap& userInfo) { updateOnlineStatus(true, userInfo); },
        [this](const QVariantMap& userInfo) { updateOnlineStatus(false, userInfo); });
}

ActivityTopic::~ActivityTopic() = default;

QString ActivityTopic::systemSymbolNameOfIcon() const
{
    return QStringLiteral("lightbulb");
}

QString ActivityTopic::accessibilityDescriptionOfIcon() const
{
    return tr("light bulb activity icon");
}

void ActivityTopic::init()
{
    m_usesUpDownNetworkMarkers
        = UserDefaults::standardUserDefaults().boolForKey(topicUserDefaultsKeyForKey(ActivitySettingName::UseUpDownNetworkIcons));
    recreateObjectDescriptions();
    ConfigurationTopic::init();
}

void ActivityTopic::recreateObjectDescriptions()
{
    m_disks.recreate(storedList(topicUserDefaultsKeyForKey(ActivitySettingName::MonitoredDisks)), presentDisks(),
        [](const QString&) { return std::optional<QString>(QString()); });
    // A chosen interface is listed only while it is there to be named.
    const std::vector<ActivityDeviceList::Device> interfaces = presentInterfaces();
    m_interfaces.recreate(storedList(topicUserDefaultsKeyForKey(ActivitySettingName::MonitoredNetInterfaces)), interfaces,
        [&](const QString& name) -> std::optional<QString> {
            for (const auto& device : interfaces) {
                if (device.identification == name)
                    return device.displayName;
            }
            return std::nullopt;
        });
    fillTable(Table::Disks);
    fillTable(Table::Interfaces);
}

void ActivityTopic::setupInitialDefaultSetOfMonitoredItems()
{
    m_disks.enableMonitoringOfAllDevices(true);
    m_interfaces.enableMonitoringOfAllDevices(true);
    changed(Table::Disks);
    changed(Table::Interfaces);
}

void ActivityTopic::setEnabled(Table table, bool enabled, size_t index)
{
    if (list(table).setEnabled(enabled, index))
        changed(table);
}

void ActivityTopic::set3State(Table table, bool coloured, size_t index)
{
    if (list(table).set3State(coloured, index))
        changed(table);
}

void ActivityTopic::enableMonitoringOfAll(Table table, bool enabled)
{
    list(table).enableMonitoringOfAllDevices(enabled);
    changed(table);
}

void ActivityTopic::moveRows(Table table, const std::vector<size_t>& rows, size_t dropRow)
{
    if (list(table).moveRows(rows, dropRow))
        changed(table);
}

void ActivityTopic::changed(Table table)
{
    updateUserDefaults();
    fillTable(table);
}

void ActivityTopic::updateOnlineStatus(bool online, const QVariantMap& equipmentNotification)
{
    const QString type = equipmentNotification.value(QStringLiteral("Type")).toString();
    const QString identification = equipmentNotification.value(QStringLiteral("ID")).toString();
    if (identification.isEmpty())
        return;
    if (type == QLatin1String("Disk")) {
        m_disks.updateOnlineStatus(online, {identification, {}});
        fillTable(Table::Disks);
    } else if (type == QLatin1String("Net")) {
        const auto known = std::find_if(m_interfaces.rows().begin(), m_interfaces.rows().end(),
            [&](const ActivityDeviceList::Row& row) { return row.identification == identification; });
        // A new interface joins only when it can be watched and named.
        QString display;
        if (known == m_interfaces.rows().end() && online) {
            if (!QRNNetActivityInstrument::netActivityInstrumentForIdentification(identification))
                return;
            display = NetInterfaceReader().displayName(identification);
            if (display.isEmpty())
                return;
        }
        m_interfaces.updateOnlineStatus(online, {identification, display});
        fillTable(Table::Interfaces);
    }
}

void ActivityTopic::setUsesUpDownNetworkMarkers(bool upDown)
{
    m_usesUpDownNetworkMarkers = upDown;
    QRNHostUserDefaults::setBool(upDown, topicUserDefaultsKeyForKey(ActivitySettingName::UseUpDownNetworkIcons));
    if (m_upDownSwitch && m_upDownSwitch->isChecked() != upDown) {
        const QSignalBlocker blocker(m_upDownSwitch);
        m_upDownSwitch->setChecked(upDown);
    }
}

void ActivityTopic::updateUserDefaults()
{
    QRNHostUserDefaults::setObject(m_disks.monitoredDevices(), topicUserDefaultsKeyForKey(ActivitySettingName::MonitoredDisks));
    QRNHostUserDefaults::setObject(m_interfaces.monitoredDevices(), topicUserDefaultsKeyForKey(ActivitySettingName::MonitoredNetInterfaces));
}

QWidget* ActivityTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    const auto addTable = [&](Table table, const QString& title, const QString& heading, const QString& name) {
        pageLayout()->addWidget(new QLabel(title));
        auto* view = new ActivityDeviceTable(heading, [this, table](const std::vector<size_t>& rows, size_t dropRow) {
            moveRows(table, rows, dropRow);
        });
        view->setObjectName(name);
        connect(view, &QTreeWidget::itemChanged, this, [this, table, view](QTreeWidgetItem* item, int column) {
            const size_t row = size_t(view->indexOfTopLevelItem(item));
            const bool checked = item->checkState(column) == Qt::Checked;
            if (column == DeviceColumn)
                setEnabled(table, checked, row);
            else
                set3State(table, checked, row);
        });
        pageLayout()->addWidget(view);
        auto* buttons = new QHBoxLayout;
        // Select All carries tag 0, Select None tag 1.
        for (int tag : {0, 1}) {
            auto* button = new QPushButton(tag == 0 ? tr("Select All") : tr("Select None"));
            button->setObjectName(name + (tag == 0 ? QStringLiteral("SelectAll") : QStringLiteral("SelectNone")));
            connect(button, &QPushButton::clicked, this, [this, table, tag] { enableMonitoringOfAll(table, tag == 0); });
            buttons->addWidget(button);
        }
        buttons->addStretch(1);
        pageLayout()->addLayout(buttons);
        return view;
    };
    m_diskTable = addTable(Table::Disks, tr("Disks (drag to change the order of their lamps):"), tr("Disk"), QStringLiteral("diskTable"));
    m_interfaceTable = addTable(Table::Interfaces, tr("Network interfaces (drag to change the order of their lamps):"),
        tr("Interface"), QStringLiteral("interfaceTable"));
    m_upDownSwitch = new QCheckBox(tr("Show network activity as up and down arcs"));
    m_upDownSwitch->setObjectName(QStringLiteral("upDownSwitch"));
    m_upDownSwitch->setChecked(m_usesUpDownNetworkMarkers);
    connect(m_upDownSwitch, &QCheckBox::toggled, this, &ActivityTopic::setUsesUpDownNetworkMarkers);
    pageLayout()->addWidget(m_upDownSwitch);
    fillTable(Table::Disks);
    fillTable(Table::Interfaces);
    return page;
}

void ActivityTopic::fillTable(Table table)
{
    ActivityDeviceTable* view = table == Table::Disks ? m_diskTable : m_interfaceTable;
    if (!view)
        return;
    const QSignalBlocker blocker(view);
    view->clear();
    for (const ActivityDeviceList::Row& row : list(table).rows()) {
        QString text = row.displayName.isEmpty() ? row.identification : tr("%1 (%2)").arg(row.displayName, row.identification);
        if (!row.isOnline)
            text = tr("%1 (offline)").arg(text);
        auto* item = new QTreeWidgetItem(view, {text, QString()});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setCheckState(DeviceColumn, row.isSelected ? Qt::Checked : Qt::Unchecked);
        item->setCheckState(ColouredColumn, row.is3State ? Qt::Checked : Qt::Unchecked);
    }
}
