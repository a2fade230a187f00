#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNTextMenuBarCell.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

QRNTextMenuBarCell textCell(int style, const QString& text, const QString& second = QString())
{
    QRNTextMenuBarCell cell;
    cell.setTextStyle(style);
    cell.setStringValue(text);
    cell.setSecondaryStringValue(second);
    return cell;
}

} // namespace

TEST(QRNTextMenuBarCell, WidthFollowsTheTextUnlessFixed)
{
    QRNTextMenuBarCell cell = textCell(QRNTextMenuBarCell::OneLine, "WWWW");
    EXPECT_NEAR(cell.width(), MenuBarDrawing::textWidth("WWWW", cell.font()) + 4, 1e-9);
    cell.setFixedWidth(40);
    cell.setStringValue("a much longer text than forty points");
    EXPECT_EQ(cell.width(), 40.0);
    cell.setFixedWidth(0);
    EXPECT_GT(cell.width(), 40.0);
    cell.setFixedWidthBasedOnMaximumString(QString());
    EXPECT_EQ(cell.fixedWidth(), 0.0);
    cell.setStringValue("1 KB");
    const double before = cell.width();
    cell.setFixedWidthBasedOnMaximumString("888.8 MB/s");
    const double fixed = cell.width();
    EXPECT_GT(fixed, before);
    cell.setStringValue("1 B");
    EXPECT_EQ(cell.width(), fixed);
}

TEST(QRNTextMenuBarCell, TwoLinesTakeTheWiderLineAndVerticalTextTheWidthOfAW)
{
    const QRNTextMenuBarCell secondWider = textCell(QRNTextMenuBarCell::TwoLines, "ab", "abcdefgh");
    EXPECT_EQ(secondWider.width(), textCell(QRNTextMenuBarCell::TwoLines, "abcdefgh", "a").width());
    EXPECT_GT(secondWider.width(), textCell(QRNTextMenuBarCell::TwoLines, "ab", "ab").width());
    EXPECT_LT(textCell(QRNTextMenuBarCell::TwoLines, "CPU").font().pointSizeF(),
        textCell(QRNTextMenuBarCell::OneLine, "CPU").font().pointSizeF());
    const double w = textCell(QRNTextMenuBarCell::Vertical, "i").width();
    EXPECT_EQ(textCell(QRNTextMenuBarCell::Vertical, "CPU").width(), w);
    QRNTextMenuBarCell vertical = textCell(QRNTextMenuBarCell::Vertical, "X");
    vertical.setFixedWidthBasedOnMaximumString("a long pattern");
    EXPECT_EQ(vertical.width(), w);
}

TEST(QRNTextMenuBarCell, TabStopsLineUpLabelsNumbersAndUnits)
{
    QRNTextMenuBarCell cell;
    cell.setTabStopsForLabelMaximumString("Label:", "888.8");
    const QFont font = cell.font();
    const double label = MenuBarDrawing::textWidth("Label:", font);
    const double number = MenuBarDrawing::textWidth("888.8", font);
    const double space = MenuBarDrawing::textWidth(" ", font) / 2;
    ASSERT_EQ(cell.outputStyle().tabs().size(), 3);
    // Whatever the label and number, the unit starts at the same place.
    const double shortRow = MenuBarDrawing::textWidth("\tIn:\t1\tKB", font, cell.outputStyle());
    const double longRow = MenuBarDrawing::textWidth("\tLabel:\t888.8\tKB", font, cell.outputStyle());
    EXPECT_NEAR(shortRow, longRow, 0.01);
    EXPECT_NEAR(longRow, label + number + space + MenuBarDrawing::textWidth("KB", font), 0.5);
    cell.setStringValue("\tIn:\t1\tKB");
    EXPECT_NEAR(cell.width(), shortRow + 4, 1e-9);
}

class TextCellDrawing : public ::testing::TestWithParam<qreal> { };

TEST_P(TextCellDrawing, VerticalTextStacksThreeCharactersFromTheTop)
{
    const auto draw = [](const QString& text) {
        return textCell(QRNTextMenuBarCell::Vertical, text).cellImage(GetParam(), lightPalette());
    };
    // Characters sit on lines 6 points apart, the first one highest.
    const double w = textCell(QRNTextMenuBarCell::Vertical, "X").width();
    const QRectF top(0, 15.5, w, 3), middle(0, 9.5, w, 3), bottom(0, 3.5, w, 3);
    const QImage one = draw("X");
    EXPECT_GT(inkedFraction(one, top, 64), 0.05);
    EXPECT_EQ(inkedFraction(one, middle, 1), 0.0);
    EXPECT_EQ(inkedFraction(one, bottom, 1), 0.0);
    const QImage ends = draw("X X");
    EXPECT_GT(inkedFraction(ends, top, 64), 0.05);
    EXPECT_EQ(inkedFraction(ends, middle, 1), 0.0);
    EXPECT_GT(inkedFraction(ends, bottom, 64), 0.05);
    EXPECT_EQ(draw("XXXX"), draw("XXX")) << "the fourth character is dropped";
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, TextCellDrawing, ::testing::Values(1.0, 2.0));
