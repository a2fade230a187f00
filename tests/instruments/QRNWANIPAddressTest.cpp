#include "instruments/QRNWANIPAddress.h"
#include "instruments/QRNWANIPFetcher.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "support/EventsUntil.h"
#include "support/TinyHttpServer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

const QString IPv4 = QStringLiteral("0123456789.");
const QString IPv6 = QStringLiteral("0123456789abcdefABCDEF:");
const QString Marker = QStringLiteral("Current IP Address: ");

// Points the reflector hosts of a provider at two loopback servers.
class Reflectors {
public:
    Reflectors(qint64 provider, const TinyHttpServer& v4, const TinyHttpServer& v6)
    {
        QRNWANIPAddress::setServiceProvider(provider);
        const QString kind = provider == 1 ? QStringLiteral("Echo") : QStringLiteral("CheckIP");
        m_keys = {QStringLiteral("PreferencesTopic-WAN%1HostIPv4").arg(kind), QStringLiteral("PreferencesTopic-WAN%1HostIPv6").arg(kind)};
        defaults().setObject(m_keys[0], v4.host());
        defaults().setObject(m_keys[1], v6.host());
    }
    ~Reflectors()
    {
        for (const QString& key : m_keys)
            defaults().removeObject(key);
        QRNWANIPAddress::setServiceProvider(0);
    }

private:
    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
    QStringList m_keys;
};

bool answered(const QRNWANIPAddress& address)
{
    return !address.isQuerying(false) && !address.isQuerying(true);
}

} // namespace

TEST(QRNWANIPFetcher, FindsTheAddressAfterTheMarkerOnlyWhenSomethingEndsIt)
{
    const auto find = [](const char* body, const QString& marker, const QString& accepted) {
        return QRNWANIPFetcher::addressInResponse(body, marker, accepted);
    };
    EXPECT_EQ(find("<html><body>Current IP Address: 203.0.113.7</body></html>", Marker, IPv4), QStringLiteral("203.0.113.7"));
    EXPECT_EQ(find("198.51.100.4\n", {}, IPv4), QStringLiteral("198.51.100.4"));
    EXPECT_EQ(find("2001:DB8::A\n", {}, IPv6), QStringLiteral("2001:DB8::A"));
    // Runs to the end: possibly cut short.
    EXPECT_EQ(find("198.51.100.4", {}, IPv4), std::nullopt);
    EXPECT_EQ(find("<html>Current IP Address: 203.0.113.7", Marker, IPv4), std::nullopt);
    EXPECT_EQ(find("<html><body>203.0.113.7</body></html>", Marker, IPv4), std::nullopt);
    EXPECT_EQ(find("<html>Current IP Address: </html>", Marker, IPv4), std::nullopt);
    EXPECT_EQ(find("Current IP Address: ", Marker, IPv4), std::nullopt);
    EXPECT_EQ(find("", {}, IPv4), std::nullopt);
    EXPECT_EQ(find("<html>hello</html>", {}, IPv4), std::nullopt);

    QObject target;
    const auto setter = [](const std::optional<QString>&) {};
    EXPECT_FALSE(QRNWANIPFetcher::initWithHostName({}, {}, IPv4, 5, &target, setter));
    EXPECT_FALSE(QRNWANIPFetcher::initWithHostName("example.org", {}, {}, 5, &target, setter));
    EXPECT_FALSE(QRNWANIPFetcher::initWithHostName("example.org", {}, IPv4, 0, &target, setter));
    EXPECT_FALSE(QRNWANIPFetcher::initWithHostName("example.org", {}, IPv4, 5, nullptr, setter));
    const auto fetcher = QRNWANIPFetcher::initWithHostName("example.org", {}, IPv4, 5, &target, setter);
    ASSERT_TRUE(fetcher);
    EXPECT_EQ(fetcher->downloadURL().toString(), QStringLiteral("http://example.org/"));
}

TEST(QRNWANIPAddress, BothAnswerFormsDeliverTheirAddressesOverHTTP)
{
    TinyHttpServer page4(TinyHttpServer::Behaviour::Answer, "<html><body>Current IP Address: 203.0.113.7</body></html>\r\n");
    TinyHttpServer page6(TinyHttpServer::Behaviour::Answer, "<html><body>Current IP Address: 2001:DB8::7</body></html>");
    {
        Reflectors hosts(0, page4, page6);
        QRNWANIPAddress address;
        EXPECT_EQ(address.addressStringIPv4(), QString());
        ASSERT_TRUE(eventsUntil([&] { return answered(address); }));
        EXPECT_EQ(address.addressStringIPv4(), QStringLiteral("203.0.113.7"));
        EXPECT_EQ(address.addressStringIPv6(), QStringLiteral("2001:DB8::7"));
    }
    TinyHttpServer echo4(TinyHttpServer::Behaviour::Answer, "198.51.100.4\n");
    TinyHttpServer closing(TinyHttpServer::Behaviour::Close);
    {
        Reflectors hosts(1, echo4, closing);
        LogCapture log;
        QRNWANIPAddress address;
        ASSERT_TRUE(eventsUntil([&] { return answered(address); }));
        EXPECT_EQ(address.addressStringIPv4(), QStringLiteral("198.51.100.4"));
        EXPECT_EQ(address.addressStringIPv6(), std::nullopt);
        EXPECT_EQ(log.messages(LogLevel::Error).filter(QStringLiteral("Failed to determine WAN IP address")).size(), 1);

        // An unknown provider asks nobody and keeps what is known.
        QRNWANIPAddress::setServiceProvider(2);
        address.update();
        EXPECT_TRUE(answered(address));
        EXPECT_EQ(address.addressStringIPv4(), QStringLiteral("198.51.100.4"));
        EXPECT_TRUE(log.contains(LogLevel::Error, QStringLiteral("QRNWANIPAddress: access to service provider type 2 is not implemented.")));
    }
    EXPECT_EQ(echo4.requests(), 1);
}

TEST(QRNWANIPAddress, GarbageAndEmptyAnswersGiveNoAddressAndASilentServerTimesOutWithoutBlocking)
{
    TinyHttpServer garbage(TinyHttpServer::Behaviour::Answer, "<html>hello</html>");
    TinyHttpServer empty(TinyHttpServer::Behaviour::Answer, "");
    {
        Reflectors hosts(1, garbage, empty);
        LogCapture log;
        QRNWANIPAddress address;
        ASSERT_TRUE(eventsUntil([&] { return answered(address); }));
        EXPECT_EQ(address.addressStringIPv4(), std::nullopt);
        EXPECT_EQ(address.addressStringIPv6(), std::nullopt);
        EXPECT_EQ(log.messages(LogLevel::Error).count(QStringLiteral("Received invalid response from IP reflector service.")), 2);
    }
    TinyHttpServer silent(TinyHttpServer::Behaviour::Silent);
    TinyHttpServer unended(TinyHttpServer::Behaviour::Answer, "2001:db8::1");
    Reflectors hosts(1, silent, unended);
    QRNWANIPAddress address;
    QElapsedTimer clock;
    clock.start();
    int turns = 0;
    ASSERT_TRUE(eventsUntil([&] { ++turns; return answered(address); }, 10000));
    EXPECT_GE(clock.elapsed(), 4500);
    EXPECT_LT(clock.elapsed(), 9000);
    // The event loop kept running while the query waited.
    EXPECT_GT(turns, 100);
    EXPECT_EQ(address.addressStringIPv4(), std::nullopt);
    EXPECT_EQ(address.addressStringIPv6(), std::nullopt);
    EXPECT_EQ(silent.requests(), 1);
}
