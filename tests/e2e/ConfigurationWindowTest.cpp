#include "VistrelProcess.h"
#include "XServer.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString WindowName = QStringLiteral("^Vistrel Configuration$");
const QRect WindowFrame(100, 120, 760, 480);
const QString Pie = QStringLiteral("QRNNumericMenuBarCell:P");

// A strip of the processor page as the program last logged it: its top-left
// corner on the screen, its cells by code and the right end of the last one.
struct LoggedStrip {
    QPoint origin;
    QMap<QString, QRect> cells;
    int right = 0;
};

LoggedStrip loggedStrip(const QString& page, const QString& strip)
{
    const QRegularExpression line(QStringLiteral("^%1 at (-?\\d+),(-?\\d+) height (\\d+):(.*)$").arg(strip),
        QRegularExpression::MultilineOption);
    const auto match = line.match(page);
    LoggedStrip result;
    result.origin = QPoint(match.captured(1).toInt(), match.captured(2).toInt());
    result.right = result.origin.x();
    static const QRegularExpression cell(QStringLiteral(" (\\S+)@(\\d+)\\+(\\d+)"));
    for (auto cells = cell.globalMatch(match.captured(4)); cells.hasNext();) {
        const auto each = cells.next();
        const QRect rect(each.captured(2).toInt(), result.origin.y(), each.captured(3).toInt(), match.captured(3).toInt());
        result.cells.insert(each.captured(1), rect);
        result.right = rect.right() + 1;
    }
    return result;
}

TEST(ConfigurationWindow, CellsDraggedIntoAndOutOfAStripChangeTheLiveItem)
{
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")},
        VistrelProcess::settled({
            {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
            {QStringLiteral("ProcessorTopic-IsActive"), true},
            {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNTextMenuBarCell:V")}},
            {QStringLiteral("WindowFrame ConfigurationWindow"),
                QVariantList{WindowFrame.x(), WindowFrame.y(), WindowFrame.width(), WindowFrame.height()}},
        }));
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const int itemRight = ScreenWidth - ItemSpacing;
    const int leftBefore = leftmostInk(screen, background);
    ASSERT_LT(leftBefore, itemRight) << "no processor item in the bar";

    const QString page = openPreferencesFromMenu(vistrel, QStringLiteral("QRNCPUMonitorItem"), leftBefore);
    ASSERT_TRUE(page.contains(QLatin1String("the page 'ProcessorTopic' shows:"))) << qPrintable(vistrel.errorOutput());
    const LoggedStrip palette = loggedStrip(page, QStringLiteral("menuBarSourceView"));
    const LoggedStrip strip = loggedStrip(page, QStringLiteral("menuBarSimulatorView"));
    ASSERT_TRUE(palette.cells.value(Pie).isValid()) << qPrintable(page);
    ASSERT_EQ(strip.cells.size(), 1) << qPrintable(page);
    EXPECT_TRUE(WindowFrame.contains(palette.origin)) << palette.origin.x() << "," << palette.origin.y();

    // Let the switch notice fade, then drop the pie at the strip's right end:
    // the item in the bar grows by the pie.
    QThread::msleep(3500);
    const QRect pie = palette.cells.value(Pie);
    ASSERT_TRUE(drag(QPoint(pie.left() + 3, pie.center().y()), QPoint(strip.right + 30, strip.origin.y() + 11)));
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return leftmostInk(screen, background) <= leftBefore - 15;
    })) << qPrintable(vistrel.errorOutput());
    EXPECT_GT(inkIn(screen, QRect(itemRight - BarHeight, 0, BarHeight, BarHeight), background), 20);
    EXPECT_TRUE(vistrel.settingsText().contains(Pie));
    screen.copy(WindowFrame).save(QDir::current().filePath(QStringLiteral("configuration-window.png")));

    // Dragged out of the strip, the pie leaves the item again.
    ASSERT_TRUE(drag(QPoint(strip.right + BarHeight / 2, strip.origin.y() + 11), QPoint(1100, 700)));
    ASSERT_TRUE(waitUntil([&] { return leftmostInk(grabScreen(), background) == leftBefore; }))
        << qPrintable(vistrel.errorOutput());
    EXPECT_FALSE(vistrel.settingsText().contains(Pie));

    // Closing the window returns to the menu bar only.
    ASSERT_TRUE(xdotool(QStringLiteral("mousemove %1 %2 key ctrl+w").arg(WindowFrame.center().x()).arg(WindowFrame.center().y())));
    EXPECT_TRUE(waitUntil([] { return !windowShown(WindowName); })) << qPrintable(vistrel.errorOutput());
    EXPECT_EQ(vistrel.process().state(), QProcess::Running);
}

} // namespace
