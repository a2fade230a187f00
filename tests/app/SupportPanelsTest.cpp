#include "app/QRNAboutPanel.h"
#include "app/StartupEnvironment.h"
#include "app/SupportWindows.h"
#include "support/QRNSoftwareUpdateManager.h"
#include "support/ScopedUserDefaults.h"

#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>

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
