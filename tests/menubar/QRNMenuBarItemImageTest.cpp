#include "menubar/PixelProbe.h"
#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNSpacerMenuBarCell.h"
#include "platform/log/LogCapture.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

std::unique_ptr<QRNMenuBarCell> cellOfWidth(double width)
{
    auto cell = std::make_unique<QRNMenuBarCell>();
    cell->setWidth(width);
    return cell;
}

std::vector<double> offsets(const QRNMenuBarItemImage& image)
{
    std::vector<double> result;
    for (const auto& cell : image.menuBarCells())
        result.push_back(cell->offset());
    result.push_back(image.size().width());
    return result;
}

std::unique_ptr<QRNNumericMenuBarCell> fullBar()
{
    auto bar = std::make_unique<QRNNumericMenuBarCell>();
    bar->setDisplayStyle(QRNNumericMenuBarCell::Bar);
    bar->setDoubleValue(1.0);
    return bar;
}

// An offscreen bar at a chosen ratio that shows the items in a chosen palette.
class PaintedStatusBar : public OffscreenStatusBar {
public:
    PaintedStatusBar(qreal ratio, const QPalette& palette)
        : OffscreenStatusBar(1280, ratio)
        , m_palette(palette)
    {
    }
    QPalette palette() const override { return m_palette; }

private:
    QPalette m_palette;
};

} // namespace

TEST(QRNMenuBarItemImage, LaysTheCellsOutLeftToRightWithoutGapsAndReportsInvalidRemovals)
{
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.addMenuBarCell(std::make_unique<QRNGraphMenuBarCell>());
    image.addMenuBarCell(cellOfWidth(12));
    image.addMenuBarCell(cellOfWidth(30));
    image.addMenuBarCell(nullptr);
    EXPECT_EQ(offsets(image), (std::vector<double>{0, 66, 78, 108})) << "offsets, then the width";
    EXPECT_EQ(image.size().height(), 22.0);
    image.removeMenuBarCellAtIndex(0);
    EXPECT_EQ(offsets(image), (std::vector<double>{0, 12, 42}));
    image.menuBarCells()[0]->setWidth(20);
    image.refreshCells();
    EXPECT_EQ(offsets(image), (std::vector<double>{0, 20, 50})) << "widths are read again on every layout";
    LogCapture log;
    image.removeMenuBarCellAtIndex(2);
    EXPECT_EQ(log.messages(LogLevel::Error), QStringList{"Warning: attempt to remove menu bar cell with invalid index (2)!"});
    EXPECT_EQ(image.menuBarCells().size(), 2u);
    image.removeMenuBarCellAtIndex(1);
    image.removeMenuBarCellAtIndex(0);
    EXPECT_TRUE(image.menuBarCells().empty());
    EXPECT_EQ(image.size(), QSizeF(20, 22)) << "the last cell leaves the size";
}

TEST(QRNMenuBarItemImage, ATooLowHeightIsCorrectedToTheStandardAtTheFirstLayout)
{
    QRNMenuBarItemImage image(QSizeF(0, 0));
    LogCapture log;
    image.recomputeLayout();
    EXPECT_TRUE(log.entries().empty()) << "nothing to lay out yet";
    image.addMenuBarCell(cellOfWidth(10));
    EXPECT_EQ(log.messages(LogLevel::Default),
        QStringList{"WARNING: QRNMenuBarItemImage received request to set the height to 0.000000. Correcting to standard size."});
    EXPECT_EQ(image.size(), QSizeF(10, 22));
    log.clear();
    image.refreshCells();
    EXPECT_TRUE(log.entries().empty()) << "corrected once";
    QRNMenuBarItemImage taller(QSizeF(0, 30));
    taller.addMenuBarCell(cellOfWidth(10));
    EXPECT_EQ(taller.size(), QSizeF(10, 30));
}

class ItemImageDrawing : public ::testing::TestWithParam<qreal> { };

