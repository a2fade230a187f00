#include "menubar/QRNTextPairView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ViewRendering;

namespace {

// Glyphs start and end a little inside their advance; this much is allowed.
constexpr double BearingTolerance = 2.5;

std::unique_ptr<QRNTextPairView> makeRow(int width = 300)
{
    auto row = std::make_unique<QRNTextPairView>(QRect(0, 0, width, 17));
    row->setPalette(PixelProbe::lightPalette());
    row->setFont(testFont());
    row->setHorizontalOffsets(20);
    return row;
}

// A row whose columns between the first and the last ink all carry ink: what
// a line through the text leaves and plain spaced text never does.
bool hasUnbrokenRow(const QImage& image)
{
    const auto columns = inkColumns(image);
    if (!columns)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        bool unbroken = true;
        for (int x = columns->first; x <= columns->last && unbroken; ++x)
            unbroken = isInk(image, x, y);
        if (unbroken)
            return true;
    }
    return false;
}

QColor meanInk(const QImage& image)
{
    return PixelProbe::meanInk(image, QRectF(QPointF(0, 0), image.deviceIndependentSize()));
}

QFont monospacedFont(int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(pixelSize);
    return font;
}

class TextPairViewAtRatio : public testing::TestWithParam<qreal> {};

} // namespace

TEST_P(TextPairViewAtRatio, LabelStartsAtLeftInsetAndValueEndsAtRightInset)
{
    const qreal ratio = GetParam();
    auto row = makeRow();
    row->setLeftStringValue(QStringLiteral("Load"));
    const auto label = inkColumns(render(*row, ratio));
    ASSERT_TRUE(label);
    EXPECT_GE(label->first, 20 * ratio);
    EXPECT_LE(label->first, (20 + BearingTolerance) * ratio);

    row->setLeftStringValue(QString());
    row->setRightStringValue(QStringLiteral("42 %"));
    const QImage valueImage = render(*row, ratio);
    const auto value = inkColumns(valueImage);
    ASSERT_TRUE(value);
    EXPECT_LE(value->last, 280 * ratio);
    EXPECT_GE(value->last, (280 - BearingTolerance) * ratio);

    // The text sits inside the 17-point row.
    const auto rows = inkRows(valueImage);
    ASSERT_TRUE(rows);
    EXPECT_GT(rows->first, 0);
    EXPECT_LT(rows->last, 17 * ratio - 1);
}

TEST_P(TextPairViewAtRatio, AtItsOptimumWidthBothTextsFitTenPointsApart)
{
    const qreal ratio = GetParam();
    auto probe = makeRow();
    probe->setLeftStringValue(QStringLiteral("Compressed memory"));
    probe->setRightStringValue(QStringLiteral("1.25 GB"));
    const int width = int(std::ceil(probe->optimumWidth()));

    auto row = makeRow(width);
    row->setLeftStringValue(QStringLiteral("Compressed memory"));
    const auto label = inkColumns(render(*row, ratio));
    row->setLeftStringValue(QString());
    row->setRightStringValue(QStringLiteral("1.25 GB"));
    const auto value = inkColumns(render(*row, ratio));
    ASSERT_TRUE(label && value);

    EXPECT_GE(label->first, 20 * ratio);
    EXPECT_LE(value->last, (width - 20) * ratio);
    const double gap = (value->first - label->last) / ratio;
    EXPECT_GE(gap, 10 - BearingTolerance);
    EXPECT_LE(gap, 10 + 2 * BearingTolerance);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, TextPairViewAtRatio, testing::Values(1.0, 2.0));

TEST(QRNTextPairView, OptimumWidthAddsInsetsGapAndTextWidthsInTheirOwnFonts)
{
    auto row = makeRow();
    EXPECT_DOUBLE_EQ(row->optimumWidth(), 50.0);
    row->setHorizontalOffsets(0);
    EXPECT_DOUBLE_EQ(row->optimumWidth(), 10.0);

    // A monospaced label of ten characters in a font twice as large measures
    // twice as wide; the value keeps its own font.
    row->setLeftStringValue(QStringLiteral("0123456789"));
    TextCell left = row->leftTextCell();
    left.setFont(monospacedFont(10));
    row->setLeftTextCell(left);
    const double small = row->optimumWidth() - 10;
    left.setFont(monospacedFont(20));
    row->setLeftTextCell(left);
    const double large = row->optimumWidth() - 10;
    EXPECT_NEAR(small, 60.0, 1.0);
    EXPECT_NEAR(large, 2 * small, 1.0);
}

