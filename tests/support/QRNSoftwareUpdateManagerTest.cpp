#include "platform/defaults/PropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "support/EventsUntil.h"
#include "support/QRNProcessInfo.h"
#include "support/QRNSoftwareUpdateManager.h"
#include "support/ScopedLocale.h"
#include "support/SelfSignedCertificate.h"
#include "support/TinyHttpServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QString CouldNotContact = QStringLiteral("Could not contact update site");
const QString UpToDate = QStringLiteral("This software product is up-to-date");

quint32 runningOS()
{
    return QRNProcessInfo::processInfo().operatingSystemVersionCode();
}

QVariantMap validInfo(const QString& version)
{
    return {{QStringLiteral("QRNBuildNumber"), QStringLiteral("417")},
        {QStringLiteral("QRNMinimumOSVersion"), QStringLiteral("1000")},
        {QStringLiteral("QRNProductCode"), 7},
        {QStringLiteral("QRNProductName"), QStringLiteral("Vistrel")},
        {QStringLiteral("QRNProductURLs"), QVariantMap{{QStringLiteral("en"), QStringLiteral("https://example.org/vistrel")}}},
        {QStringLiteral("QRNReleaseDate"), QDateTime(QDate(2026, 11, 2), QTime(12, 0), Qt::UTC)},
        {QStringLiteral("QRNVersionNumber"), version}};
}

QByteArray plist(const QVariant& value)
{
    return PropertyList::toXML(value).value_or(QByteArray());
}

// A manager of version 0.1.0 on this system, its settings in a folder of its own,
// asking an HTTPS server whose certificate only this test trusts.
class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_certificate.isValid()) << qPrintable(m_certificate.error());
        m_trust = std::make_unique<SelfSignedCertificate::Trust>(m_certificate);
    }
    void TearDown() override { m_trust.reset(); }

    std::unique_ptr<TinyHttpServer> server(const QByteArray& body, const QByteArray& status = "200 OK")
    {
        auto answering = std::make_unique<TinyHttpServer>(TinyHttpServer::Behaviour::Answer, body, &m_tls);
        answering->setStatus(status);
        return answering;
    }
    void setSource(const QString& url) { m_defaults.setObject(QRNSoftwareUpdateManager::SourceURLSetting, url); }
    static QString httpsBase(const TinyHttpServer& server) { return QStringLiteral("https://%1/updates/").arg(server.host()); }

    // Runs one manual check against the server and answers the alert it leads to.
    QRNSoftwareUpdateManager::Alert check(const TinyHttpServer& server, quint32 os = runningOS())
    {
        setSource(httpsBase(server));
        return check(os);
    }
    QRNSoftwareUpdateManager::Alert check(quint32 os = runningOS())
    {
        QRNSoftwareUpdateManager manager(QStringLiteral("Vistrel"), QStringLiteral("0.1.0"), os, m_defaults);
        manager.setTimeout(1500ms);
        int finished = 0;
        QObject::connect(&manager, &QRNSoftwareUpdateManager::checkFinished, [&] { ++finished; });
        manager.runCheck();
        EXPECT_TRUE(eventsUntil([&] { return finished > 0; }, 10000));
        EXPECT_EQ(finished, 1);
        EXPECT_FALSE(manager.isChecking());
        return manager.alertWithResults();
    }

    SelfSignedCertificate m_certificate;
    QSslConfiguration m_tls = m_certificate.serverConfiguration();
    std::unique_ptr<SelfSignedCertificate::Trust> m_trust;
    QTemporaryDir m_folder;
    UserDefaults m_defaults{m_folder.path()};
};

} // namespace

TEST_F(UpdateCheck, NothingIsAskedWithoutASourceOrWithoutTheUsersWish)
{
    auto listening = server(plist(validInfo(QStringLiteral("9.0"))));
    {
        QRNSoftwareUpdateManager manager(QStringLiteral("Vistrel"), QStringLiteral("0.1.0"), runningOS(), m_defaults);
        EXPECT_FALSE(manager.isSourceConfigured());
        m_defaults.setObject(QRNSoftwareUpdateManager::AutomaticCheckSetting, true);
        manager.runAutomaticUpdateCheckIfNecessary();
        EXPECT_FALSE(manager.isChecking());
        EXPECT_EQ(check().title, CouldNotContact);
        EXPECT_EQ(QRNSoftwareUpdateManager::alertForMissingSource().title, QStringLiteral("No update source is configured"));
        // A source alone is no wish for automatic checks.
        setSource(httpsBase(*listening));
        m_defaults.setObject(QRNSoftwareUpdateManager::AutomaticCheckSetting, false);
        manager.runAutomaticUpdateCheckIfNecessary();
        EXPECT_FALSE(manager.isChecking());
    }
    eventsUntil([] { return false; }, 300);
    EXPECT_EQ(listening->requests(), 0);
}

