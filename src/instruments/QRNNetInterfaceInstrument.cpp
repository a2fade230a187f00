#include "instruments/QRNNetInterfaceInstrument.h"

#include "platform/hotplug/RtnetlinkWatch.h"
#include "platform/log/Log.h"
#include "platform/net/NetInterfaceReader.h"
#include "platform/notifications/NotificationCenter.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

using Table = QHash<QString, QRNNetInterfaceInstrument::Entry>;

struct SharedTable {
    QRNNetInterfaceInstrument::Source source;
    NetInterfaceReader reader;
    bool exists = false;
    Table current;
    Table previous;
    qint64 lastRefresh = 0;
    // The kind of an interface does not change while it exists: its display
    // name is read once, and again only after it left the list.
    QHash<QString, QString> displayNames;
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
    table.displayNames.clear();
    table.systemAddressesValid = false;
    table.exists = false;
    table.current.clear();
    table.previous.clear();
    table.lastRefresh = 0;
}

void QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces()
{
    SharedTable& table = shared();
    const qint64 now = table.now();
    if (table.exists && now <= table.lastRefresh)
        return;
    if (table.exists) {
        table.previous = std::move(table.current);
        table.current.clear();
    }
    table.exists = true;

    const Sysroot& root = table.reader.sysroot();
    if (!root.exists(QStringLiteral("sys/class/net"))) {
        // The refresh time stays, so the next call tries again.
        Log::fault("%{public}@: cannot list the network interfaces.", {QStringLiteral("QRNNetInterfaceInstrument")});
        return;
    }
    const QStringList names = table.reader.interfaceNames();
    for (const QString& name : names) {
        if (std::optional<NetInterfaceStatistics> statistics = table.reader.statistics(name))
            table.current[name].statistics = *statistics;
    }
    table.displayNames.removeIf([&](const auto& cached) { return !names.contains(cached.key()); });
    for (auto it = table.current.begin(); it != table.current.end(); ++it) {
        auto cached = table.displayNames.constFind(it.key());
        if (cached == table.displayNames.cend())
            cached = table.displayNames.insert(it.key(), table.reader.displayName(it.key()));
        it->displayName = *cached;
    }

    const InterfaceAddressTable& addresses = table.addressesFor(names);
    for (auto it = table.current.begin(); it != table.current.end();) {
        Entry& entry = it.value();
        entry.addresses = addresses.value(it.key());
        if (entry.displayName.isEmpty() && !it.key().startsWith(QLatin1String("lo")))
            entry.displayName = QCoreApplication::translate("QRNNetInterfaceInstrument", "Link '%1'").arg(it.key());
        const bool hasAddress = !entry.addresses.ipv4.isEmpty() || !entry.addresses.ipv6.isEmpty();
        if (entry.displayName.isEmpty() || !hasAddress || !entry.statistics)
            it = table.current.erase(it);
        else
            ++it;
    }
    table.lastRefresh = now;
}

QStringList QRNNetInterfaceInstrument::deviceNamesOfActiveInterfaces()
{
    return shared().current.keys();
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
    if (name.isEmpty() || !shared().current.contains(name))
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
    const Table& current = shared().current;
    const auto it = current.constFind(m_deviceName);
    return it == current.cend() ? nullptr : &*it;
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
    const Entry* entry = currentEntry();
    const Table& previous = shared().previous;
    const auto before = previous.constFind(m_deviceName);
    if (!entry || !entry->statistics || before == previous.cend() || !before->statistics)
        return false;
    record = *entry->statistics - *before->statistics;
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
