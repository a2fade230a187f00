#include "items/QRNNetMonitorItem.h"

#include "instruments/QRNEquipmentMonitor.h"
#include "instruments/QRNNetInterfaceInstrument.h"
#include "instruments/QRNWANIPAddress.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNGraphMenuView.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "menubar/QRNTextPairView.h"
#include "platform/hotplug/RtnetlinkWatch.h"
#include "platform/log/Log.h"
#include "platform/net/DefaultRoute.h"
#include "platform/statusbar/StatusMenu.h"
#include "settings/NetworkSettingNames.h"
#include "support/CDP.h"
#include "support/EventLog.h"
#include "support/PaddedNumberFormat.h"

#include <QWidgetAction>

namespace {

constexpr quint32 GraphCapacity = 30;
constexpr int MaximumRetries = 14;
// Incoming, Outgoing, Packets in/s, Packets out/s, Peak value in, Peak value
// out, Received, Sent, Packets received, Packets sent.
constexpr size_t ValueRows = 10;

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

QRNNetMonitorItem::QRNNetMonitorItem()
    : QRNNetMonitorItem([] { return DefaultRoute::primaryInterface(); }, Delays())
{
}

QRNNetMonitorItem::QRNNetMonitorItem(std::function<QString()> primaryInterface, Delays delays)
    : m_primaryInterface(std::move(primaryInterface))
    , m_delays(delays)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    m_observers.push_back(center.addObserver(QLatin1String(EquipmentWasAddedNotification),
        [this](const QString&, const QVariantMap& info) { equipmentWasAdded(info); }));
    m_observers.push_back(center.addObserver(QLatin1String(EquipmentWasRemovedNotification),
        [this](const QString&, const QVariantMap& info) { equipmentWasRemoved(info); }));
    m_observers.push_back(center.addObserver(QLatin1String(NetworkConfigurationDidChangeNotification),
        [this](const QString& name, const QVariantMap&) { dynamicSystemConfiguration({name}); }));

    m_networkChangeEventTimer.setSingleShot(true);
    connect(&m_networkChangeEventTimer, &QTimer::timeout, this, &QRNNetMonitorItem::handleNetworkConfigurationChange);
    connect(&m_wanUpdateTimer, &QTimer::timeout, this, &QRNNetMonitorItem::updateWANAddress);

    m_internetDeviceName = deviceNameOfInternetInterface();
    QTimer::singleShot(m_delays.firstPrimaryCheck, this, &QRNNetMonitorItem::performCheckForDynamicInternetInstrumentation);
}

QRNNetMonitorItem::~QRNNetMonitorItem()
{
    for (NotificationCenter::Token token : m_observers)
        NotificationCenter::defaultCenter().removeObserver(token);
}

std::unique_ptr<QRNMonitorItem> QRNNetMonitorItem::create(const QStringList& codes)
{
    return createWithCellConfiguration<QRNNetMonitorItem>(codes);
}

QStringList QRNNetMonitorItem::defaultCellConfiguration()
{
    return {QStringLiteral("QRNTextMenuBarCell:2"), QStringLiteral("QRNGraphMenuBarCell:2O")};
}

QStringList QRNNetMonitorItem::settingNames()
{
    return {NetworkSettingName::MonitoredNetInterfaces, NetworkSettingName::ShowOpposedGraphs,
        NetworkSettingName::ShowLocallyZoomedGraphs, NetworkSettingName::ShowReadingsAsBits,
        NetworkSettingName::ShouldGetWANAddress, NetworkSettingName::WANUpdateInterval};
}

