#pragma once

#include "instruments/QRNNetInterfaceInstrument.h"
#include "platform/linux/FixtureSysroot.h"

#include <memory>

// The shared interface table over a writable copy of the "network" machine,
// with addresses and a wall clock the test sets; the system's again afterwards.
class ScopedNetworkTable {
public:
    ScopedNetworkTable()
        : m_state(std::make_shared<State>())
    {
        m_state->addresses[QStringLiteral("lo")] = {{QStringLiteral("127.0.0.1")}, {QStringLiteral("::1")}, {0}};
        m_state->addresses[QStringLiteral("eth0")] = {{QStringLiteral("192.0.2.2")}, {}, {}};
        QRNNetInterfaceInstrument::setSource({m_root.root(), [s = m_state] { return s->addresses; },
            [s = m_state] { return s->seconds; }});
    }
    ~ScopedNetworkTable() { QRNNetInterfaceInstrument::setSource({}); }
    ScopedNetworkTable(const ScopedNetworkTable&) = delete;
    ScopedNetworkTable& operator=(const ScopedNetworkTable&) = delete;

    FixtureSysroot& root() { return m_root; }
    InterfaceAddressTable& addresses() { return m_state->addresses; }
    void setSeconds(qint64 seconds) { m_state->seconds = seconds; }
    void advance() { ++m_state->seconds; }
    // Writes one counter of an interface.
    void setCounter(const QString& interface, const char* file, quint64 value)
    {
        m_root.writeFile(QStringLiteral("sys/class/net/%1/statistics/%2").arg(interface, QLatin1String(file)),
            QByteArray::number(value) + '\n');
    }
    // The next second's sample.
    void refresh()
    {
        advance();
        QRNNetInterfaceInstrument::collectNewSampleForAllActiveInterfaces();
    }

private:
    struct State {
        InterfaceAddressTable addresses;
        qint64 seconds = 1000;
    };
    FixtureSysroot m_root {QStringLiteral("network")};
    std::shared_ptr<State> m_state;
};
