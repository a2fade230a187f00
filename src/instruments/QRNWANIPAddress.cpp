#include "instruments/QRNWANIPAddress.h"

#include "instruments/QRNWANIPFetcher.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/Log.h"

#include <atomic>

namespace {

std::atomic<qint64> provider {0};

const QString IPv4Characters = QStringLiteral("0123456789.");
const QString IPv6Characters = QStringLiteral("0123456789abcdefABCDEF:");
constexpr double QueryTimeout = 5.0;

} // namespace

void QRNWANIPAddress::setServiceProvider(qint64 code)
{
    provider = code;
}

qint64 QRNWANIPAddress::serviceProvider()
{
    return provider;
}

QString QRNWANIPAddress::hostName(bool ipv6)
{
    const bool echo = provider == 1;
    const QString key = QStringLiteral("PreferencesTopic-WAN%1HostIPv%2")
                            .arg(echo ? QStringLiteral("Echo") : QStringLiteral("CheckIP"), ipv6 ? QStringLiteral("6") : QStringLiteral("4"));
    const QString configured = UserDefaults::standardUserDefaults().stringForKey(key);
    if (!configured.isEmpty())
        return configured;
    if (echo)
        return ipv6 ? QStringLiteral("ipv6.icanhazip.com") : QStringLiteral("ipv4.icanhazip.com");
    return ipv6 ? QStringLiteral("checkipv6.dynu.com") : QStringLiteral("checkip.dyndns.org");
}

QRNWANIPAddress::QRNWANIPAddress()
{
    update();
}

QRNWANIPAddress::~QRNWANIPAddress() = default;

void QRNWANIPAddress::update()
{
    performUpdateForIPv6(false);
    performUpdateForIPv6(true);
}

void QRNWANIPAddress::performUpdateForIPv6(bool ipv6)
{
    const qint64 code = provider;
    if (code != 0 && code != 1) {
        Log::error("%{public}@: access to service provider type %llu is not implemented.",
            {QStringLiteral("QRNWANIPAddress"), quint64(code)});
        return;
    }
    const QString marker = code == 0 ? QStringLiteral("Current IP Address: ") : QString();
    // An answer of a replaced query is stored like any other, but only the
    // answer of the current query ends it.
    const quint64 query = ++(ipv6 ? m_queryIPv6 : m_queryIPv4);
    auto setter = [this, ipv6, query](const std::optional<QString>& address) {
        if (ipv6)
            storeAddress(m_accessLockIPv6, m_addressStringIPv6, address, query == m_queryIPv6 ? &m_fetcherIPv6 : nullptr);
        else
            storeAddress(m_accessLockIPv4, m_addressStringIPv4, address, query == m_queryIPv4 ? &m_fetcherIPv4 : nullptr);
    };
    std::unique_ptr<QRNWANIPFetcher>& slot = ipv6 ? m_fetcherIPv6 : m_fetcherIPv4;
    slot = QRNWANIPFetcher::initWithHostName(hostName(ipv6), marker, ipv6 ? IPv6Characters : IPv4Characters,
        QueryTimeout, this, setter);
    if (slot)
        slot->fetchResponse();
    else
        Log::error("%{public}@: could not create fetcher session to determine address.", {QStringLiteral("QRNWANIPAddress")});
}

std::optional<QString> QRNWANIPAddress::addressStringIPv4() const
{
    std::lock_guard lock(m_accessLockIPv4);
    return m_addressStringIPv4;
}

std::optional<QString> QRNWANIPAddress::addressStringIPv6() const
{
    std::lock_guard lock(m_accessLockIPv6);
    return m_addressStringIPv6;
}

void QRNWANIPAddress::setAddressStringIPv4(const std::optional<QString>& address)
{
    storeAddress(m_accessLockIPv4, m_addressStringIPv4, address, &m_fetcherIPv4);
}

void QRNWANIPAddress::setAddressStringIPv6(const std::optional<QString>& address)
{
    storeAddress(m_accessLockIPv6, m_addressStringIPv6, address, &m_fetcherIPv6);
}

void QRNWANIPAddress::storeAddress(std::mutex& lock, std::optional<QString>& field, const std::optional<QString>& address,
    std::unique_ptr<QRNWANIPFetcher>* fetcher)
{
    {
        std::lock_guard guard(lock);
        field = address;
    }
    if (fetcher)
        fetcher->reset();
    Q_EMIT addressChanged();
}