void QRNNetMonitorItem::handleChangeOfUserDefault(const SettingsKey& key, const QVariant& value)
{
    const QString& name = key.name();
    if (name == NetworkSettingName::MonitoredNetInterfaces && value.canConvert<QStringList>()
        && value.typeId() != QMetaType::QString) {
        setMonitoredInterfaces(value.toStringList());
    } else if (name == NetworkSettingName::WANUpdateInterval && isBooleanValue(value)) {
        setWANAddressUpdateInterval(value.toDouble());
    } else if (!isBooleanValue(value)) {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    } else if (name == NetworkSettingName::ShowOpposedGraphs) {
        setShowsOpposedGraphs(value.toBool());
    } else if (name == NetworkSettingName::ShowLocallyZoomedGraphs) {
        setShowsLocallyZoomedGraphs(value.toBool());
    } else if (name == NetworkSettingName::ShowReadingsAsBits) {
        setShowsReadingsAsBits(value.toBool());
    } else if (name == NetworkSettingName::ShouldGetWANAddress) {
        setShowsWANAddress(value.toBool());
    } else {
        QRNMonitorItem::handleChangeOfUserDefault(key, value);
    }
}

// Interfaces

int QRNNetMonitorItem::indexOfInterface(const QString& name) const
{
    for (size_t i = 0; i < m_interfaces.size(); ++i) {
        if (m_interfaces[i].name == name)
            return int(i);
    }
    return -1;
}

QStringList QRNNetMonitorItem::monitoredInterfaceNames() const
{
    QStringList names;
    for (const Interface& interface : m_interfaces)
        names.append(interface.name);
    return names;
}

void QRNNetMonitorItem::interfacesChanged()
{
    Instruments instruments;
    for (const Interface& interface : m_interfaces)
        instruments.push_back(interface.instrument);
    setMonitorInstruments(std::move(instruments));
    rebuildMenu();
}

void QRNNetMonitorItem::setMonitoredInterfaces(const QStringList& names)
{
    while (!m_interfaces.empty())
        removeInterfaceWithName(m_interfaces.front().name);
    m_offlineInterfaceNames.clear();
    for (const QString& name : names)
        addInterfaceWithName(name, false);
    m_dynamicallyAddedDevice.clear();
    if (!m_internetDeviceName.isEmpty() && !names.contains(m_internetDeviceName)
        && addInterfaceWithName(m_internetDeviceName, true))
        m_dynamicallyAddedDevice = m_internetDeviceName;
}

bool QRNNetMonitorItem::addInterfaceWithName(const QString& name, bool atFirstPosition)
{
    if (name.isEmpty())
        return false;
    if (indexOfInterface(name) >= 0)
        return true;
    auto instrument = QRNNetInterfaceInstrument::instrumentForDeviceName(name);
    if (!instrument) {
        m_offlineInterfaceNames.insert(name);
        return false;
    }
    m_offlineInterfaceNames.remove(name);
    Interface interface;
    interface.name = name;
    interface.instrument = std::move(instrument);
    m_interfaces.insert(atFirstPosition ? m_interfaces.begin() : m_interfaces.end(), std::move(interface));
    interfacesChanged();
    return true;
}

void QRNNetMonitorItem::removeInterfaceWithName(const QString& name)
{
    const int index = indexOfInterface(name);
    if (index < 0) {
        m_offlineInterfaceNames.remove(name);
        return;
    }
    m_interfaces.erase(m_interfaces.begin() + index);
    interfacesChanged();
}

// The primary interface

void QRNNetMonitorItem::performCheckForDynamicInternetInstrumentation()
{
    if (!m_dynamicallyAddedDevice.isEmpty() && m_dynamicallyAddedDevice != m_internetDeviceName) {
        removeInterfaceWithName(m_dynamicallyAddedDevice);
        m_dynamicallyAddedDevice.clear();
    }
    if (!m_internetDeviceName.isEmpty() && m_internetDeviceName != m_dynamicallyAddedDevice
        && indexOfInterface(m_internetDeviceName) < 0 && addInterfaceWithName(m_internetDeviceName, true)) {
        m_dynamicallyAddedDevice = m_internetDeviceName;
        // Primary only, not configured: it must not come back as offline.
        m_offlineInterfaceNames.remove(m_internetDeviceName);
    }
}

