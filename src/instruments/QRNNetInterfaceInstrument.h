#pragma once

#include "instruments/QRNSystemInstrument.h"
#include "platform/net/InterfaceAddresses.h"
#include "platform/net/NetInterfaceStatistics.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

// The counters, addresses and display name of one network interface, from a
// table of all active interfaces that every instance shares and that is
// refreshed at most once per wall-clock second, however many items sample it.
// An interface is active when it has counters, a display name and at least
// one address; loopback never is.
class QRNNetInterfaceInstrument : public QRNSystemInstrument {
public:
    struct Entry {
        std::optional<NetInterfaceStatistics> statistics;
        QString displayName;
        InterfaceAddressList addresses;
    };

    // Where the shared table comes from: interfaces under a sysroot, the
    // addresses of the system (or of a test), and the wall clock in seconds.
    struct Source {
        QString sysroot;
        std::function<InterfaceAddressTable()> addresses;
        std::function<qint64()> clockSeconds;
    };
    // Replaces the source and forgets the table (tests); empty members take the system's.
    static void setSource(Source source);

    static void collectNewSampleForAllActiveInterfaces();
    static QStringList deviceNamesOfActiveInterfaces();
    // None for an empty name or one not in the current table.
    static std::shared_ptr<QRNNetInterfaceInstrument> instrumentForDeviceName(const QString& name);
    // False for an empty name or an interface the system does not list; the
    // lists are then untouched.
    static bool getReadableIPAddressesForInterfaceName(const QString& name, QStringList* v4, QStringList* v6,
        QList<quint32>* v6Flags);

    // Fills the shared table first when it never was; none when the name is
    // empty or not an active interface.
    static std::shared_ptr<QRNNetInterfaceInstrument> initForDeviceName(const QString& name);

    void collectNewSample() override;
    QString deviceName() const { return m_deviceName; }
    // None (empty) while the interface is not in the table.
    QString localizedName() const;
    QStringList readableIPv4Addresses() const;
    QStringList readableIPv6Addresses() const;
    QList<quint32> correspondingIPv6AddressFlags() const;
    // The cumulative counters; false, record untouched, without them.
    bool getAccumulatedStatistics(NetInterfaceStatistics& record) const;
    // The amounts since the previous refresh; false when either refresh
    // lacks the interface (right after it appeared, on the first refresh).
    bool getCurrentStatistics(NetInterfaceStatistics& record) const;

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNNetInterfaceInstrument"); }

private:
    explicit QRNNetInterfaceInstrument(QString deviceName);
    const Entry* currentEntry() const;

    const QString m_deviceName;
};
