#include "instruments/QRNNetInterfaceInstrument.h"

#include "platform/hotplug/RtnetlinkWatch.h"
#include "platform/log/Log.h"
#include "platform/net/NetInterfaceReader.h"
#include "platform/notifications/NotificationCenter.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <vector>

namespace {

// One interface of the listing. Slots are kept from refresh to refresh and
// made anew only when the listing changes, so a steady refresh allocates
// nothing: the previous table is the previous statistics of each slot.
struct Slot {
    QString name;
    // From the kind, read once while the interface exists; empty: never active.
    QString displayName;
    QRNNetInterfaceInstrument::Entry current;
    bool active = false;
    std::optional<NetInterfaceStatistics> previousStatistics;
};

struct SharedTable {
    QRNNetInterfaceInstrument::Source source;
    NetInterfaceReader reader;
    bool exists = false;
    std::vector<Slot> slots;
    QStringList slotNames;
    qint64 lastRefresh = 0;
    // The system's addresses, kept while a routing-socket watch announces
    // every change; read again after a change or when the interfaces differ.
    InterfaceAddressTable systemAddresses;
    QStringList systemAddressesNames;
    bool systemAddressesValid = false;

    SharedTable()
    {
        NotificationCenter::defaultCenter().addObserver(QLatin1String(NetworkConfigurationDidChangeNotification),
            [this](const QString&, const QVariantMap&) { systemAddressesValid = false; });
    }

    InterfaceAddressTable addresses() const
    {
        return source.addresses ? source.addresses() : InterfaceAddresses::systemAddresses();
    }
    const InterfaceAddressTable& addressesFor(const QStringList& names)
    {
        if (source.addresses) {
            systemAddresses = source.addresses();
            return systemAddresses;
        }
        if (!systemAddressesValid || names != systemAddressesNames || RtnetlinkWatch::activeWatchCount() == 0) {
            systemAddresses = InterfaceAddresses::systemAddresses();
            systemAddressesNames = names;
            systemAddressesValid = true;
        }
        return systemAddresses;
    }
    qint64 now() const
    {
        return source.clockSeconds ? source.clockSeconds() : QDateTime::currentSecsSinceEpoch();
    }
    const Slot* find(const QString& name) const
    {
        for (const Slot& slot : slots) {
            if (slot.name == name)
                return &slot;
        }
        return nullptr;
    }
    void rebuildSlots(const QStringList& names)
    {
        std::vector<Slot> rebuilt;
        rebuilt.reserve(size_t(names.size()));
        for (const QString& name : names) {
            auto old = std::find_if(slots.begin(), slots.end(), [&](const Slot& slot) { return slot.name == name; });
            if (old != slots.end()) {
                rebuilt.push_back(std::move(*old));
                continue;
            }
            Slot slot;
            slot.name = name;
            slot.displayName = reader.displayName(name);
            if (slot.displayName.isEmpty() && !name.startsWith(QLatin1String("lo")))
                slot.displayName = QCoreApplication::translate("QRNNetInterfaceInstrument", "Link '%1'").arg(name);
            rebuilt.push_back(std::move(slot));
        }
        slots = std::move(rebuilt);
        slotNames = names;
    }
};

SharedTable& shared()
{
    static SharedTable table;
    return table;
}

QString statisticsText(const NetInterfaceStatistics& s)
{
    return QStringLiteral("in: %1 packets, %2 errors, %3 bytes, out: %4 packets, %5 errors, %6 bytes, collisions: %7")
        .arg(s.inputPackets)
        .arg(s.inputErrors)
        .arg(s.inputBytes)
        .arg(s.outputPackets)
        .arg(s.outputErrors)
        .arg(s.outputBytes)
        .arg(s.collisions);
}

} // namespace

void QRNNetInterfaceInstrument::setSource(Source source)
{
    SharedTable& table = shared();
    table.reader = NetInterfaceReader(source.sysroot);
    table.source = std::move(source);
    table.systemAddressesValid = false;
    table.exists = false;
    table.slots.clear();
    table.slotNames.clear();
    table.lastRefresh = 0;
}

void QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces()
{
    SharedTable& table = shared();
    const qint64 now = table.now();
    if (table.exists && now <= table.lastRefresh)
        return;
    // The current table becomes the previous one.
    for (Slot& slot : table.slots) {
        slot.previousStatistics = slot.active ? slot.current.statistics : std::nullopt;
        slot.active = false;
    }
    table.exists = true;

    const NetDeviceTable* all = table.reader.allStatistics();
    if (!all && !table.reader.hasInterfaceFolder()) {
        // The refresh time stays, so the next call tries again.
        Log::fault("%{public}@: cannot list the network interfaces.", {QStringLiteral("QRNNetInterfaceInstrument")});
        return;
    }
    const QStringList names = table.reader.interfaceNames(all);
    if (names != table.slotNames)
        table.rebuildSlots(names);
    const InterfaceAddressTable& addresses = table.addressesFor(names);
    for (Slot& slot : table.slots) {
        Entry& entry = slot.current;
        entry.statistics = all ? all->find(slot.name) : table.reader.statistics(slot.name);
        const auto listed = addresses.constFind(slot.name);
        entry.addresses = listed == addresses.cend() ? InterfaceAddressList() : *listed;
        entry.displayName = slot.displayName;
        const bool hasAddress = !entry.addresses.ipv4.isEmpty() || !entry.addresses.ipv6.isEmpty();
        slot.active = !entry.displayName.isEmpty() && hasAddress && entry.statistics;
    }
    table.lastRefresh = now;
}

QStringList QRNNetInterfaceInstrument::deviceNamesOfActiveInterfaces()
{
    QStringList names;
    for (const Slot& slot : shared().slots) {
        if (slot.active)
            names.append(slot.name);
    }
    return names;
}

std::shared_ptr<QRNNetInterfaceInstrument> QRNNetInterfaceInstrument::instrumentForDeviceName(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    return initForDeviceName(name);
}

std::shared_ptr<QRNNetInterfaceInstrument> QRNNetInterfaceInstrument::initForDeviceName(const QString& name)
{
    if (!shared().exists)
        collectNewSampleForAllActiveInterfaces();
    const Slot* slot = shared().find(name);
    if (name.isEmpty() || !slot || !slot->active)
        return nullptr;
    return std::shared_ptr<QRNNetInterfaceInstrument>(new QRNNetInterfaceInstrument(name));
}

bool QRNNetInterfaceInstrument::getReadableIPAddressesForInterfaceName(const QString& name, QStringList* v4,
    QStringList* v6, QList<quint32>* v6Flags)
{
    if (name.isEmpty())
        return false;
    const InterfaceAddressTable addresses = shared().addresses();
    const auto it = addresses.constFind(name);
    if (it == addresses.cend())
        return false;
    if (v4)
        *v4 = it->ipv4;
    if (v6)
        *v6 = it->ipv6;
    if (v6Flags)
        *v6Flags = it->ipv6Flags;
    return true;
}

QRNNetInterfaceInstrument::QRNNetInterfaceInstrument(QString deviceName)
    : m_deviceName(std::move(deviceName))
{
}

void QRNNetInterfaceInstrument::collectNewSample()
{
    collectNewSampleForAllActiveInterfaces();
}

const QRNNetInterfaceInstrument::Entry* QRNNetInterfaceInstrument::currentEntry() const
{
    const Slot* slot = shared().find(m_deviceName);
    return slot && slot->active ? &slot->current : nullptr;
}

QString QRNNetInterfaceInstrument::localizedName() const
{
    const Entry* entry = currentEntry();
    return entry ? entry->displayName : QString();
}

QStringList QRNNetInterfaceInstrument::readableIPv4Addresses() const
{
    const Entry* entry = currentEntry();
    return entry ? entry->addresses.ipv4 : QStringList();
}

QStringList QRNNetInterfaceInstrument::readableIPv6Addresses() const
{
    const Entry* entry = currentEntry();
    return entry ? entry->addresses.ipv6 : QStringList();
}

QList<quint32> QRNNetInterfaceInstrument::correspondingIPv6AddressFlags() const
{
    const Entry* entry = currentEntry();
    return entry ? entry->addresses.ipv6Flags : QList<quint32>();
}

bool QRNNetInterfaceInstrument::getAccumulatedStatistics(NetInterfaceStatistics& record) const
{
    const Entry* entry = currentEntry();
    if (!entry || !entry->statistics)
        return false;
    record = *entry->statistics;
    return true;
}

bool QRNNetInterfaceInstrument::getCurrentStatistics(NetInterfaceStatistics& record) const
{
    const Slot* slot = shared().find(m_deviceName);
    if (!slot || !slot->active || !slot->current.statistics || !slot->previousStatistics)
        return false;
    record = *slot->current.statistics - *slot->previousStatistics;
    return true;
}

QString QRNNetInterfaceInstrument::description() const
{
    NetInterfaceStatistics current;
    NetInterfaceStatistics accumulated;
    const QString notAvailable = QStringLiteral("<not available>");
    return QStringLiteral("<%1>: for network interface %2 ('%3') IPv4: %4 IPv6: %5\nCurrent values: %6\nAccumulated values: %7\n")
        .arg(className(), m_deviceName, localizedName(), readableIPv4Addresses().join(QStringLiteral(", ")),
            readableIPv6Addresses().join(QStringLiteral(", ")),
            getCurrentStatistics(current) ? statisticsText(current) : notAvailable,
            getAccumulatedStatistics(accumulated) ? statisticsText(accumulated) : notAvailable);
}