void QRNNetMonitorItem::dynamicSystemConfiguration(const QStringList& changedKeys)
{
    EventLog::append(QStringLiteral("%1: system is registering a network address change: %2\n")
                         .arg(className(), changedKeys.join(QStringLiteral(", "))));
    if (m_networkChangeEventTimer.isActive())
        Log::notice("Frequent network configuration changes detected. Waiting for system to settle.");
    // Restarting the timer moves the processing to the end of a burst of changes.
    m_networkChangeEventTimer.start(m_delays.settle);
}

void QRNNetMonitorItem::handleNetworkConfigurationChange()
{
    EventLog::append(QStringLiteral("Processing network configuration change.\n"));
    const QString name = deviceNameOfInternetInterface();
    if (!name.isEmpty()) {
        if (!QRNNetInterfaceInstrument::instrumentForDeviceName(name)) {
            QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
            if (!QRNNetInterfaceInstrument::instrumentForDeviceName(name)) {
                EventLog::append(QStringLiteral(">>> System is not ready yet to collect networt statistics for interface '%1'.\n").arg(name));
                Log::notice("System is not ready yet to collect network statistics for interface '%{public}@'. "
                            "Assuming still pending configuration change. Waiting for system to settle.",
                    {name});
                m_networkChangeEventTimer.start(m_delays.notReady);
                return;
            }
        }
    } else {
        EventLog::append(QStringLiteral(">>> System reports a loss of all network interfaces.\n"));
        Log::notice("WARNING: System reports to have lost all network interfaces.");
    }
    m_internetDeviceName = name;
    performCheckForDynamicInternetInstrumentation();
    QTimer::singleShot(m_delays.wanAfterChange, this, &QRNNetMonitorItem::updateWANAddress);
}

// Interfaces coming and going

void QRNNetMonitorItem::equipmentWasAdded(const QVariantMap& userInfo)
{
    if (userInfo.value(QStringLiteral("Type")).toString() != QLatin1String("Net"))
        return;
    const QString name = userInfo.value(QStringLiteral("ID")).toString();
    EventLog::append(QStringLiteral("%1: equipment with ID '%2' was added.\n").arg(className(), name));
    if (!m_offlineInterfaceNames.contains(name)) {
        EventLog::append(QStringLiteral(">>> ignored because '%1' was not in the set of monitored offline objects.\n").arg(name));
        return;
    }
    m_offlineInterfaceNames.remove(name);
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    const bool added = addInterfaceWithName(name, false);
    EventLog::append(QStringLiteral(">>> now monitoring '%1', instrumentation successful: %2\n").arg(name, yesNo(added)));
    if (!added) {
        // Not listed while it waits for its address; it stays offline until then.
        m_offlineInterfaceNames.insert(name);
        scheduleRetry(name, 0);
    }
}

void QRNNetMonitorItem::equipmentWasRemoved(const QVariantMap& userInfo)
{
    if (userInfo.value(QStringLiteral("Type")).toString() != QLatin1String("Net"))
        return;
    const QString name = userInfo.value(QStringLiteral("ID")).toString();
    EventLog::append(QStringLiteral("%1: equipment with ID '%2' was removed.\n").arg(className(), name));
    if (indexOfInterface(name) < 0) {
        EventLog::append(QStringLiteral(">>> ignored because '%1' was not in the set of monitored objects.\n").arg(name));
        return;
    }
    removeInterfaceWithName(name);
    m_offlineInterfaceNames.insert(name);
    EventLog::append(QStringLiteral(">>> no longer monitoring '%1'.\n").arg(name));
}

void QRNNetMonitorItem::scheduleRetry(const QString& name, qint64 count)
{
    QTimer::singleShot(m_delays.retry, this, [this, name, count] { retryToAddChangingInterfaceWithNameCountPair(name, count); });
}