TEST_P(ItemImageDrawing, HandsItsImageToTheStatusItemAndFollowsItsHighlight)
{
    PaintedStatusBar bar(GetParam(), darkPalette());
    std::unique_ptr<StatusItem> item = bar.statusItemWithLength(StatusItem::VariableLength);
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.setAssociatedView(item.get());
    image.addMenuBarCell(fullBar());
    image.addMenuBarCell(std::make_unique<QRNGraphMenuBarCell>());
    const double width = image.size().width();
    EXPECT_EQ(item->image().devicePixelRatio(), GetParam());
    EXPECT_EQ(item->image().width(), int(std::ceil(width * GetParam())));
    EXPECT_NEAR(item->width(), width, 1 / GetParam());
    const QRectF barInside(5, 4, 4, 14);
    EXPECT_EQ(meanInk(item->image(), barInside), QColor(Qt::white)) << "light on the dark bar";
    item->setHighlighted(true);
    EXPECT_TRUE(image.isHighlighted());
    EXPECT_EQ(meanInk(item->image(), barInside), darkPalette().color(QPalette::HighlightedText));
    image.addMenuBarCell(fullBar());
    EXPECT_TRUE(image.menuBarCells().back()->isHighlighted()) << "new cells join the highlight";
    item->setHighlighted(false);
    EXPECT_EQ(meanInk(item->image(), barInside), QColor(Qt::white));
    EXPECT_FALSE(image.menuBarCells().back()->isHighlighted());
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, ItemImageDrawing, ::testing::Values(1.0, 2.0));

namespace {
// The pixel rectangle that holds everything drawn.
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            box |= qAlpha(image.pixel(x, y)) >= 128 ? QRect(x, y, 1, 1) : QRect();
    return box;
}

std::unique_ptr<QRNNumericMenuBarCell> percentage(double value, int style = QRNNumericMenuBarCell::Text)
{
    auto cell = std::make_unique<QRNNumericMenuBarCell>();
    cell->setDisplayStyle(style);
    cell->setDoubleValue(value);
    return cell;
}
} // namespace

TEST(QRNMenuBarItemImage, TheSquareFormShowsTheFirstValueLegiblyAtEverySize)
{
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.addMenuBarCell(std::make_unique<QRNSpacerMenuBarCell>());
    image.addMenuBarCell(percentage(0.42));
    image.addMenuBarCell(std::make_unique<QRNGraphMenuBarCell>());
    for (int side : {16, 22, 32}) {
        // The percentage, not the spacer before it: two digits filling the
        // square's width, not shrunk with the whole row into a strip.
        const QImage square = image.renderCompact(side, lightPalette());
        ASSERT_EQ(square.size(), QSize(side, side));
        const QRect box = inkBox(square);
        EXPECT_GE(box.width(), side / 2) << side;
        EXPECT_GE(box.height(), side * 2 / 5) << side;
        EXPECT_NEAR(box.center().y(), side / 2.0, side / 8.0) << side;
        EXPECT_TRUE(QRect(0, 0, side, side).adjusted(1, 1, -1, -1).contains(box)) << side;
        // Three digits still fit inside.
        const QRect hundred = inkBox(percentage(1.0)->compactImage(side, lightPalette()));
        EXPECT_TRUE(QRect(0, 0, side, side).adjusted(0, 1, 0, -1).contains(hundred)) << side;
    }

    // A pie or a full graph fills the square; an image of only a spacer has no square form.
    const QImage pie = percentage(1.0, QRNNumericMenuBarCell::Pie)->compactImage(22, lightPalette());
    EXPECT_GE(inkBox(pie).width(), 16);
    EXPECT_GE(inkedFraction(pie, QRectF(7, 7, 8, 8)), 0.99);
    QRNGraphMenuBarCell graph;
    graph.setCapacity(30);
    for (int i = 0; i < 30; ++i)
        graph.addNewValue(1.0);
    EXPECT_GE(inkedFraction(graph.compactImage(22, lightPalette()), QRectF(4, 4, 14, 14)), 0.99);
    QRNMenuBarItemImage empty(QSizeF(0, 22));
    empty.addMenuBarCell(std::make_unique<QRNSpacerMenuBarCell>());
    EXPECT_TRUE(empty.renderCompact(22, lightPalette()).isNull());
}

namespace {
// A bar whose ratio and palette change under its items, as a move to another
// screen or a new theme changes them.
class ChangingStatusBar : public OffscreenStatusBar {
public:
    qreal devicePixelRatio() const override { return m_ratio; }
    QPalette palette() const override { return m_palette; }
    qreal m_ratio = 1.0;
    QPalette m_palette = lightPalette();
};
} // namespace