TEST(QRNTextPairView, StrikeThroughDrawsALineAndKeepsAlignmentColourAndFont)
{
    auto row = makeRow();
    row->setRightColor(QColor(Qt::red));
    row->setRightStringValue(QStringLiteral("1 2 3"));
    const QImage plain = render(*row, 1);
    row->setRightStringValue(QStringLiteral("1 2 3"), true);
    const QImage struck = render(*row, 1);

    EXPECT_FALSE(hasUnbrokenRow(plain));
    EXPECT_TRUE(hasUnbrokenRow(struck));

    const auto plainColumns = inkColumns(plain);
    const auto struckColumns = inkColumns(struck);
    ASSERT_TRUE(plainColumns && struckColumns);
    EXPECT_LE(struckColumns->last, 280);
    EXPECT_GE(struckColumns->last, 280 - BearingTolerance);
    EXPECT_NEAR(struckColumns->first, plainColumns->first, BearingTolerance);
    const QColor ink = meanInk(struck);
    EXPECT_GT(ink.redF(), 0.9);
    EXPECT_LT(ink.greenF(), 0.1);

    // Back to plain text, the line goes.
    row->setRightStringValue(QStringLiteral("1 2 3"), false);
    EXPECT_FALSE(hasUnbrokenRow(render(*row, 1)));
    EXPECT_FALSE(row->strikeThroughStringForString(QString(), false)) << "no string, nothing to strike";
}

TEST(QRNTextPairView, StruckTextTooLongForTheRowWrapsBelowItsFirstLine)
{
    QRNTextPairView row(QRect(0, 0, 120, 40));
    row.setPalette(PixelProbe::lightPalette());
    row.setFont(testFont());
    row.setHorizontalOffsets(20);
    row.setLeftStringValue(QStringLiteral("Wi"));
    const auto single = inkRows(render(row, 1));
    row.setLeftStringValue(QStringLiteral("Wi Wi Wi Wi Wi Wi Wi Wi Wi Wi Wi"), true);
    const auto wrapped = inkRows(render(row, 1));
    ASSERT_TRUE(single && wrapped);
    EXPECT_EQ(wrapped->first, single->first) << "the first line keeps its place";
    EXPECT_GE(wrapped->last, single->last + 10) << "the rest follows on the next line";
}

TEST(QRNTextPairView, LabelColourIsLookedUpWhenDrawn)
{
    auto row = makeRow();
    row->setLeftColor(MenuBarColor::System::Label);
    row->setLeftStringValue(QStringLiteral("Wired"));

    QPalette palette = PixelProbe::lightPalette();
    palette.setColor(QPalette::WindowText, Qt::red);
    row->setPalette(palette);
    EXPECT_GT(meanInk(render(*row, 1)).redF(), 0.9);

    // A theme change reaches the row without anyone setting its colour again.
    palette.setColor(QPalette::WindowText, Qt::blue);
    row->setPalette(palette);
    const QColor ink = meanInk(render(*row, 1));
    EXPECT_GT(ink.blueF(), 0.9);
    EXPECT_LT(ink.redF(), 0.1);
}

TEST(QRNTextPairView, FontAppliesToBothTexts)
{
    auto row = makeRow();
    row->setLeftStringValue(QStringLiteral("H"));
    row->setRightStringValue(QStringLiteral("H"));
    const auto smallRows = inkRows(render(*row, 1));
    row->setFont(testFont(8));
    const QImage image = render(*row, 1);
    const auto tinyRows = inkRows(image);
    ASSERT_TRUE(smallRows && tinyRows);
    EXPECT_LT(tinyRows->last - tinyRows->first, smallRows->last - smallRows->first);
    EXPECT_EQ(row->leftTextCell().font(), testFont(8));
    EXPECT_EQ(row->rightTextCell().font(), testFont(8));
}

TEST(QRNTextPairView, AccessibleNameFollowsTheStrings)
{
    QRNTextPairView row(QRect(0, 0, 200, 17));
    EXPECT_EQ(row.accessibleName(), QStringLiteral("\t"));

    row.setLeftStringValue(QStringLiteral("User"));
    row.setRightStringValue(QStringLiteral("12.5 %"));
    EXPECT_EQ(row.accessibleName(), QStringLiteral("User\t12.5 %"));

    row.setRightStringValue(QStringLiteral("offline"), true);
    EXPECT_EQ(row.accessibleName(), QStringLiteral("User\toffline"));

    row.setLeftStringValue(QString(), true);
    EXPECT_EQ(row.accessibleName(), QStringLiteral("\toffline"));

    TextCell cell(Qt::AlignLeft);
    cell.setStringValue(QStringLiteral("System"));
    row.setLeftTextCell(cell);
    EXPECT_EQ(row.accessibleName(), QStringLiteral("System\toffline"));
}