void QRNNetMonitorItem::retryToAddChangingInterfaceWithNameCountPair(const QString& name, qint64 count)
{
    // Removed again, or configured away, in the meantime.
    if (!m_offlineInterfaceNames.contains(name))
        return;
    if (count >= MaximumRetries) {
        Log::error("Could not successfully instrument added network interface '%{public}@' for monitoring. "
                   "The interface may have been removed before the OS could configure it.",
            {name});
        EventLog::append(QStringLiteral("Could not successfully instrument added network interface '%1' for monitoring. "
                                        "The interface may have been removed before the OS could configure it.\n")
                             .arg(name));
        return;
    }
    QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    const bool added = addInterfaceWithName(name, false);
    EventLog::append(QStringLiteral(">>> attempt %1 to instrument interface '%2', instrumentation successful: %3\n")
                         .arg(count + 2)
                         .arg(name, yesNo(added)));
    if (!added)
        scheduleRetry(name, count + 1);
}

// Options

void QRNNetMonitorItem::setShowsOpposedGraphs(bool shows)
{
    m_showsOpposedGraphs = shows;
    updateInterfaceMenuBar(false, true);
}

void QRNNetMonitorItem::setShowsLocallyZoomedGraphs(bool shows)
{
    m_showsLocallyZoomedGraphs = shows;
    updateInterfaceMenuBar(false, true);
}

void QRNNetMonitorItem::setShowsReadingsAsBits(bool shows)
{
    m_showsReadingsAsBits = shows;
    updateInterfaceMenuBar(false, true);
}

void QRNNetMonitorItem::setShowsWANAddress(bool shows)
{
    if (shows == showsWANAddress())
        return;
    // The public address is asked for only while the user wants it shown.
    if (shows) {
        m_wanIPAddress = std::make_unique<QRNWANIPAddress>();
        connect(m_wanIPAddress.get(), &QRNWANIPAddress::addressChanged, this, [this] { updateInterfaceMenuBar(false, true); });
    } else {
        m_wanIPAddress.reset();
    }
    rebuildMenu();
}

void QRNNetMonitorItem::setWANAddressUpdateInterval(double seconds)
{
    if (seconds < 0)
        return;
    m_wanUpdateTimer.stop();
    if (seconds > 0)
        m_wanUpdateTimer.start(int(seconds * 1000));
}

void QRNNetMonitorItem::updateWANAddress()
{
    if (m_wanIPAddress)
        m_wanIPAddress->update();
}

// Texts

QString QRNNetMonitorItem::displayTextForMemoryStatisticsValue(quint64 value, bool usingTabStopForUnitSeparation) const
{
    if (m_showsReadingsAsBits)
        return CDP::displayTextAsBitsForMemorySize(value, usingTabStopForUnitSeparation);
    return CDP::displayTextForMemorySize(value, usingTabStopForUnitSeparation);
}

QString QRNNetMonitorItem::rateText(quint64 bytes) const
{
    return tr("%1/s").arg(displayTextForMemoryStatisticsValue(bytes, false));
}

QString QRNNetMonitorItem::localizedIPv6AddressModeDescriptionForFlags(quint32 flags)
{
    static const std::pair<quint32, const char*> words[] = {{0x1, "anycast"}, {0x2, "tentative"},
        {0x200, "optimistic"}, {0x4, "duplicated"}, {0x8, "detached"}, {0x10, "deprecated"}, {0x40, "autoconf"},
        {0x80, "temporary"}, {0x100, "dynamic"}, {0x400, "secured"}};
    QStringList set;
    for (const auto& [bit, word] : words) {
        if (flags & bit)
            set.append(tr(word));
    }
    return set.isEmpty() ? tr("(standard operation)") : set.join(QStringLiteral(", "));
}

QString QRNNetMonitorItem::toolTipText() const
{
    return tr("Network") + u'\n' + tr("In: %1").arg(rateText(m_totalIn)) + u'\n' + tr("Out: %1").arg(rateText(m_totalOut));
}

// Cells

void QRNNetMonitorItem::customizeNewMenuBarCell(QRNMenuBarCell& cell)
{
    if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(&cell)) {
        if (text->textStyle() == QRNTextMenuBarCell::TwoLines)
            text->setFixedWidthBasedOnMaximumString(QStringLiteral("W: 999.9 WW/s"));
        else
            text->setStringValue(QStringLiteral("NET"));
    } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(&cell)) {
        m_cellsOwnOpposition.insert(graph, graph->showsOpposedGraphs());
        graph->setCapacity(GraphCapacity);
        graph->setUsesSecondaryGraph(true);
    }
}

