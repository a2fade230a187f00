#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRectF>

#include <utility>

// Reads rendered menu-bar images in the coordinates cells are drawn in:
// points, origin at the bottom left. Probes aim at pixel centres.
namespace PixelProbe {

// Black text on light grey, white on dark grey; both highlight in magenta.
QPalette lightPalette();
QPalette darkPalette();

QColor colorAt(const QImage& image, double x, double y);
inline int alphaAt(const QImage& image, double x, double y) { return colorAt(image, x, y).alpha(); }
inline bool isInked(const QImage& image, double x, double y, int minimumAlpha = 128)
{
    return alphaAt(image, x, y) >= minimumAlpha;
}
double inkedFraction(const QImage& image, const QRectF& rect, int minimumAlpha = 128);
// Length in points of the inked run that starts at the point and goes up.
double inkedRunUpwards(const QImage& image, double x, double y, int minimumAlpha = 128);
QColor meanInk(const QImage& image, const QRectF& rect, int minimumAlpha = 128);
// The image composed over an opaque background, as a bar shows it.
QImage over(const QImage& image, const QColor& background);
// The largest difference of any channel of any pixel.
int largestDifference(const QImage& first, const QImage& second);
double luminance(const QColor& color);
// The darkest and the brightest luminance inside the rectangle.
std::pair<double, double> luminanceRange(const QImage& image, const QRectF& rect);

} // namespace PixelProbe
