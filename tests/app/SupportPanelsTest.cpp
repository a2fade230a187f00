#include "app/QRNAboutPanel.h"
#include "app/QRNSoftwareUpdatePanel.h"
#include "app/StartupEnvironment.h"
#include "app/SupportWindows.h"
#include "platform/defaults/PropertyList.h"
#include "support/EventsUntil.h"
#include "support/QRNSoftwareUpdateManager.h"
#include "support/ScopedLocale.h"
#include "support/ScopedUserDefaults.h"
#include "support/SelfSignedCertificate.h"
#include "support/TinyHttpServer.h"

#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(QRNAboutPanel, ShowsTheIdentityAndScrollsTheCreditsRoundAndRound)
{
    QRNAboutPanel panel;
    panel.present();
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("About Vistrel"));
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Version " VISTREL_VERSION));
    EXPECT_TRUE(panel.findChild<QLabel*>(QStringLiteral("copyright"))->text().startsWith(QStringLiteral("Copyright ©")));
    const QString credits = QRNAboutPanel::creditsText();
    EXPECT_TRUE(credits.startsWith(QStringLiteral("<p>&nbsp;</p>").repeated(8)));
    EXPECT_TRUE(credits.endsWith(QStringLiteral("<p>&nbsp;</p>").repeated(8)));
    EXPECT_TRUE(panel.credits().toPlainText().contains(QStringLiteral("libplist")));

    QScrollBar* bar = panel.credits().verticalScrollBar();
    ASSERT_GT(bar->maximum(), 20) << "the credits must be taller than their view to scroll";
    bar->setValue(0);
    panel.scrollCredits();
    panel.scrollCredits();
    EXPECT_EQ(bar->value(), 2);
    bar->setValue(bar->maximum());
    panel.scrollCredits();
    EXPECT_EQ(bar->value(), 0);
}

TEST(StartupEnvironment, FindsItsResourcesSoundAndWarnsOfTemporaryAndReadOnlyPlaces)
{
    EXPECT_EQ(StartupEnvironment::damagedResources(), QStringList());

    QTemporaryDir temporary;
    EXPECT_EQ(ProgramLocation::of(temporary.path()), ProgramLocation::Kind::Temporary);
    EXPECT_EQ(ProgramLocation::of(QStringLiteral("/tmp")), ProgramLocation::Kind::Temporary);
    // The root holds the temporary folder but is none itself.
    EXPECT_NE(ProgramLocation::of(QStringLiteral("/")), ProgramLocation::Kind::Temporary);
    const QString text = StartupEnvironment::locationWarningText(ProgramLocation::Kind::Temporary, temporary.path());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Vistrel can be used this way, but ") + temporary.path())) << qPrintable(text);
    EXPECT_EQ(StartupEnvironment::locationWarningTitle(ProgramLocation::Kind::Ordinary), QString());

    // A read-only mount of this machine, where there is one (/proc/sys or /sys in a container).
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    ASSERT_TRUE(mounts.open(QIODevice::ReadOnly));
    QString readOnly;
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 3 && fields[3].split(',').contains("ro") && !fields[1].startsWith("/tmp")) {
            readOnly = QString::fromUtf8(fields[1]);
            break;
        }
    }
    if (readOnly.isEmpty())
        GTEST_SKIP() << "no read-only mount on this machine";
    EXPECT_EQ(ProgramLocation::of(readOnly), ProgramLocation::Kind::ReadOnly) << qPrintable(readOnly);
}

TEST(SupportWindows, CheckingForUpdatesWithoutASourceSaysSoAndAsksNobody)
{
    ScopedUserDefaults settings;
    SupportWindows windows;
    windows.checkForSoftwareUpdate();
    EXPECT_FALSE(windows.updateManager().isChecking());
    QMessageBox* alert = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("updateAlert") && window->isVisible())
            alert = qobject_cast<QMessageBox*>(window);
    }
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("No update source is configured"));
    EXPECT_TRUE(alert->informativeText().contains(QLatin1String("SoftwareUpdateSourceURL")));
    alert->close();
}