// Line counts and the menu

bool QRNNetMonitorItem::updateAddressLineCountsRebuildingMenuIfNeeded(bool rebuild)
{
    bool changed = false;
    for (Interface& interface : m_interfaces) {
        const int v4 = std::max<int>(1, int(interface.instrument->readableIPv4Addresses().size()));
        const int v6 = int(interface.instrument->readableIPv6Addresses().size());
        if (v4 != interface.lineCountIPv4 || v6 != interface.lineCountIPv6) {
            interface.lineCountIPv4 = v4;
            interface.lineCountIPv6 = v6;
            changed = true;
        }
    }
    int wan = 0;
    if (m_wanIPAddress) {
        const auto v4 = m_wanIPAddress->addressStringIPv4();
        const auto v6 = m_wanIPAddress->addressStringIPv6();
        wan = (v4 && !v4->isEmpty() && v6 && !v6->isEmpty()) ? 2 : 1;
    }
    if (wan != m_lineCountWAN) {
        m_lineCountWAN = wan;
        changed = true;
    }
    if (changed && rebuild)
        rebuildMenu();
    return changed;
}

QRNTextPairView* QRNNetMonitorItem::addRow(const QString& left, const QString& right, StatusMenu& menu)
{
    QRNTextPairView* view = addTextPairView(left, right, &menu);
    m_menuItemsByTextPairViews.insert(view, menu.actions().constLast());
    return view;
}

void QRNNetMonitorItem::setToolTip(QRNTextPairView* view, const QString& text)
{
    if (QAction* action = m_menuItemsByTextPairViews.value(view))
        action->setToolTip(text);
}

void QRNNetMonitorItem::createMenuItemsInMenu(StatusMenu& menu)
{
    m_menuItemsByTextPairViews.clear();
    menu.setToolTipsVisible(true);
    QRNTextPairView* heading = addHeadingView(tr("Network Interfaces"), menu);
    m_menuItemsByTextPairViews.insert(heading, menu.actions().constLast());
    updateAddressLineCountsRebuildingMenuIfNeeded(false);

    m_wanTextPairView = nullptr;
    m_wanTextPairView2 = nullptr;
    if (m_wanIPAddress) {
        menu.addSeparator();
        m_wanTextPairView = addRow(m_lineCountWAN < 2 ? tr("WAN Address:") : tr("WAN Addresses (Dual Stack):"), QString(), menu);
        if (m_lineCountWAN >= 2)
            m_wanTextPairView2 = addRow(QString(), QString(), menu);
        // Whom the machine asked about its address, in plain sight.
        addRow(tr("Asked:"), QRNWANIPAddress::hostName(false) + QStringLiteral(", ") + QRNWANIPAddress::hostName(true), menu);
        menu.addSeparator();
    }

    for (Interface& interface : m_interfaces) {
        const QString localized = interface.instrument->localizedName();
        interface.header = addRow(tr("%1 (%2)").arg(localized, interface.name), QString(), menu);
        QFont bold = interface.header->font();
        bold.setBold(true);
        interface.header->setFont(bold);
        interface.header->setLeftColor(MenuBarColor::System::Text);

        const QStringList v4 = interface.instrument->readableIPv4Addresses();
        interface.ipv4Rows.clear();
        for (int i = 0; i < interface.lineCountIPv4; ++i)
            interface.ipv4Rows.emplace_back(addRow(i == 0 ? tr("IPv4:") : QString(), i < v4.size() ? v4[i] : (i == 0 ? tr("-") : QString()), menu));
        const QStringList v6 = interface.instrument->readableIPv6Addresses();
        interface.ipv6Rows.clear();
        for (int i = 0; i < interface.lineCountIPv6; ++i)
            interface.ipv6Rows.emplace_back(addRow(i == 0 ? tr("IPv6:") : QString(), i < v6.size() ? v6[i] : QString(), menu));

        interface.graph = addGraphView(menu);
        interface.graph->setUsesSecondaryGraph(true);
        interface.graph->setShowsOpposedGraphs(m_showsOpposedGraphs);
        interface.graph->setZoomsLocally(m_showsLocallyZoomedGraphs);

        interface.valueRows.clear();
        const QString upper[] = {tr("Incoming:"), tr("Outgoing:"), tr("Packets in/s:"), tr("Packets out/s:"),
            tr("Peak value in:"), tr("Peak value out:")};
        for (const QString& label : upper)
            interface.valueRows.emplace_back(addRow(label, QString(), menu));
        menu.addSeparator();
        const QString lower[] = {tr("Received:"), tr("Sent:"), tr("Packets received:"), tr("Packets sent:")};
        for (const QString& label : lower)
            interface.valueRows.emplace_back(addRow(label, QString(), menu));
        menu.addSeparator();
    }
    QRNMonitorItem::createMenuItemsInMenu(menu);
}

