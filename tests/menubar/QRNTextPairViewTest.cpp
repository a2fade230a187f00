#include "menubar/QRNTextPairView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <gtest/gtest.h>

using namespace ViewRendering;

namespace {

// Glyphs start and end a little inside their advance; this much is allowed.
constexpr double BearingTolerance = 2.5;

std::unique_ptr<QRNTextPairView> makeRow()
{
    auto row = std::make_unique<QRNTextPairView>(QRect(0, 0, 300, 17));
    row->setPalette(PixelProbe::lightPalette());
    row->setFont(testFont());
    row->setHorizontalOffsets(20);
    return row;
}

// A row whose columns between the first and the last ink all carry ink: what a line through
// the text leaves and plain spaced text never does.
bool hasUnbrokenRow(const QImage& image)
{
    const auto columns = inkColumns(image);
    for (int y = 0; columns && y < image.height(); ++y) {
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

class TextPairViewAtRatio : public testing::TestWithParam<qreal> { };

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
    const auto rows = inkRows(valueImage);
    ASSERT_TRUE(rows);
    EXPECT_GT(rows->first, 0) << "inside the 17-point row";
    EXPECT_LT(rows->last, 17 * ratio - 1);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, TextPairViewAtRatio, testing::Values(1.0, 2.0));

TEST(QRNTextPairView, OptimumWidthAddsInsetsAndGap)
{
    auto row = makeRow();
    EXPECT_DOUBLE_EQ(row->optimumWidth(), 50.0);
    row->setHorizontalOffsets(0);
    EXPECT_DOUBLE_EQ(row->optimumWidth(), 10.0);
}

TEST(QRNTextPairView, StrikeThroughDrawsALineAndKeepsAlignmentAndColour)
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
    row->setRightStringValue(QStringLiteral("1 2 3"), false);
    EXPECT_FALSE(hasUnbrokenRow(render(*row, 1)));
    EXPECT_FALSE(row->strikeThroughStringForString(QString(), false)) << "no string, nothing to strike";
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