TEST(QRNMenuBarItemImage, HandsOverAnImageOnlyWhenItWouldShowOtherPixels)
{
    ChangingStatusBar bar;
    std::unique_ptr<StatusItem> item = bar.statusItemWithLength(StatusItem::VariableLength);
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.setAssociatedView(item.get());
    image.addMenuBarCell(percentage(0.4210));
    QRNNumericMenuBarCell& number = static_cast<QRNNumericMenuBarCell&>(*image.menuBarCells().back());
    auto graph = std::make_unique<QRNGraphMenuBarCell>();
    graph->setCapacity(4);
    QRNGraphMenuBarCell& history = *graph;
    image.addMenuBarCell(std::move(graph));

    int handedOver = 0;
    QObject::connect(item.get(), &StatusItem::changed, [&] { ++handedOver; });
    const auto refreshed = [&] {
        handedOver = 0;
        image.refreshCells();
        return handedOver > 0;
    };
    const QImage first = item->image();
    EXPECT_FALSE(refreshed()) << "nothing changed";
    number.setDoubleValue(0.4214);
    EXPECT_FALSE(refreshed()) << "a value that shows as the same percentage";
    EXPECT_EQ(item->image().cacheKey(), first.cacheKey());

    number.setDoubleValue(0.43);
    EXPECT_TRUE(refreshed()) << "a new percentage";
    EXPECT_GT(largestDifference(item->image(), first), 0);
    for (int sample = 0; sample < 4; ++sample) {
        history.addNewValue(1);
        EXPECT_TRUE(refreshed()) << "the graph moves on, sample " << sample;
        // Drawn and recorded in one pass once it keeps changing: the same pixels as drawn alone.
        EXPECT_EQ(item->image(), image.render(bar.m_ratio, bar.m_palette)) << "sample " << sample;
    }
    history.addNewValue(1);
    EXPECT_FALSE(refreshed()) << "a graph of equal samples moved on by one more";
    const QImage shown = item->image().copy();

    item->setHighlighted(true);
    EXPECT_NE(item->image(), shown) << "highlighted";
    item->setHighlighted(false);
    EXPECT_EQ(item->image(), shown) << "back from the highlight";
    bar.m_palette = darkPalette();
    EXPECT_TRUE(refreshed()) << "a new palette";
    bar.m_ratio = 2.0;
    EXPECT_TRUE(refreshed()) << "a new device pixel ratio";
    EXPECT_EQ(item->image().devicePixelRatio(), 2.0);
    EXPECT_FALSE(refreshed());

    // Another status item has been shown nothing yet.
    std::unique_ptr<StatusItem> other = bar.statusItemWithLength(StatusItem::VariableLength);
    image.setAssociatedView(other.get());
    image.refreshCells();
    EXPECT_EQ(other->image(), item->image());
}

TEST(QRNMenuBarItemImage, SquaresAreDrawnAgainOnlyWhenTheCellsUpToTheOneShownDrawDifferently)
{
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.addMenuBarCell(std::make_unique<QRNSpacerMenuBarCell>());
    image.addMenuBarCell(percentage(0.42));
    auto graph = std::make_unique<QRNGraphMenuBarCell>();
    QRNGraphMenuBarCell& history = *graph;
    image.addMenuBarCell(std::move(graph));
    auto& number = static_cast<QRNNumericMenuBarCell&>(*image.menuBarCells()[1]);

    const QImage small = image.renderCompact(16, lightPalette());
    const QImage large = image.renderCompact(32, lightPalette());
    history.addNewValue(1);
    EXPECT_EQ(image.renderCompact(16, lightPalette()).cacheKey(), small.cacheKey()) << "only a cell after the shown one changed";
    EXPECT_EQ(image.renderCompact(32, lightPalette()).cacheKey(), large.cacheKey());

    number.setDoubleValue(0.57);
    const QImage changed = image.renderCompact(16, lightPalette());
    EXPECT_GT(largestDifference(changed, small), 0) << "the value shown";
    EXPECT_EQ(changed, percentage(0.57)->compactImage(16, lightPalette()));
    EXPECT_EQ(image.renderCompact(32, lightPalette()), percentage(0.57)->compactImage(32, lightPalette()));

    EXPECT_GT(largestDifference(image.renderCompact(16, darkPalette()), changed), 0) << "another palette";
    image.setIsHighlighted(true);
    EXPECT_EQ(image.renderCompact(16, darkPalette()), [] {
        auto highlighted = percentage(0.57);
        highlighted->setIsHighlighted(true);
        return highlighted->compactImage(16, darkPalette());
    }());

    // A new first cell that shows something takes over the square.
    image.removeMenuBarCellAtIndex(0);
    image.removeMenuBarCellAtIndex(0);
    EXPECT_EQ(image.renderCompact(16, darkPalette()), history.compactImage(16, darkPalette()));
}
