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
