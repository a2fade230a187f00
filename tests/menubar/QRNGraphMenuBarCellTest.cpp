#include "menubar/PixelProbe.h"
#include "menubar/QRNGraphMenuBarCell.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

class GraphCellTest : public ::testing::TestWithParam<qreal> {
protected:
    void TearDown() override { QRNGraphMenuBarCell::setWidthScalingFactor(1.0); }

    static QRNGraphMenuBarCell rampCell()
    {
        QRNGraphMenuBarCell cell;
        cell.setCapacity(30);
        cell.setUsesSecondaryGraph(true);
        for (int i = 1; i <= 30; ++i)
            cell.addNewValue(i, 31 - i);
        return cell;
    }
};

} // namespace

TEST_P(GraphCellTest, IsThreeTimesAsWideAsHighTimesTheHistoryFactor)
{
    QRNGraphMenuBarCell cell;
    EXPECT_EQ(cell.width(), 66.0);
    QRNGraphMenuBarCell::setWidthScalingFactor(0.4);
    QRNGraphMenuBarCell::setWidthScalingFactor(2.5);
    EXPECT_EQ(cell.width(), 66.0);
    QRNGraphMenuBarCell::setWidthScalingFactor(0.5);
    EXPECT_EQ(cell.width(), 33.0);
    QRNGraphMenuBarCell::setWidthScalingFactor(2.0);
    EXPECT_EQ(cell.width(), 132.0);
    cell.setHeight(20);
    EXPECT_EQ(cell.width(), 120.0);
    EXPECT_EQ(cell.cellImage(GetParam(), lightPalette()).size(), QSize(120, 20) * GetParam());
}

TEST_P(GraphCellTest, DrawsInTheForegroundAndLeavesTheSecondSeriesItsOwnColour)
{
    QRNGraphMenuBarCell cell = rampCell();
    for (const QPalette& palette : {lightPalette(), darkPalette()}) {
        for (bool highlighted : {false, true}) {
            cell.setIsHighlighted(highlighted);
            const QImage image = cell.cellImage(GetParam(), palette);
            const QColor foreground = palette.color(highlighted ? QPalette::HighlightedText : QPalette::WindowText);
            EXPECT_EQ(colorAt(image, 60, 10), foreground) << "first series, painted under the second";
            EXPECT_EQ(colorAt(image, 2.25, 10), foreground) << "frame";
            const QColor second = colorAt(image, 6, 10);
            EXPECT_EQ(second.rgb(), palette.color(QPalette::WindowText).rgb()) << "tertiary label over nothing";
            EXPECT_NEAR(second.alpha(), 0.26 * 255, 2);
        }
    }
}

TEST_P(GraphCellTest, ACopyHasItsOwnHistory)
{
    QRNGraphMenuBarCell cell = rampCell();
    cell.setOffset(5);
    auto copy = cell.copy();
    auto* graph = dynamic_cast<QRNGraphMenuBarCell*>(copy.get());
    ASSERT_TRUE(graph);
    EXPECT_EQ(graph->cellImage(GetParam(), lightPalette()), cell.cellImage(GetParam(), lightPalette()));
    EXPECT_EQ(graph->offset(), 5.0);
    graph->addNewValue(100, 100);
    EXPECT_EQ(cell.bufferedGraph().maximumValue(), 30.0f);
    EXPECT_EQ(graph->bufferedGraph().maximumValue(), 100.0f);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, GraphCellTest, ::testing::Values(1.0, 2.0));