TEST(SupportWindows, AnUpdateFoundAtStartIsOfferedWithItsReleaseNotesAsRichText)
{
    SelfSignedCertificate certificate;
    ASSERT_TRUE(certificate.isValid()) << qPrintable(certificate.error());
    const SelfSignedCertificate::Trust trust(certificate);
    const QSslConfiguration tls = certificate.serverConfiguration();
    TinyHttpServer site(TinyHttpServer::Behaviour::Answer, {}, &tls);
    site.setStatus("404 Not Found");
    const QVariantMap info{{QStringLiteral("QRNBuildNumber"), QStringLiteral("900")},
        {QStringLiteral("QRNMinimumOSVersion"), QStringLiteral("1000")},
        {QStringLiteral("QRNProductCode"), 7},
        {QStringLiteral("QRNProductName"), QStringLiteral("Vistrel Suite")},
        {QStringLiteral("QRNProductURLs"), QVariantMap{{QStringLiteral("en"), QStringLiteral("https://example.org/get")}}},
        {QStringLiteral("QRNReleaseDate"), QDateTime(QDate(2026, 11, 2), QTime(12, 0), Qt::UTC)},
        {QStringLiteral("QRNVersionNumber"), QStringLiteral("99.5")}};
    site.addPage("/ProductRepository/Vistrel.plist", PropertyList::toXML(info).value_or(QByteArray()));
    site.addPage("/ProductNews/Vistrel-en.html",
        "<h2>What is new</h2><p>Faster <b>graphs</b>, <span style=\"color:#000000\">written dark</span>. "
        "<a href=\"https://example.org/news\">More</a></p>");

    ScopedUserDefaults settings;
    const ScopedLocale english{QLocale(QLocale::English)};
    settings.defaults().setObject(QRNSoftwareUpdateManager::SourceURLSetting, QStringLiteral("https://%1").arg(site.host()));
    settings.defaults().setObject(QRNSoftwareUpdateManager::AutomaticCheckSetting, true);
    SupportWindows windows;
    ASSERT_TRUE(eventsUntil([&] { return windows.updatePanel() && windows.updatePanel()->isVisible(); }, 10000));
    QRNSoftwareUpdatePanel& panel = *windows.updatePanel();
    EXPECT_EQ(site.requests(), 2);
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Vistrel Suite"));
    EXPECT_TRUE(panel.findChild<QLabel*>(QStringLiteral("panelHeaderLabel"))->text().contains(QLatin1String("Update available")));
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("panelVersionLabel"))->text(), QStringLiteral("Version 99.5"));
    EXPECT_EQ(panel.findChild<QPushButton*>(QStringLiteral("panelWebButton"))->text(), QStringLiteral("Open web page"));
    EXPECT_EQ(panel.page(), QUrl(QStringLiteral("https://example.org/get")));

    // Rich text, not markup: the heading, the emphasis and the link survive,
    // the dark colour does not.
    const QTextDocument& notes = *panel.infoText().document();
    EXPECT_EQ(notes.toPlainText(), QStringLiteral("What is new\nFaster graphs, written dark. More"));
    const auto formatOf = [&](const QString& words) {
        const QTextCursor found = notes.find(words);
        EXPECT_FALSE(found.isNull()) << qPrintable(words);
        return found.charFormat();
    };
    EXPECT_EQ(formatOf(QStringLiteral("graphs")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(QStringLiteral("More")).anchorHref(), QStringLiteral("https://example.org/news"));
    EXPECT_FALSE(formatOf(QStringLiteral("written dark")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(notes.firstBlock().blockFormat().headingLevel(), 2);

    panel.findChild<QPushButton*>(QStringLiteral("panelCancelButton"))->click();
    EXPECT_FALSE(panel.isVisible());
}