TEST_F(UpdateCheck, ANewerReleaseIsOfferedUnlessItIsTheSameOrNeedsANewerSystem)
{
    auto newer = server(plist(validInfo(QStringLiteral("0.2"))));
    const QRNSoftwareUpdateManager::Alert offer = check(*newer);
    EXPECT_EQ(newer->lastRequestLine(), QByteArray("GET /updates/ProductRepository/Vistrel.plist HTTP/1.1"));
    EXPECT_EQ(offer.title, QStringLiteral("A new version is available"));
    EXPECT_TRUE(offer.text.startsWith(QStringLiteral("The software package Vistrel, version 0.2 (Build 417), is available since ")))
        << qPrintable(offer.text);
    EXPECT_EQ(offer.buttons, (QStringList{QStringLiteral("Connect"), QStringLiteral("Cancel")}));
    EXPECT_EQ(offer.page, QUrl(QStringLiteral("https://example.org/vistrel")));

    // Versions compare as decimal numbers: 0.10 reads as 0.1, the running one.
    for (const QString& same : {QStringLiteral("0.1"), QStringLiteral("0.10"), QStringLiteral("0.05")}) {
        auto sameServer = server(plist(validInfo(same)));
        const QRNSoftwareUpdateManager::Alert alert = check(*sameServer);
        EXPECT_EQ(alert.title, UpToDate) << qPrintable(same);
        EXPECT_EQ(alert.buttons, QStringList{QStringLiteral("OK")});
    }

    QVariantMap tooNew = validInfo(QStringLiteral("0.2"));
    tooNew[QStringLiteral("QRNMinimumOSVersion")] = QString::number(runningOS() + 1, 16).toUpper();
    auto tooNewServer = server(plist(tooNew));
    EXPECT_EQ(check(*tooNewServer).title, UpToDate);
}

TEST_F(UpdateCheck, AMalformedInformationFileNamesItsFirstFaultAndCountsAsNoAnswer)
{
    const std::vector<std::pair<std::function<void(QVariantMap&)>, QString>> faults = {
        {[](QVariantMap& m) { m.remove(QStringLiteral("QRNBuildNumber")); }, QStringLiteral("build number error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNMinimumOSVersion")] = QString(); }, QStringLiteral("OS version error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNProductCode")] = QStringLiteral("7"); }, QStringLiteral("product SKU error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNProductName")] = 3; }, QStringLiteral("product name error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNProductURLs")] = QVariantList{}; }, QStringLiteral("product URL error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNProductURLs")] = QVariantMap{{QString(), QStringLiteral("https://x")}}; },
            QStringLiteral("localization key error")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNProductURLs")] = QVariantMap{{QStringLiteral("de"), QString()}}; },
            QStringLiteral("error in URL for language 'de'")},
        {[](QVariantMap& m) { m[QStringLiteral("QRNReleaseDate")] = QStringLiteral("2026-11-02"); }, QStringLiteral("release date error")},
        {[](QVariantMap& m) { m.remove(QStringLiteral("QRNVersionNumber")); }, QStringLiteral("version specificier error")},
        // Two faults: the earlier key in the order is named.
        {[](QVariantMap& m) {
             m.remove(QStringLiteral("QRNVersionNumber"));
             m.remove(QStringLiteral("QRNProductName"));
         },
            QStringLiteral("product name error")},
    };
    for (const auto& [spoil, failure] : faults) {
        QVariantMap info = validInfo(QStringLiteral("0.2"));
        spoil(info);
        auto answering = server(plist(info));
        LogCapture log;
        EXPECT_EQ(check(*answering).title, CouldNotContact) << qPrintable(failure);
        EXPECT_EQ(log.messages(LogLevel::Error),
            QStringList{QStringLiteral("QRNSoftwareUpdateManager: received invalid update info: ") + failure});
    }
}

