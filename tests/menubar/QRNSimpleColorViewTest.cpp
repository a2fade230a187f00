#include "menubar/QRNSimpleColorView.h"

#include "menubar/PixelProbe.h"
#include "menubar/ViewRendering.h"

#include <gtest/gtest.h>

using namespace ViewRendering;

namespace {

// Every pixel of the image has exactly this colour.
bool isFilledWith(const QImage& image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != color)
                return false;
    return true;
}

} // namespace

TEST(QRNSimpleColorView, FillsItselfWithItsColourAtAnyPixelRatio)
{
    QRNSimpleColorView view;
    view.resize(40, 25);
    view.setColor(MenuBarColor(QColor(200, 30, 60)));
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage image = render(view, ratio);
        EXPECT_EQ(image.size(), QSize(40, 25) * ratio);
        EXPECT_TRUE(isFilledWith(image, qRgb(200, 30, 60))) << "at ratio " << ratio;
    }
}

TEST(QRNSimpleColorView, DrawsNothingWithoutAColourAndFollowsThePaletteWithASystemColour)
{
    QRNSimpleColorView view;
    view.resize(10, 10);
    EXPECT_TRUE(isFilledWith(render(view, 1), qRgba(0, 0, 0, 0)));

    view.setColor(MenuBarColor::System::TextBackground);
    QPalette palette = PixelProbe::lightPalette();
    palette.setColor(QPalette::Base, QColor(20, 20, 20));
    view.setPalette(palette);
    EXPECT_TRUE(isFilledWith(render(view, 1), qRgb(20, 20, 20)));
}
