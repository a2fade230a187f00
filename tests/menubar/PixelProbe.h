#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRectF>

#include <functional>
#include <utility>

class MenuBarDrawing;

// Reads rendered menu-bar images in the coordinates cells are drawn in:
// points, origin at the bottom left. A point names the pixel that covers it,
// so probes aim at pixel centres, away from edges.
namespace PixelProbe {

// Black text on light grey; white text on dark grey. Both highlight in a
// distinct magenta so that highlighted drawings can be told apart.
QPalette lightPalette();
QPalette darkPalette();

QImage render(const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
    const std::function<void(MenuBarDrawing&)>& draw);

// The colour of the pixel at the point, alpha unpremultiplied.
QColor colorAt(const QImage& image, double x, double y);
int alphaAt(const QImage& image, double x, double y);
bool isInked(const QImage& image, double x, double y, int minimumAlpha = 128);
// Share of the pixels inside the rectangle that are inked.
double inkedFraction(const QImage& image, const QRectF& rect, int minimumAlpha = 128);
// Length in points of the inked run that starts at the point and goes up.
double inkedRunUpwards(const QImage& image, double x, double y, int minimumAlpha = 128);
// Mean colour of the inked pixels inside the rectangle.
QColor meanInk(const QImage& image, const QRectF& rect, int minimumAlpha = 128);
// The image composed over an opaque background, as a bar shows it.
QImage over(const QImage& image, const QColor& background);
// The largest difference of any channel of any pixel (images of one size).
int largestDifference(const QImage& first, const QImage& second);
// Perceived brightness, 0 to 255.
double luminance(const QColor& color);
// The darkest and the brightest luminance inside the rectangle.
std::pair<double, double> luminanceRange(const QImage& image, const QRectF& rect);

} // namespace PixelProbe
