#include "menubar/QRNAlphaCurtainView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <gtest/gtest.h>

using namespace ViewRendering;

namespace {

class AlphaCurtainAtRatio : public testing::TestWithParam<qreal> {};

// Alpha of the pixel in the middle column at the given height in points.
int alphaAt(const QImage& image, double y)
{
    const qreal ratio = image.devicePixelRatio();
    return qAlpha(image.pixel(image.width() / 2, int(y * ratio)));
}

} // namespace

TEST_P(AlphaCurtainAtRatio, OpaqueAtTheEdgesAndTransparentInTheMiddle)
{
    const qreal ratio = GetParam();
    QRNAlphaCurtainView curtain;
    curtain.resize(120, 60);
    QPalette palette = PixelProbe::lightPalette();
    palette.setColor(QPalette::Base, QColor(240, 230, 10));
    curtain.setPalette(palette);
    const QImage image = render(curtain, ratio);

    EXPECT_GE(alphaAt(image, 0), 230);
    EXPECT_GE(alphaAt(image, 60 - 1 / ratio), 230);
    const QColor edge = QColor::fromRgba(image.pixel(0, 0));
    EXPECT_NEAR(edge.red(), 240, 12);
    EXPECT_NEAR(edge.green(), 230, 12);
    EXPECT_NEAR(edge.blue(), 10, 12);

    // Each strip fades over 10 points; the rest lets the view below show.
    for (double y = 1.5; y < 10; ++y) {
        EXPECT_LT(alphaAt(image, y), alphaAt(image, y - 1)) << "top, at " << y;
        EXPECT_LT(alphaAt(image, 60 - y), alphaAt(image, 60 - y + 1)) << "bottom, at " << y;
    }
    for (double y = 10; y < 50; y += 0.5)
        EXPECT_EQ(alphaAt(image, y), 0) << "at " << y;
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, AlphaCurtainAtRatio, testing::Values(1.0, 2.0));