TEST_F(UpdateCheck, EveryFailureToGetTheFileEndsAsNoAnswer)
{
    const QString problem = QStringLiteral("QRNSoftwareUpdateManager: problem during download of software update information: ");
    const auto expectNoAnswer = [&](const QRNSoftwareUpdateManager::Alert& alert, const LogCapture& log,
                                    const QString& logged, const char* what) {
        EXPECT_EQ(alert.title, CouldNotContact) << what;
        EXPECT_EQ(alert.text, QStringLiteral("It was not possible to contact the update server via Internet. Please check "
                                             "your Internet connection or retry at a later time."));
        const QStringList errors = log.messages(LogLevel::Error);
        ASSERT_EQ(errors.size(), 1) << what << qPrintable(errors.join(u'\n'));
        EXPECT_TRUE(errors.first().startsWith(logged)) << what << qPrintable(errors.first());
    };
    {
        auto page = server("<html><body>Moved</body></html>");
        LogCapture log;
        expectNoAnswer(check(*page), log, QStringLiteral("QRNSoftwareUpdateManager: the software update information is no property list"), "html");
    }
    {
        auto list = server(plist(QVariantList{1, 2}));
        LogCapture log;
        expectNoAnswer(check(*list), log, QStringLiteral("QRNSoftwareUpdateManager: the software update information is no dictionary."), "array");
    }
    {
        auto missing = server(plist(validInfo(QStringLiteral("0.2"))), "404 Not Found");
        LogCapture log;
        expectNoAnswer(check(*missing), log, problem, "404");
    }
    {
        TinyHttpServer silent(TinyHttpServer::Behaviour::Silent, {}, &m_tls);
        LogCapture log;
        QElapsedTimer elapsed;
        elapsed.start();
        expectNoAnswer(check(silent), log, problem, "silent");
        EXPECT_GE(elapsed.elapsed(), 1400);
    }
    {
        // Away from HTTPS: the plain server is never asked.
        TinyHttpServer plain(TinyHttpServer::Behaviour::Answer, plist(validInfo(QStringLiteral("0.2"))));
        auto redirecting = server({}, "302 Found");
        redirecting->addHeader("Location: http://" + plain.host().toLatin1() + "/ProductRepository/Vistrel.plist");
        LogCapture log;
        expectNoAnswer(check(*redirecting), log, problem, "redirect");
        EXPECT_EQ(redirecting->requests(), 1);
        EXPECT_EQ(plain.requests(), 0);

        LogCapture plainLog;
        setSource(QStringLiteral("http://%1/").arg(plain.host()));
        expectNoAnswer(check(), plainLog, QStringLiteral("QRNSoftwareUpdateManager: the update source 'http://"), "http source");
        EXPECT_EQ(plain.requests(), 0);
    }
}

TEST_F(UpdateCheck, TheAutomaticCheckRunsOncePerPeriodAndOnlyASuccessCounts)
{
    auto newer = server(plist(validInfo(QStringLiteral("0.2"))));
    setSource(httpsBase(*newer));
    m_defaults.setObject(QRNSoftwareUpdateManager::AutomaticCheckSetting, true);
    QRNSoftwareUpdateManager manager(QStringLiteral("Vistrel"), QStringLiteral("0.1.0"), runningOS(), m_defaults);
    int found = 0;
    QObject::connect(&manager, &QRNSoftwareUpdateManager::relevantUpdateFound, [&] { ++found; });
    manager.runAutomaticUpdateCheckIfNecessary();
    ASSERT_TRUE(eventsUntil([&] { return !manager.isChecking(); }, 10000));
    EXPECT_EQ(found, 1);
    EXPECT_EQ(newer->requests(), 2);  // the information file, then the release notes
    const QDateTime stamp = m_defaults.objectForKey(QRNSoftwareUpdateManager::LastCheckSetting).toDateTime();
    EXPECT_LE(qAbs(stamp.secsTo(QDateTime::currentDateTimeUtc())), 5);

    // Within the period: nothing.
    manager.runAutomaticUpdateCheckIfNecessary();
    EXPECT_FALSE(manager.isChecking());
    QRNSoftwareUpdateManager::setMinimumPeriodForAutomaticUpdateCheck(0.5);
    EXPECT_EQ(QRNSoftwareUpdateManager::minimumPeriodForAutomaticUpdateCheck(), 86400.0);

    // A day later the server is gone: the time stamp stays, so the next start tries again.
    const QDateTime dayAgo = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() - 86401, Qt::UTC);
    m_defaults.setObject(QRNSoftwareUpdateManager::LastCheckSetting, dayAgo);
    newer.reset();
    auto missing = server({}, "404 Not Found");
    setSource(httpsBase(*missing));
    LogCapture log;
    manager.runAutomaticUpdateCheckIfNecessary();
    ASSERT_TRUE(eventsUntil([&] { return !manager.isChecking(); }, 10000));
    EXPECT_EQ(missing->requests(), 1);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(m_defaults.objectForKey(QRNSoftwareUpdateManager::LastCheckSetting).toDateTime(), dayAgo);
}