// One update

void QRNNetMonitorItem::updateInterfaceMenuBar(bool menuBar, bool menuItems)
{
    // Sums of 32-bit rates, as the bar shows them.
    quint32 totalIn = 0;
    quint32 totalOut = 0;
    for (Interface& interface : m_interfaces) {
        NetInterfaceStatistics current;
        const bool readable = interface.instrument->getCurrentStatistics(current);
        if (readable) {
            totalIn += quint32(current.inputBytes);
            totalOut += quint32(current.outputBytes);
            interface.inBytesMaximum = std::max(interface.inBytesMaximum, current.inputBytes);
            interface.outBytesMaximum = std::max(interface.outBytesMaximum, current.outputBytes);
        }
        // The menu graphs keep their history while the menu is closed.
        if (menuBar && interface.graph) {
            interface.graph->addNewValue(readable ? double(current.inputBytes) : 0.0,
                readable ? double(current.outputBytes) : 0.0);
        }
    }
    if (menuBar) {
        m_totalIn = totalIn;
        m_totalOut = totalOut;
        if (QRNMenuBarItemImage* image = menuBarImage()) {
            for (const auto& cell : image->menuBarCells()) {
                if (auto* text = dynamic_cast<QRNTextMenuBarCell*>(cell.get())) {
                    if (text->textStyle() != QRNTextMenuBarCell::TwoLines)
                        continue;
                    text->setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
                    const std::tuple<quint32, quint32, bool> totals {totalIn, totalOut, m_showsReadingsAsBits};
                    if (m_barTexts.madeFor != totals) {
                        m_barTexts.in = tr("\tI:\t%1/s").arg(displayTextForMemoryStatisticsValue(totalIn, true));
                        m_barTexts.out = tr("\tO:\t%1/s").arg(displayTextForMemoryStatisticsValue(totalOut, true));
                        m_barTexts.madeFor = totals;
                    }
                    text->setStringValue(m_barTexts.in);
                    text->setSecondaryStringValue(m_barTexts.out);
                } else if (auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(cell.get())) {
                    graph->setShowsOpposedGraphs(m_showsOpposedGraphs || m_cellsOwnOpposition.value(graph));
                    graph->setZoomsLocally(m_showsLocallyZoomedGraphs);
                    graph->addNewValue(totalIn, totalOut);
                }
            }
            image->refreshCells();
        }
    }
    if (menuItems && isMenuVisible() && !updateAddressLineCountsRebuildingMenuIfNeeded(true))
        updateMenuRows();
}

void QRNNetMonitorItem::updateMenuRows()
{
    if (m_wanIPAddress) {
        const QString v4 = m_wanIPAddress->addressStringIPv4().value_or(QString());
        const QString v6 = m_wanIPAddress->addressStringIPv6().value_or(QString());
        if (m_wanTextPairView2)
            m_wanTextPairView2->setRightStringValue(v6);
        if (m_wanTextPairView)
            m_wanTextPairView->setRightStringValue(!v4.isEmpty() ? v4 : !v6.isEmpty() ? v6 : tr("-"));
    }
    for (Interface& interface : m_interfaces) {
        NetInterfaceStatistics current;
        NetInterfaceStatistics accumulated;
        if (interface.instrument->getCurrentStatistics(current) && interface.instrument->getAccumulatedStatistics(accumulated))
            updateInterfaceRows(interface);
        else
            showInterfaceAsDown(interface);
    }
    updateMenuWidthForTextPairViewsIfNeeded();
}

