#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString savedReport(const QString& folder)
{
    const QStringList reports = QDir(folder).entryList({QStringLiteral("Vistrel Report *.txt")}, QDir::Files);
    if (reports.size() != 1)
        return {};
    QFile file(QDir(folder).filePath(reports.first()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Gives the window of that name the keyboard and types the keys into it.
bool keyInto(const QString& namePattern, const QString& keys)
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), namePattern,
        QStringLiteral("windowfocus"), QStringLiteral("key"), keys});
}

// The processor item alone, at the right end of the bar.
const QPoint ProcessorItem(ScreenWidth - ItemSpacing - 10, BarHeight / 2);

// Settings of a bar with the processor item alone, and event logging on.
QVariantMap loggingProcessorGraph(const QVariantMap& more = {})
{
    QVariantMap settings = processorGraph();
    settings.insert(QStringLiteral("EnableEventLogging"), true);
    // The notice of the switch to menu-bar only would take the keyboard from the menu.
    settings.insert(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true);
    settings.insert(more);
    return settings;
}

// Opens the processor item's menu, with Alt held or not, and clicks its last
// row ("Show Diagnostics Window" among the alternate rows, else
// "Preferences..."); true once the window of that name is shown.
bool chooseLastRow(VistrelProcess& vistrel, bool alternate, const QString& window)
{
    // A click while the menu still settles can miss the row; then the menu is opened again.
    const QString opened = QStringLiteral("opened the menu of 'QRNCPUMonitorItem' at ");
    for (int attempt = 0; attempt < 3; ++attempt) {
        xdotool(alternate ? QStringLiteral("key Escape keydown alt") : QStringLiteral("key Escape"));
        if (!click(ProcessorItem) || !vistrel.waitForOutput(opened))
            return false;
        EXPECT_TRUE(vistrel.outputSince(opened).contains(alternate ? QLatin1String("Show Diagnostics Window") : QLatin1String("Preferences...")));
        const int column = qMax(vistrel.outputSince(opened).mid(opened.size()).section(u',', 0, 0).toInt(), 0) + 20;
        // The menu grows by the alternate rows once shown: wait until its height holds still.
        int height = 0;
        if (!waitUntil([&] {
                const int before = height;
                keepRunning(250);
                height = heightBelowBar(grabScreen(), column);
                return height > 40 && height == before;
            }))
            return false;
        click(QPoint(column, BarHeight + height - 12));
        if (alternate)
            xdotool(QStringLiteral("keyup alt"));
        if (waitUntil([&] { return windowShown(window); }, 4000))
            return true;
    }
    return false;
}

bool openDiagnosticsWindow(VistrelProcess& vistrel)
{
    return chooseLastRow(vistrel, true, QStringLiteral("^Vistrel Diagnostics$"));
}

// Saves the report of the open diagnostics window through its save dialog,
// as the dialog suggests; the text saved, empty when saving failed.
QString saveReport(VistrelProcess& vistrel)
{
    // A window just mapped may not take the keyboard yet: keys are given again until they act.
    const bool saved = waitUntil([] {
        return keyInto(QStringLiteral("^Vistrel Diagnostics$"), QStringLiteral("ctrl+s"))
            && waitUntil([] { return windowShown(QStringLiteral("^Save Diagnostic Report$")); }, 2000);
    }) && waitUntil([&] {
        keyInto(QStringLiteral("^Save Diagnostic Report$"), QStringLiteral("Return"));
        return vistrel.waitForOutput(QStringLiteral("saved the diagnostic report as"), 2000);
    });
    return saved ? savedReport(vistrel.home() + QStringLiteral("/state/vistrel")) : QString();
}

} // namespace

TEST(Diagnostics, TheAltRowOfAnItemMenuShowsTheReportWithALineForThatMenuAndSavesIt)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, loggingProcessorGraph());
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(openDiagnosticsWindow(vistrel)) << qPrintable(vistrel.errorOutput());

    const QString report = saveReport(vistrel);
    ASSERT_TRUE(report.startsWith(QStringLiteral("App: Vistrel\nVersion: Version "))) << qPrintable(report) << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\n\nOS type: \\d+\n\n")).match(report).hasMatch()) << qPrintable(report);
    const QString stamp = QStringLiteral("\n\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}: ");
    EXPECT_TRUE(QRegularExpression(stamp + QStringLiteral("QRNCPUMonitorItem: opening menu\\.\n")).match(report).hasMatch())
        << qPrintable(report);
    EXPECT_TRUE(QRegularExpression(stamp + QStringLiteral("Diagnostics window opened\\.\n")).match(report).hasMatch())
        << qPrintable(report);
}

