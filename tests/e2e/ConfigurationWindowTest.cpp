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

bool windowIsMapped()
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), WindowName});
}

// The left edge of the leftmost item in the bar: the first column with ink.
int leftmostInk(const QImage& screen, QRgb background)
{
    for (int x = 0; x < ScreenWidth; ++x) {
        if (inkIn(screen, QRect(x, 2, 1, BarHeight - 4), background) > 0)
            return x;
    }
    return ScreenWidth;
}

// A strip of the shown page as the program logged it: its top-left corner on
// the screen and its cells, code -> left edge and width.
struct LoggedStrip {
    QPoint origin;
    int height = 0;
    QList<std::pair<QString, QRect>> cells;

    QRect cell(const QString& code) const
    {
        for (const auto& [each, rect] : cells) {
            if (each == code)
                return rect;
        }
        return {};
    }
    int right() const { return cells.isEmpty() ? origin.x() : cells.last().second.right() + 1; }
};

LoggedStrip loggedStrip(const QString& output, const QString& page, const QString& strip)
{
    const qsizetype start = output.lastIndexOf(QStringLiteral("the page '%1' shows:").arg(page));
    const QRegularExpression line(QStringLiteral("^%1 at (-?\\d+),(-?\\d+) height (\\d+):(.*)$").arg(strip),
        QRegularExpression::MultilineOption);
    const auto match = line.match(output, start < 0 ? output.size() : start);
    LoggedStrip result;
    if (!match.hasMatch())
        return result;
    result.origin = QPoint(match.captured(1).toInt(), match.captured(2).toInt());
    result.height = match.captured(3).toInt();
    static const QRegularExpression cell(QStringLiteral(" (\\S+)@(\\d+)\\+(\\d+)"));
    auto cells = cell.globalMatch(match.captured(4));
    while (cells.hasNext()) {
        const auto each = cells.next();
        result.cells.append({each.captured(1),
            QRect(each.captured(2).toInt(), result.origin.y(), each.captured(3).toInt(), result.height)});
    }
    return result;
}

TEST(ConfigurationWindow, CellsDraggedIntoAndOutOfAStripChangeTheLiveItem)
{
    const QVariantMap settings = VistrelProcess::settled({
        {QStringLiteral("MenuBarLayoutTopic-BarSuppressMainMenuIcon"), true},
        {QStringLiteral("ProcessorTopic-IsActive"), true},
        {QStringLiteral("ProcessorTopic-MenuBarConfiguration"), QVariantList{QStringLiteral("QRNTextMenuBarCell:V")}},
        {QStringLiteral("WindowFrame ConfigurationWindow"),
            QVariantList{WindowFrame.x(), WindowFrame.y(), WindowFrame.width(), WindowFrame.height()}},
    });
    VistrelProcess vistrel({QStringLiteral("--status-bar=bar")}, settings);
    QImage screen = waitForBar();
    ASSERT_FALSE(isBlack(screen.pixel(10, 10))) << qPrintable(vistrel.errorOutput());
    const QRgb background = screen.pixel(10, 10);
    const int itemRight = ScreenWidth - ItemSpacing;
    const int leftBefore = leftmostInk(screen, background);
    ASSERT_LT(leftBefore, itemRight) << "no processor item in the bar";

    // "Preferences..." is the last row of the processor item's menu.
    ASSERT_TRUE(click(QPoint((leftBefore + itemRight) / 2, BarHeight / 2)));
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("opened the menu of 'QRNCPUMonitorItem' at ")));
    const auto opened = QRegularExpression(QStringLiteral("opened the menu of 'QRNCPUMonitorItem' at (-?\\d+),"))
                            .match(vistrel.errorOutput());
    const int column = qMax(opened.captured(1).toInt(), 0) + 20;
    int menuHeight = 0;
    ASSERT_TRUE(waitUntil([&] {
        menuHeight = heightBelowBar(grabScreen(), column);
        return menuHeight > 40;
    }));
    QThread::msleep(300);
    menuHeight = heightBelowBar(grabScreen(), column);
    ASSERT_TRUE(click(QPoint(column, BarHeight + menuHeight - 12)));
    ASSERT_TRUE(waitUntil(windowIsMapped)) << qPrintable(vistrel.errorOutput());
    ASSERT_TRUE(vistrel.waitForOutput(QStringLiteral("the page 'ProcessorTopic' shows:"))) << qPrintable(vistrel.errorOutput());

    const QString output = vistrel.errorOutput();
    const LoggedStrip palette = loggedStrip(output, QStringLiteral("ProcessorTopic"), QStringLiteral("menuBarSourceView"));
    const LoggedStrip strip = loggedStrip(output, QStringLiteral("ProcessorTopic"), QStringLiteral("menuBarSimulatorView"));
    ASSERT_TRUE(palette.cell(Pie).isValid()) << qPrintable(output);
    ASSERT_EQ(strip.cells.size(), 1) << qPrintable(output);
    EXPECT_TRUE(WindowFrame.contains(palette.origin)) << palette.origin.x() << "," << palette.origin.y();

    // Let the switch notice fade, then keep a picture of the window.
    QThread::msleep(3500);
    const QRect pie = palette.cell(Pie);
    ASSERT_TRUE(drag(QPoint(pie.left() + 3, pie.center().y()), QPoint(strip.right() + 30, strip.origin.y() + 11)));

    // The item in the bar grows by the pie, which was dropped at its right end.
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return leftmostInk(screen, background) <= leftBefore - 15;
    })) << qPrintable(vistrel.errorOutput());
    const int pieLeft = itemRight - BarHeight;
    EXPECT_GT(inkIn(screen, QRect(pieLeft, 0, BarHeight, BarHeight), background), 20);
    EXPECT_TRUE(vistrel.settingsText().contains(Pie));
    screen.copy(WindowFrame).save(QDir::current().filePath(QStringLiteral("configuration-window.png")));

    // Dragged out of the strip, the pie leaves the item again.
    const QPoint pieInStrip(strip.right() + BarHeight / 2, strip.origin.y() + 11);
    ASSERT_TRUE(drag(pieInStrip, QPoint(1100, 700)));
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        return leftmostInk(screen, background) == leftBefore;
    })) << qPrintable(vistrel.errorOutput());
    EXPECT_FALSE(vistrel.settingsText().contains(Pie));

    // Closing the window returns to the menu bar only.
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QString::number(WindowFrame.center().x()),
        QString::number(WindowFrame.center().y()), QStringLiteral("key"), QStringLiteral("ctrl+w")}));
    EXPECT_TRUE(waitUntil([] { return !windowIsMapped(); })) << qPrintable(vistrel.errorOutput());
    EXPECT_EQ(vistrel.process().state(), QProcess::Running);
}

} // namespace
