#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

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

} // namespace

TEST(Diagnostics, TheAltRowOfAnItemMenuShowsTheReportWithALineForThatMenuAndSavesIt)
{
    QVariantMap settings = processorGraph();
    settings.insert(QStringLiteral("EnableEventLogging"), true);
    // The notice of the switch to menu-bar only would take the keyboard from the menu.
    settings.insert(QStringLiteral("PreferencesTopic-SuppressSwitchingNotice"), true);
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    const QString stateFolder = vistrel.home() + QStringLiteral("/state/vistrel");
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());

    // The processor item alone, at the right end.
    const QPoint processor(ScreenWidth - ItemSpacing - 10, BarHeight / 2);
    // Alt held while the menu opens shows the alternate rows; the last is the diagnostics command.
    // A click while the menu still settles can miss the row; then the menu is opened again.
    const QString opened = QStringLiteral("opened the menu of 'QRNCPUMonitorItem' at ");
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        xdotool(QStringLiteral("key Escape keydown alt"));
        ASSERT_TRUE(click(processor));
        ASSERT_TRUE(vistrel.waitForOutput(opened)) << qPrintable(vistrel.errorOutput());
        EXPECT_TRUE(vistrel.outputSince(opened).contains(QLatin1String("Show Diagnostics Window")));
        const int column = qMax(vistrel.outputSince(opened).mid(opened.size()).section(u',', 0, 0).toInt(), 0) + 20;
        // The menu grows by the alternate rows once shown: wait until its height holds still.
        int height = 0;
        ASSERT_TRUE(waitUntil([&] {
            const int before = height;
            keepRunning(250);
            height = heightBelowBar(grabScreen(), column);
            return height > 40 && height == before;
        }));
        ASSERT_TRUE(click(QPoint(column, BarHeight + height - 12)));
        xdotool(QStringLiteral("keyup alt"));
        shown = waitUntil([] { return windowShown(QStringLiteral("^Vistrel Diagnostics$")); }, 4000);
    }
    ASSERT_TRUE(shown) << qPrintable(vistrel.errorOutput());

    // A window just mapped may not take the keyboard yet: keys are given again until they act.
    ASSERT_TRUE(waitUntil([] {
        return keyInto(QStringLiteral("^Vistrel Diagnostics$"), QStringLiteral("ctrl+s"))
            && waitUntil([] { return windowShown(QStringLiteral("^Save Diagnostic Report$")); }, 2000);
    })) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(waitUntil([&] {
        keyInto(QStringLiteral("^Save Diagnostic Report$"), QStringLiteral("Return"));
        return vistrel.waitForOutput(QStringLiteral("saved the diagnostic report as"), 2000);
    })) << qPrintable(vistrel.errorOutput());

    const QString report = savedReport(stateFolder);
    ASSERT_TRUE(report.startsWith(QStringLiteral("App: Vistrel\nVersion: Version "))) << qPrintable(report);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\n\nOS type: \\d+\n\n")).match(report).hasMatch()) << qPrintable(report);
    const QString stamp = QStringLiteral("\n\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}: ");
    EXPECT_TRUE(QRegularExpression(stamp + QStringLiteral("QRNCPUMonitorItem: opening menu\\.\n")).match(report).hasMatch())
        << qPrintable(report);
    EXPECT_TRUE(QRegularExpression(stamp + QStringLiteral("Diagnostics window opened\\.\n")).match(report).hasMatch())
        << qPrintable(report);
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
