#include "configuration/NetworkTopic.h"

#include "instruments/QRNEquipmentMonitor.h"
#include "instruments/QRNNetInterfaceInstrument.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/NetworkSettingNames.h"
#include "settings/QRNHostUserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { SelectedColumn, NameColumn, DeviceColumn, StatusColumn, ColumnCount };

UserDefaults& defaults()
{
    return UserDefaults::standardUserDefaults();
}

} // namespace

NetworkTopic::NetworkTopic()
    : MonitorItemTopic(QStringLiteral("network"), tr("network icon"),
        ExampleCellTexts{QStringLiteral("NET"), QStringLiteral("W: 999.9 WW/s"),
            QStringLiteral("W:"), QStringLiteral(" 99"), QStringLiteral("\tI:\t20\tMB/s"), QStringLiteral("\tO:\t15\tMB/s"), true})
{
}

NetworkTopic::~NetworkTopic()
{
    for (NotificationCenter::Token token : m_observers)
        NotificationCenter::defaultCenter().removeObserver(token);
}

void NetworkTopic::init()
{
    MonitorItemTopic::init();
    recreateInterfaceDescriptions();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (const char* name : {EquipmentWasAddedNotification, EquipmentWasRemovedNotification}) {
        const bool online = name == EquipmentWasAddedNotification;
        m_observers.push_back(center.addObserver(QLatin1String(name), [this, online](const QString&, const QVariantMap& info) {
            if (info.value(QStringLiteral("Type")).toString() == QLatin1String("Net"))
                updateOnlineStatus(online, info.value(QStringLiteral("ID")).toString());
        }));
    }
}

void NetworkTopic::recreateInterfaceDescriptions()
{
    const QStringList stored = defaults().objectForKey(topicUserDefaultsKeyForKey(NetworkSettingName::MonitoredNetInterfaces)).toStringList();
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    QStringList present = QRNNetInterfaceInstrument::deviceNamesOfActiveInterfaces();
    present.sort();

    const auto displayNameOf = [](const QString& name) {
        const auto instrument = QRNNetInterfaceInstrument::instrumentForDeviceName(name);
        return instrument ? instrument->localizedName() : QString();
    };
    m_interfaceDescriptions.clear();
    for (const QString& name : stored) {
        if (name.isEmpty() || std::any_of(m_interfaceDescriptions.cbegin(), m_interfaceDescriptions.cend(),
                                  [&](const InterfaceDescription& d) { return d.deviceName == name; }))
            continue;
        QString display = displayNameOf(name);
        if (display.isEmpty())
            display = tr("Network interface %1").arg(name);
        m_interfaceDescriptions.push_back({name, display, present.removeAll(name) > 0, true});
    }
    for (const QString& name : std::as_const(present)) {
        const QString display = displayNameOf(name);
        if (!display.isEmpty())
            m_interfaceDescriptions.push_back({name, display, true, false});
    }
    refreshTable();
}

void NetworkTopic::setEnabled(bool enabled, int index)
{
    if (index < 0 || size_t(index) >= m_interfaceDescriptions.size() || m_interfaceDescriptions[size_t(index)].isSelected == enabled)
        return;
    m_interfaceDescriptions[size_t(index)].isSelected = enabled;
    updateUserDefaults();
    refreshTable();
}

void NetworkTopic::enableMonitoringOfAllInterfaces(bool enabled)
{
    for (InterfaceDescription& description : m_interfaceDescriptions)
        description.isSelected = enabled;
    updateUserDefaults();
    refreshTable();
}

