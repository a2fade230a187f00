#include "app/DiagnosticsWindow.h"
#include "platform/desktop/StateDirectory.h"
#include "support/DiagnosticReport.h"
#include "support/EventLog.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QString contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A report with a header and logging as the test sets it; cleared afterwards.
class Report : public ::testing::Test {
protected:
    void SetUp() override
    {
        EventLog::clear();
        EventLog::appendString(DiagnosticReport::header(QStringLiteral("Vistrel"), QStringLiteral("Version 0.1.0"), 0x1610), false);
    }
    void TearDown() override
    {
        EventLog::setEnabled(false);
        EventLog::clear();
    }
    const QString header = QStringLiteral("App: Vistrel\nVersion: Version 0.1.0\n\nOS type: 5648\n\n");
};

} // namespace

TEST(DiagnosticReportText, VersionAndTimeStampsReadAsTheReportPrintsThem)
{
    EXPECT_EQ(DiagnosticReport::presentedVersion(QStringLiteral("2.4"), QStringLiteral("1234")), QStringLiteral("Version 2.4 (Build 1234)"));
    EXPECT_EQ(DiagnosticReport::presentedVersion(QStringLiteral("2.4")), QStringLiteral("Version 2.4"));
    EXPECT_EQ(DiagnosticReport::presentedVersion({}, QStringLiteral("1234")), QString());
    const QDateTime east(QDate(2026, 3, 9), QTime(7, 5, 3), QTimeZone(5 * 3600 + 1800));
    const QDateTime west(QDate(2026, 12, 31), QTime(23, 59, 59), QTimeZone(-4 * 3600));
    EXPECT_EQ(EventLog::timeStamp(east), QStringLiteral("2026-03-09 07:05:03 +0530"));
    EXPECT_EQ(EventLog::timeStamp(west), QStringLiteral("2026-12-31 23:59:59 -0400"));
}

TEST_F(Report, WithLoggingOffOnlyTheHeaderIsThereAndWithItOnEventsAreTimeStamped)
{
    EventLog::append(QStringLiteral("QRNCPUMonitorItem: opening menu.\n"));
    EXPECT_EQ(EventLog::reportText(), header);

    EventLog::setEnabled(true);
    EventLog::append(QStringLiteral("QRNCPUMonitorItem: opening menu.\n"));
    EventLog::append(QString());
    EventLog::append(QStringLiteral("QRNCPUMonitorItem: closed menu.\n"));
    const QStringList lines = EventLog::reportText().mid(header.size()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_TRUE(EventLog::reportText().startsWith(header));
    ASSERT_EQ(lines.size(), 2) << qPrintable(EventLog::reportText());
    const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}: QRNCPUMonitorItem: (opening|closed) menu\\.$"));
    for (const QString& line : lines)
        EXPECT_TRUE(stamped.match(line).hasMatch()) << qPrintable(line);
    EXPECT_EQ(EventLog::lines(), (QStringList{QStringLiteral("QRNCPUMonitorItem: opening menu.\n"), QStringLiteral("QRNCPUMonitorItem: closed menu.\n")}));
}

TEST_F(Report, TheWindowFollowsTheLogAndSavesWhatItShows)
{
    QTemporaryDir folder;
    EventLog::setEnabled(true);
    EventLog::append(QStringLiteral("before the window\n"));
    auto window = std::make_unique<DiagnosticsWindow>();
    EventLog::append(QStringLiteral("Volume 'Daten – Ü' mounted.\n"));
    EXPECT_EQ(window->reportText(), EventLog::reportText());
    EXPECT_TRUE(window->reportText().startsWith(header + EventLog::timeStamp(QDateTime::currentDateTime()).left(10)));
    EXPECT_TRUE(window->reportText().endsWith(QStringLiteral(": Volume 'Daten – Ü' mounted.\n")));

    const QString path = folder.filePath(QStringLiteral("report.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();
    EXPECT_TRUE(window->saveReportTo(path));
    EXPECT_EQ(contents(path), EventLog::reportText());

    // A folder that is not there: the window says so and the report stays.
    EXPECT_FALSE(window->saveReportTo(folder.filePath(QStringLiteral("missing/report.txt"))));
    const auto* alert = window->findChild<QMessageBox*>();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->text().contains(QLatin1String("missing/report.txt")));
    // A closed window no longer listens.
    window.reset();
    EventLog::append(QStringLiteral("after the window\n"));
    EXPECT_TRUE(EventLog::reportText().endsWith(QStringLiteral(": after the window\n")));
}

TEST(StateDirectory, IsTheVistrelFolderOfTheStateHomeAndIsMadePrivate)
{
    QTemporaryDir folder;
    {
        ScopedEnvironmentVariable state("XDG_STATE_HOME", folder.path().toLocal8Bit());
        EXPECT_EQ(StateDirectory::path(), folder.filePath(QStringLiteral("vistrel")));
        EXPECT_EQ(StateDirectory::ensure(), folder.filePath(QStringLiteral("vistrel")));
        EXPECT_EQ(QFile::permissions(StateDirectory::path()) & 0x0077, 0);
        EXPECT_TRUE(DiagnosticReport::suggestedPath(StateDirectory::path(), QDateTime(QDate(2026, 12, 6), QTime(21, 15, 0)))
                        .endsWith(QStringLiteral("/vistrel/Vistrel Report 2026-12-06 211500.txt")));
    }
    // A relative value is no base folder.
    ScopedEnvironmentVariable relative("XDG_STATE_HOME", "state");
    EXPECT_EQ(StateDirectory::path(), QDir::homePath() + QStringLiteral("/.local/state/vistrel"));
}
