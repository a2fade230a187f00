#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

class QRNWANIPFetcher;

// The machine's public IPv4 and IPv6 addresses as an IP reflector service
// sees them. Each family is asked on its own; an address is "" before its
// first answer and none after a failed one.
class QRNWANIPAddress : public QObject {
    Q_OBJECT
public:
    // 0: a check-IP web page ("Current IP Address: <address>"); 1: a plain
    // echo of the address and a line end.
    static void setServiceProvider(qint64 provider);
    static qint64 serviceProvider();
    // The host asked for a family with the current provider: the setting
    // "PreferencesTopic-WAN<CheckIP|Echo>HostIPv<4|6>", or a public default.
    static QString hostName(bool ipv6);

    // Starts both queries at once.
    QRNWANIPAddress();
    ~QRNWANIPAddress() override;

    void update();
    void performUpdateForIPv6(bool ipv6);

    std::optional<QString> addressStringIPv4() const;
    std::optional<QString> addressStringIPv6() const;
    void setAddressStringIPv4(const std::optional<QString>& address);
    void setAddressStringIPv6(const std::optional<QString>& address);
    bool isQuerying(bool ipv6) const { return (ipv6 ? m_fetcherIPv6 : m_fetcherIPv4) != nullptr; }

Q_SIGNALS:
    void addressChanged();

private:
    void storeAddress(std::mutex& lock, std::optional<QString>& field, const std::optional<QString>& address,
        std::unique_ptr<QRNWANIPFetcher>* fetcher);

    mutable std::mutex m_accessLockIPv4;
    mutable std::mutex m_accessLockIPv6;
    std::optional<QString> m_addressStringIPv4 = QString();
    std::optional<QString> m_addressStringIPv6 = QString();
    std::unique_ptr<QRNWANIPFetcher> m_fetcherIPv4;
    std::unique_ptr<QRNWANIPFetcher> m_fetcherIPv6;
    quint64 m_queryIPv4 = 0;
    quint64 m_queryIPv6 = 0;
};
