#include "configuration/QRNMenuBarSimulatorView.h"
#include "configuration/StripFixture.h"

#include "menubar/PixelProbe.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/ViewRendering.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QHelpEvent>
#include <QMimeData>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace StripFixture;

namespace {

const QColor Window(236, 236, 236);
const QColor Marker(40, 90, 200);

QImage draw(QRNMenuBarSimulatorView& view)
{
    view.setPalette(PixelProbe::lightPalette());
    return PixelProbe::over(ViewRendering::render(view, 2), Qt::white);
}

bool isMarker(const QImage& image, double x, double y)
{
    const QColor color = PixelProbe::colorAt(image, x, y);
    return qAbs(color.red() - Marker.red()) < 12 && qAbs(color.green() - Marker.green()) < 12
        && qAbs(color.blue() - Marker.blue()) < 12;
}

// Columns (points, at pixel centres) of the marker's line half-way up the strip.
std::vector<double> markerColumns(const QImage& image)
{
    std::vector<double> columns;
    for (double x = 0.25; x < image.width() / image.devicePixelRatio(); x += 0.5) {
        if (isMarker(image, x, 9))
            columns.push_back(x);
    }
    return columns;
}

// Puts the marker where a drag from another view over the point puts it.
void showMarker(QRNMenuBarSimulatorView& view, const QPointF& point)
{
    QRNMenuBarSimulatorView source;
    fill(source, {20});
    std::unique_ptr<QMimeData> data = source.beginDraggingCellAtIndex(0);
    ASSERT_EQ(view.draggingUpdated(*data, &source, Qt::CopyAction, point), Qt::CopyAction);
}

} // namespace

TEST(StripDrawing, BackgroundBottomLineAndCells)
{
    QRNMenuBarSimulatorView view;
    fill(view, {30, 40});
    const QImage image = draw(view);

    EXPECT_EQ(PixelProbe::colorAt(image, 200, 11), Window);
    // The bottom line: half-strength text colour over the background.
    const QColor line = PixelProbe::colorAt(image, 200, 0.25);
    EXPECT_NEAR(line.red(), 118, 4);
    EXPECT_EQ(PixelProbe::colorAt(image, 200, 1.25), Window);
    // Plain cells draw crossed-out placeholders in their own frames; past them the strip is bare.
    const auto [darkest, brightest] = PixelProbe::luminanceRange(image, QRectF(2, 3, 66, 16));
    EXPECT_LT(darkest, 60);
    EXPECT_EQ(brightest, PixelProbe::luminance(Window));
    const auto bare = PixelProbe::luminanceRange(image, QRectF(71, 1.5, 248, 20));
    EXPECT_EQ(bare.first, PixelProbe::luminance(Window));
    EXPECT_EQ(bare.second, PixelProbe::luminance(Window));
    EXPECT_TRUE(markerColumns(image).empty());
}

TEST(StripDrawing, TheDropMarkerStandsAtTheMarkerIndex)
{
    struct Case {
        std::vector<double> cells;
        QPointF pointer;
        double x;
    };
    const Case cases[] = {
        {{30, 40, 50}, {50, 11}, 30},  // over the second cell
        {{30, 40, 50}, {5, 11}, 0},    // over the first
        {{30, 40, 50}, {200, 11}, 120}, // after the last
        {{}, {200, 11}, 0},            // in an empty strip
    };
    for (const Case& each : cases) {
        QRNMenuBarSimulatorView view;
        fill(view, each.cells);
        showMarker(view, each.pointer);
        const QImage image = draw(view);
        // Three points wide, centred on x (the half left of 0 falls off the strip).
        std::vector<double> expected;
        for (double x = each.x - 1.25; x < each.x + 1.5; x += 0.5) {
            if (x > 0)
                expected.push_back(x);
        }
        EXPECT_EQ(markerColumns(image), expected) << each.x;
        // The line from the bottom up to the ring, the ring 3 points around (x, 18).
        EXPECT_TRUE(isMarker(image, each.x + 0.25, 0.25)) << each.x;
        EXPECT_TRUE(isMarker(image, each.x + 0.25, 21.25)) << each.x;
        EXPECT_TRUE(isMarker(image, each.x + 3.25, 18.25)) << each.x;
        EXPECT_FALSE(isMarker(image, each.x + 5.25, 18.25)) << each.x;

        view.removeDragMarker();
        EXPECT_TRUE(markerColumns(draw(view)).empty());
    }
}

TEST(StripToolTips, AreaPerCellRebuiltOnEveryLayout)
{
    QRNMenuBarSimulatorView view;
    fill(view, {30, 40, 50});
    const std::map<int, quint64> first = view.toolTipIndexesByTags();
    ASSERT_EQ(first.size(), 3u);
    std::vector<quint64> indexes;
    for (const auto& [tag, index] : first)
        indexes.push_back(index);
    EXPECT_EQ(indexes, (std::vector<quint64>{0, 1, 2}));
    EXPECT_EQ(view.toolTipAtPoint({45, 11}), "tip 1");
    EXPECT_EQ(view.toolTipAtPoint({119, 21}), "tip 2");
    EXPECT_EQ(view.toolTipAtPoint({121, 11}), "");

    view.removeMenuBarCellAtIndex(0);
    EXPECT_EQ(view.toolTipIndexesByTags().size(), 2u);
    EXPECT_NE(view.toolTipIndexesByTags().begin()->first, first.begin()->first);
    EXPECT_EQ(view.toolTipAtPoint({5, 11}), "tip 1");
    EXPECT_EQ(view.toolTipAtPoint({85, 11}), "tip 2");
    EXPECT_EQ(view.toolTipAtPoint({95, 11}), "");
}

TEST(StripToolTips, TheHelpEventShowsTheTextOfTheCellUnderThePointer)
{
    QRNMenuBarSimulatorView view;
    fill(view, {30, 40});
    view.addMenuBarCell(std::make_unique<QRNMenuBarCell>());
    view.show();

    QHelpEvent over(QEvent::ToolTip, QPoint(40, 11), view.mapToGlobal(QPoint(40, 11)));
    QApplication::sendEvent(&view, &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "tip 1");

    // A cell without a tooltip hides it and lets the event go on.
    QHelpEvent silent(QEvent::ToolTip, QPoint(80, 11), view.mapToGlobal(QPoint(80, 11)));
    QApplication::sendEvent(&view, &silent);
    EXPECT_FALSE(silent.isAccepted());
    // The tooltip fades out after a moment.
    QDeadlineTimer deadline(2000);
    while (QToolTip::isVisible() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(QToolTip::isVisible());
}
