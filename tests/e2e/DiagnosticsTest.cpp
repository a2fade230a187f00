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

} // namespace

TEST(Diagnostics, TheAltRowOfAnItemMenuShowsTheReportWithALineForThatMenuAndSavesIt)
{
    QVariantMap settings = processorGraph();
    settings.insert(QStringLiteral("EnableEventLogging"), true);
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    const QString stateFolder = vistrel.home() + QStringLiteral("/state/vistrel");
    const QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());

    // The processor item alone, at the right end.
    const QPoint processor(ScreenWidth - ItemSpacing - 10, BarHeight / 2);
    ASSERT_TRUE(click(processor));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem'"))) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("keydown alt"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("Show Diagnostics Window"))) << qPrintable(vistrel.errorOutput());
    // With Alt held the last row is the diagnostics command.
    xdotool(QStringLiteral("key Up key Return"));
    xdotool(QStringLiteral("keyup alt"));
    ASSERT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Vistrel Diagnostics$")); })) << qPrintable(vistrel.errorOutput());

    ASSERT_TRUE(xdotool(QStringLiteral("search --onlyvisible --name ^Vistrel\\ Diagnostics$ windowfocus --sync key ctrl+s")));
    ASSERT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Save Diagnostic Report$")); })) << qPrintable(vistrel.errorOutput());
    xdotool(QStringLiteral("search --onlyvisible --name ^Save\\ Diagnostic\\ Report$ windowfocus --sync key Return"));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("saved the diagnostic report as"))) << qPrintable(vistrel.errorOutput());

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