TEST_F(UpdateCheck, AnUpdateFoundAutomaticallyBringsItsReleaseNotesInTheUsersLanguage)
{
    EXPECT_EQ(QRNSoftwareUpdateManager::bestSupportedLanguageCodeForLanguageCode(QString()), QStringLiteral("en"));
    EXPECT_EQ(QRNSoftwareUpdateManager::bestSupportedLanguageCodeForLanguageCode(QStringLiteral("fr")), QStringLiteral("en"));
    EXPECT_EQ(QRNSoftwareUpdateManager::bestSupportedLanguageCodeForLanguageCode(QStringLiteral("pt-BR")), QStringLiteral("pt"));

    // Unknown paths are missing; the information file and two notes are there.
    auto site = server({}, "404 Not Found");
    site->addPage("/updates/ProductRepository/Vistrel.plist", plist(validInfo(QStringLiteral("0.2"))));
    site->addPage("/updates/ProductNews/Vistrel-en.html", "<p>New <b>graphs</b></p>");
    site->addPage("/updates/ProductNews/Vistrel-de.html", "<p>Neue <b>Graphen</b></p>");
    setSource(httpsBase(*site));
    m_defaults.setObject(QRNSoftwareUpdateManager::AutomaticCheckSetting, true);
    QRNSoftwareUpdateManager manager(QStringLiteral("Vistrel"), QStringLiteral("0.1.0"), runningOS(), m_defaults);
    QStringList offered;
    QObject::connect(&manager, &QRNSoftwareUpdateManager::relevantUpdateFound, [&] { offered << manager.updateNotes(); });
    const auto checkIn = [&](QLocale::Language language) {
        ScopedLocale locale{QLocale(language)};
        m_defaults.removeObject(QRNSoftwareUpdateManager::LastCheckSetting);
        manager.runAutomaticUpdateCheckIfNecessary();
        EXPECT_TRUE(eventsUntil([&] { return !manager.isChecking(); }, 10000));
        return site->lastRequestLine();
    };
    EXPECT_EQ(checkIn(QLocale::German), QByteArray("GET /updates/ProductNews/Vistrel-de.html HTTP/1.1"));
    EXPECT_EQ(checkIn(QLocale::French), QByteArray("GET /updates/ProductNews/Vistrel-en.html HTTP/1.1"));
    EXPECT_EQ(offered, (QStringList{QStringLiteral("<p>Neue <b>Graphen</b></p>"), QStringLiteral("<p>New <b>graphs</b></p>")}));

    EXPECT_EQ(site->requests(), 4);

    // Notes that cannot be read leave the offer without them.
    auto noNotes = server({}, "404 Not Found");
    noNotes->addPage("/updates/ProductRepository/Vistrel.plist", plist(validInfo(QStringLiteral("0.2"))));
    setSource(httpsBase(*noNotes));
    LogCapture log;
    checkIn(QLocale::English);
    EXPECT_EQ(noNotes->lastRequestLine(), QByteArray("GET /updates/ProductNews/Vistrel-en.html HTTP/1.1"));
    ASSERT_EQ(offered.size(), 3);
    EXPECT_EQ(offered.last(), QString());
    const QStringList errors = log.messages(LogLevel::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().startsWith(QStringLiteral("QRNSoftwareUpdateManager: could not read the release notes: ")))
        << qPrintable(errors.first());
}