void QRNNetMonitorItem::updateInterfaceRows(Interface& interface)
{
    const QRNNetInterfaceInstrument& instrument = *interface.instrument;
    NetInterfaceStatistics current;
    NetInterfaceStatistics accumulated;
    instrument.getCurrentStatistics(current);
    instrument.getAccumulatedStatistics(accumulated);

    if (interface.header) {
        const QString localized = instrument.localizedName();
        QString header = localized == interface.name ? interface.name : tr("%1 (%2)").arg(localized, interface.name);
        if (interface.name == m_internetDeviceName)
            header += tr(" %1 Internet").arg(QChar(0x2194));
        interface.header->setLeftStringValue(header);
    }
    const QStringList v4 = instrument.readableIPv4Addresses();
    for (size_t i = 0; i < interface.ipv4Rows.size(); ++i) {
        if (interface.ipv4Rows[i])
            interface.ipv4Rows[i]->setRightStringValue(i < size_t(v4.size()) ? v4[i] : (i == 0 ? tr("-") : QString()));
    }
    const QStringList v6 = instrument.readableIPv6Addresses();
    const QList<quint32> flags = instrument.correspondingIPv6AddressFlags();
    if (!v6.isEmpty() && v6.size() == flags.size()) {
        for (size_t i = 0; i < interface.ipv6Rows.size() && i < size_t(v6.size()); ++i) {
            if (!interface.ipv6Rows[i])
                continue;
            interface.ipv6Rows[i]->setRightStringValue(v6[i]);
            setToolTip(interface.ipv6Rows[i], tr("%1: %2").arg(v6[i], localizedIPv6AddressModeDescriptionForFlags(flags[i])));
        }
    }
    if (interface.graph) {
        interface.graph->setShowsOpposedGraphs(m_showsOpposedGraphs);
        interface.graph->setZoomsLocally(m_showsLocallyZoomedGraphs);
    }
    if (interface.valueRows.size() < ValueRows)
        return;
    const QString values[ValueRows] = {rateText(current.inputBytes), rateText(current.outputBytes),
        PaddedNumberFormat::count(current.inputPackets), PaddedNumberFormat::count(current.outputPackets),
        rateText(interface.inBytesMaximum), rateText(interface.outBytesMaximum),
        CDP::displayTextForMemorySize(accumulated.inputBytes), CDP::displayTextForMemorySize(accumulated.outputBytes),
        PaddedNumberFormat::count(accumulated.inputPackets), PaddedNumberFormat::count(accumulated.outputPackets)};
    for (size_t i = 0; i < ValueRows; ++i) {
        if (interface.valueRows[i])
            interface.valueRows[i]->setRightStringValue(values[i]);
    }
}

void QRNNetMonitorItem::showInterfaceAsDown(Interface& interface)
{
    if (interface.header)
        interface.header->setLeftStringValue(tr("%1 - down").arg(interface.name));
    for (auto* rows : {&interface.ipv4Rows, &interface.ipv6Rows, &interface.valueRows}) {
        for (const auto& row : *rows) {
            if (row)
                row->setRightStringValue(QString());
        }
    }
}

QRNGraphMenuView* QRNNetMonitorItem::graphViewOfInterface(const QString& name) const
{
    const int index = indexOfInterface(name);
    return index < 0 ? nullptr : m_interfaces[size_t(index)].graph.data();
}

std::pair<quint64, quint64> QRNNetMonitorItem::peakRatesOfInterface(const QString& name) const
{
    const int index = indexOfInterface(name);
    if (index < 0)
        return {0, 0};
    return {m_interfaces[size_t(index)].inBytesMaximum, m_interfaces[size_t(index)].outBytesMaximum};
}
