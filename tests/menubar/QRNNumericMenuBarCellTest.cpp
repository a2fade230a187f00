#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNNumericMenuBarCell.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

class NumericCellSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        QRNNumericMenuBarCell::setSuppressesFractionDigits(false);
        QRNNumericMenuBarCell::setBarChartWidthScalingFactor(1.0);
    }
};

QRNNumericMenuBarCell cellOfStyle(int style, double value)
{
    QRNNumericMenuBarCell cell;
    cell.setDisplayStyle(style);
    cell.setDoubleValue(value);
    return cell;
}

} // namespace

TEST_F(NumericCellSettings, PercentagesArePaddedToTheirFormatWidth)
{
    for (const auto& [value, text] : std::vector<std::pair<double, QString>>{
             {0.453, " 45.3%"}, {1.0, "  100%"}, {0.0, "    0%"}, {0.12345, " 12.3%"}})
        EXPECT_EQ(QRNNumericMenuBarCell::stringForValue(value), text);
    QRNNumericMenuBarCell::setSuppressesFractionDigits(true);
    EXPECT_EQ(QRNNumericMenuBarCell::stringForValue(0.453), " 45%");
    EXPECT_EQ(cellOfStyle(QRNNumericMenuBarCell::Text, 0.453).valueAsString(), " 45%");
}

TEST_F(NumericCellSettings, WidthsFollowTheStyleAndTheBarFactor)
{
    EXPECT_NEAR(cellOfStyle(QRNNumericMenuBarCell::Bar, 0).width(), 22 * 0.67, 1e-9);
    EXPECT_EQ(cellOfStyle(QRNNumericMenuBarCell::Pie, 0).width(), 22.0);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(1.5);
    EXPECT_NEAR(cellOfStyle(QRNNumericMenuBarCell::Bar, 0).width(), 22.11, 1e-9);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(0.4);
    QRNNumericMenuBarCell::setBarChartWidthScalingFactor(2.5);
    EXPECT_EQ(QRNNumericMenuBarCell::barChartWidthScalingFactor(), 1.5);
    // The text cell keeps room for its widest value whatever it shows.
    const double wide = cellOfStyle(QRNNumericMenuBarCell::Text, 1.0).width();
    EXPECT_EQ(cellOfStyle(QRNNumericMenuBarCell::Text, 0.01).width(), wide);
    EXPECT_GE(wide, MenuBarDrawing::textWidth("  100%", MenuBarDrawing::menuBarFont()));
    QRNNumericMenuBarCell::setSuppressesFractionDigits(true);
    EXPECT_LT(cellOfStyle(QRNNumericMenuBarCell::Text, 1.0).width(), wide);
}

// Drawings at device pixel ratios 1 and 2, in a 22-point bar.
class NumericCellDrawing : public ::testing::TestWithParam<qreal> {
protected:
    QImage draw(QRNNumericMenuBarCell cell, const QPalette& palette = lightPalette()) const
    {
        return cell.cellImage(GetParam(), palette);
    }
};

TEST_P(NumericCellDrawing, ABarFillsItsLowerPartByTheValue)
{
    const double w = 22 * 0.67;
    // Inside the outline: from 0.1 h to 0.9 h, less the stroke (h / 15) and a pixel.
    const QRectF lowerQuarter(5, 3.5, w - 10, 2.5);
    const QRectF above(5, 7.5, w - 10, 10.5);
    const QImage quarter = draw(cellOfStyle(QRNNumericMenuBarCell::Bar, 0.25));
    EXPECT_EQ(inkedFraction(quarter, lowerQuarter), 1.0);
    EXPECT_EQ(inkedFraction(quarter, above, 1), 0.0);
    EXPECT_NEAR(inkedRunUpwards(quarter, w / 2, 3.5), 6.6 - 3.5, 1 / GetParam() + 0.1);
    EXPECT_TRUE(isInked(quarter, w / 2, 19.75)) << "the outline's top";
    EXPECT_EQ(inkedFraction(draw(cellOfStyle(QRNNumericMenuBarCell::Bar, 1.7)), QRectF(5, 3.5, w - 10, 15)), 1.0);
    EXPECT_EQ(inkedFraction(draw(cellOfStyle(QRNNumericMenuBarCell::Bar, -0.2)), QRectF(5, 3.5, w - 10, 15), 1), 0.0);
    QRNNumericMenuBarCell highlighted = cellOfStyle(QRNNumericMenuBarCell::Bar, 1.0);
    highlighted.setIsHighlighted(true);
    EXPECT_EQ(meanInk(draw(highlighted), QRectF(5, 3.5, 4, 15)), lightPalette().color(QPalette::HighlightedText));
    highlighted.setIsHighlighted(false);
    EXPECT_EQ(meanInk(draw(highlighted), QRectF(5, 3.5, 4, 15)), QColor(Qt::black));
}

TEST_P(NumericCellDrawing, APieFillsItsDiscClockwiseFromTwelveOClock)
{
    // The disc is centred at (11, 11) with radius 8.8; probes stay within 7.1 of the centre.
    const QRectF upperRight(12, 12, 4, 4), lowerRight(12, 6, 4, 4), lowerLeft(6, 6, 4, 4), upperLeft(6, 12, 4, 4);
    const QImage half = draw(cellOfStyle(QRNNumericMenuBarCell::Pie, 0.5));
    EXPECT_EQ(inkedFraction(half, QRectF(12, 6, 4, 10)), 1.0);
    EXPECT_EQ(inkedFraction(half, QRectF(6, 6, 4, 10), 1), 0.0);
    EXPECT_NEAR(inkedFraction(half, QRectF(6, 6, 10, 10)), 0.5, 0.05);
    const QImage quarter = draw(cellOfStyle(QRNNumericMenuBarCell::Pie, 0.25));
    EXPECT_EQ(inkedFraction(quarter, upperRight), 1.0);
    for (const QRectF& empty : {lowerRight, lowerLeft, upperLeft})
        EXPECT_EQ(inkedFraction(quarter, empty, 1), 0.0);
    const QImage none = draw(cellOfStyle(QRNNumericMenuBarCell::Pie, 0));
    EXPECT_EQ(inkedFraction(none, QRectF(6, 6, 10, 10), 1), 0.0);
    EXPECT_TRUE(isInked(none, 11, 19.25)) << "the circle is drawn even when empty";
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, NumericCellDrawing, ::testing::Values(1.0, 2.0));