void NetworkTopic::moveInterface(int from, int to)
{
    const int count = int(m_interfaceDescriptions.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    InterfaceDescription moved = m_interfaceDescriptions[size_t(from)];
    m_interfaceDescriptions.erase(m_interfaceDescriptions.begin() + from);
    m_interfaceDescriptions.insert(m_interfaceDescriptions.begin() + to, std::move(moved));
    updateUserDefaults();
    refreshTable();
}

void NetworkTopic::updateOnlineStatus(bool online, const QString& name)
{
    for (InterfaceDescription& description : m_interfaceDescriptions) {
        if (description.deviceName == name && description.isOnline != online) {
            description.isOnline = online;
            refreshTable();
        }
    }
}

void NetworkTopic::updateUserDefaults()
{
    QStringList selected;
    for (const InterfaceDescription& description : m_interfaceDescriptions) {
        if (description.isSelected)
            selected.append(description.deviceName);
    }
    QRNHostUserDefaults::setObject(selected, topicUserDefaultsKeyForKey(NetworkSettingName::MonitoredNetInterfaces));
}

void NetworkTopic::storeBool(const QString& name, bool value)
{
    QRNHostUserDefaults::setBool(value, topicUserDefaultsKeyForKey(name));
}

void NetworkTopic::setIndexOfGraphDisplayStyle(int index)
{
    storeBool(NetworkSettingName::ShowOpposedGraphs, index == 1);
}

void NetworkTopic::setIndexOfGraphZoomMode(int index)
{
    storeBool(NetworkSettingName::ShowLocallyZoomedGraphs, index == 1);
}

void NetworkTopic::setShowsReadingsAsBits(bool shows)
{
    storeBool(NetworkSettingName::ShowReadingsAsBits, shows);
}

void NetworkTopic::setShouldGetWANAddress(bool gets)
{
    storeBool(NetworkSettingName::ShouldGetWANAddress, gets);
}

void NetworkTopic::setWANUpdateInterval(int seconds)
{
    QRNHostUserDefaults::setInteger(std::max(0, seconds), topicUserDefaultsKeyForKey(NetworkSettingName::WANUpdateInterval));
}

void NetworkTopic::refreshTable()
{
    if (!m_table)
        return;
    m_refreshingTable = true;
    m_table->setRowCount(int(m_interfaceDescriptions.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const InterfaceDescription& description = m_interfaceDescriptions[size_t(row)];
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(description.isSelected ? Qt::Checked : Qt::Unchecked);
        m_table->setItem(row, SelectedColumn, check);
        const QString texts[] = {description.displayName, description.deviceName,
            description.isOnline ? tr("online") : tr("offline")};
        for (int column = NameColumn; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts[column - NameColumn]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_table->setItem(row, column, item);
        }
    }
    m_refreshingTable = false;
}

QWidget* NetworkTopic::createContentView()
{
    QWidget* page = makeStandardPage();
    QVBoxLayout* layout = pageLayout();

    auto* intro = new QLabel(tr("Interfaces shown in the menu, in this order (the interface of the default route is always shown first):"));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_table = new QTableWidget(0, ColumnCount);
    m_table->setObjectName(QStringLiteral("interfaceTable"));
    m_table->setHorizontalHeaderLabels({tr("Show"), tr("Interface"), tr("Device"), tr("Status")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_refreshingTable && item->column() == SelectedColumn)
            setEnabled(item->checkState() == Qt::Checked, item->row());
    });
    layout->addWidget(m_table);
    refreshTable();

    auto* buttons = new QHBoxLayout;
    const auto moveSelected = [this](int step) {
        const int row = m_table->currentRow();
        moveInterface(row, row + step);
        m_table->selectRow(std::clamp(row + step, 0, m_table->rowCount() - 1));
    };
    auto* up = new QPushButton(tr("Move Up"));
    up->setObjectName(QStringLiteral("moveUpButton"));
    connect(up, &QPushButton::clicked, this, [moveSelected] { moveSelected(-1); });
    auto* down = new QPushButton(tr("Move Down"));
    down->setObjectName(QStringLiteral("moveDownButton"));
    connect(down, &QPushButton::clicked, this, [moveSelected] { moveSelected(1); });
    auto* all = new QPushButton(tr("Show All"));
    connect(all, &QPushButton::clicked, this, [this] { enableMonitoringOfAllInterfaces(true); });
    auto* none = new QPushButton(tr("Show None"));
    connect(none, &QPushButton::clicked, this, [this] { enableMonitoringOfAllInterfaces(false); });
    for (QPushButton* button : {up, down, all, none})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto* form = new QFormLayout;
    auto* style = new QComboBox;
    style->setObjectName(QStringLiteral("graphDisplayStyle"));
    style->addItems({tr("Incoming and outgoing stacked"), tr("Outgoing drawn downwards")});
    style->setCurrentIndex(defaults().boolForKey(topicUserDefaultsKeyForKey(NetworkSettingName::ShowOpposedGraphs)) ? 1 : 0);
    connect(style, &QComboBox::currentIndexChanged, this, &NetworkTopic::setIndexOfGraphDisplayStyle);
    form->addRow(tr("Graphs:"), style);
    auto* zoom = new QComboBox;
    zoom->setObjectName(QStringLiteral("graphZoomMode"));
    zoom->addItems({tr("Scaled to the highest rate so far"), tr("Scaled to the visible values")});
    zoom->setCurrentIndex(defaults().boolForKey(topicUserDefaultsKeyForKey(NetworkSettingName::ShowLocallyZoomedGraphs)) ? 1 : 0);
    connect(zoom, &QComboBox::currentIndexChanged, this, &NetworkTopic::setIndexOfGraphZoomMode);
    form->addRow(tr("Graph scale:"), zoom);
    layout->addLayout(form);

    auto* bits = new QCheckBox(tr("Show rates and amounts in bits"));
    bits->setObjectName(QStringLiteral("readingsAsBits"));
    bits->setChecked(defaults().boolForKey(topicUserDefaultsKeyForKey(NetworkSettingName::ShowReadingsAsBits)));
    connect(bits, &QCheckBox::toggled, this, &NetworkTopic::setShowsReadingsAsBits);
    layout->addWidget(bits);

    auto* wan = new QCheckBox(tr("Show the public (WAN) addresses"));
    wan->setObjectName(QStringLiteral("publicAddress"));
    wan->setChecked(defaults().boolForKey(topicUserDefaultsKeyForKey(NetworkSettingName::ShouldGetWANAddress)));
    connect(wan, &QCheckBox::toggled, this, &NetworkTopic::setShouldGetWANAddress);
    layout->addWidget(wan);
    auto* privacy = new QLabel(tr("While this is ticked, Vistrel asks an IP reflector service on the internet "
                                  "which address your connection has; the menu names the service."));
    privacy->setWordWrap(true);
    layout->addWidget(privacy);
    auto* interval = new QSpinBox;
    interval->setObjectName(QStringLiteral("publicAddressInterval"));
    interval->setRange(0, 86400);
    interval->setSuffix(tr(" s"));
    interval->setSpecialValueText(tr("only after network changes"));
    interval->setValue(int(defaults().integerForKey(topicUserDefaultsKeyForKey(NetworkSettingName::WANUpdateInterval))));
    interval->setEnabled(wan->isChecked());
    connect(wan, &QCheckBox::toggled, interval, &QSpinBox::setEnabled);
    connect(interval, &QSpinBox::valueChanged, this, &NetworkTopic::setWANUpdateInterval);
    auto* intervalForm = new QFormLayout;
    intervalForm->addRow(tr("Ask again every:"), interval);
    layout->addLayout(intervalForm);
    return page;
}