// The companion built beside vistrel is started, and both the Vistrel Plus
// page and the diagnostic report show what came of it.
TEST(Diagnostics, VistrelPlusIsConnectedOnItsPageAndItsDataSetIsInTheReport)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")},
        loggingProcessorGraph({{QStringLiteral("UseAppExtension"), true}}));
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("App extension accepted."), 15000)) << qPrintable(vistrel.errorOutput());
    const QRegularExpressionMatch started =
        QRegularExpression(QStringLiteral("App extension running at PID (\\d+)\\.")).match(vistrel.errorOutput());
    ASSERT_TRUE(started.hasMatch());
    const struct Companion {
        pid_t pid;
        ~Companion() { ::kill(pid, SIGTERM); }
    } companion {pid_t(started.captured(1).toInt())};
    // The first data set comes with the first read, a second after the connection.
    keepRunning(2000);

    ASSERT_TRUE(openDiagnosticsWindow(vistrel)) << qPrintable(vistrel.errorOutput());
    const QString report = saveReport(vistrel);
    ASSERT_FALSE(report.isEmpty()) << qPrintable(vistrel.errorOutput());
    EXPECT_TRUE(report.contains(QLatin1String("Vistrel Plus: App extension accepted.\n"))) << qPrintable(report);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\n<VLPSensorInstrumentEntry> version \\d+\nmain temperature: "))
                    .match(report).hasMatch()) << qPrintable(report);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\n<VLPProcessInstrumentEntry> version \\d+\ntop 5 processes by CPU:\n"))
                    .match(report).hasMatch()) << qPrintable(report);

    ASSERT_TRUE(chooseLastRow(vistrel, false, QStringLiteral("^Vistrel Configuration$"))) << qPrintable(vistrel.errorOutput());
    // The configuration window opens at the preferences; the outline leads to the page.
    const QRegularExpression topicRow(QStringLiteral("topic 'Vistrel Plus' at (\\d+),(\\d+) size (\\d+)x(\\d+)\n"));
    QRegularExpressionMatch row;
    ASSERT_TRUE(waitUntil([&] { return (row = topicRow.match(vistrel.errorOutput())).hasMatch(); })) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(click(QPoint(row.captured(1).toInt() + row.captured(3).toInt() / 2, row.captured(2).toInt() + row.captured(4).toInt() / 2)));
    const QString shown = QStringLiteral("the page 'VistrelPlusTopic' shows:");
    ASSERT_TRUE(waitUntil([&] { return vistrel.errorOutput().contains(shown) && vistrel.outputSince(shown).contains(QLatin1String("\ntopic '")); }))
        << qPrintable(vistrel.errorOutput());
    const QString page = vistrel.outputSince(shown);
    EXPECT_TRUE(page.contains(QLatin1String("\ntext connectedStatusField: Yes\n"))) << qPrintable(page);
    // The version the companion gives itself: "vistrel-plus 1.0 (build 1)".
    QProcess plus;
    plus.start(QFileInfo(QStringLiteral(VISTREL_EXECUTABLE)).path() + QStringLiteral("/vistrel-plus"), {QStringLiteral("--version")});
    ASSERT_TRUE(plus.waitForFinished(10000));
    const QStringList words = QString::fromUtf8(plus.readAllStandardOutput()).simplified().split(u' ');
    ASSERT_EQ(words.size(), 4) << qPrintable(words.join(u' '));
    EXPECT_TRUE(page.contains(QStringLiteral("\ntext compatibleStatusField: Yes - Version: %1 (Build %2\n").arg(words[1], words[3])))
        << qPrintable(page);
}

TEST(Diagnostics, TheAboutPanelOpensFromTheMainMenu)
{
    // The main-menu item alone, at the right end.
    QVariantMap settings = processorGraph(true);
    settings.insert(QStringLiteral("ProcessorTopic-IsActive"), false);
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(click(QPoint(ScreenWidth - ItemSpacing - BarHeight / 2, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNMainMenuMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    // "About Vistrel" is the first row.
    xdotool(QStringLiteral("key Down key Return"));
    EXPECT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^About Vistrel$")); })) << qPrintable(vistrel.errorOutput());
}
