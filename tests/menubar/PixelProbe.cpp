#include "menubar/PixelProbe.h"

#include <QPainter>

#include <cmath>

namespace PixelProbe {

namespace {

QPalette palette(const QColor& text, const QColor& window)
{
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::Base, window);
        p.setColor(group, QPalette::Highlight, QColor(40, 90, 200));
        p.setColor(group, QPalette::HighlightedText, QColor(255, 0, 255));
    }
    return p;
}

QPoint pixel(const QImage& image, double x, double y)
{
    const qreal ratio = image.devicePixelRatio();
    const double height = image.height() / ratio;
    return {int(std::floor(x * ratio)), int(std::floor((height - y) * ratio))};
}

// Visits every pixel whose centre lies inside the rectangle.
template <typename Visit>
void forEachPixel(const QImage& image, const QRectF& rect, Visit visit)
{
    const qreal ratio = image.devicePixelRatio();
    const double height = image.height() / ratio;
    const int left = int(std::ceil(rect.left() * ratio - 0.5));
    const int right = int(std::floor(rect.right() * ratio - 0.5));
    const int top = int(std::ceil((height - rect.bottom()) * ratio - 0.5));
    const int bottom = int(std::floor((height - rect.top()) * ratio - 0.5));
    for (int row = std::max(0, top); row <= std::min(image.height() - 1, bottom); ++row)
        for (int column = std::max(0, left); column <= std::min(image.width() - 1, right); ++column)
            visit(image.pixelColor(column, row));
}

} // namespace

QPalette lightPalette()
{
    return palette(Qt::black, QColor(236, 236, 236));
}

QPalette darkPalette()
{
    return palette(Qt::white, QColor(40, 40, 40));
}

QColor colorAt(const QImage& image, double x, double y)
{
    const QPoint p = pixel(image, x, y);
    if (!image.valid(p))
        return QColor(0, 0, 0, 0);
    return image.pixelColor(p).toRgb();
}

double inkedFraction(const QImage& image, const QRectF& rect, int minimumAlpha)
{
    int inked = 0, all = 0;
    forEachPixel(image, rect, [&](const QColor& color) {
        ++all;
        inked += color.alpha() >= minimumAlpha;
    });
    return all ? double(inked) / all : 0.0;
}

double inkedRunUpwards(const QImage& image, double x, double y, int minimumAlpha)
{
    const double step = 1.0 / image.devicePixelRatio();
    double run = 0;
    while (isInked(image, x, y + run, minimumAlpha))
        run += step;
    return run;
}

QColor meanInk(const QImage& image, const QRectF& rect, int minimumAlpha)
{
    double red = 0, green = 0, blue = 0, alpha = 0, count = 0;
    forEachPixel(image, rect, [&](const QColor& color) {
        if (color.alpha() < minimumAlpha)
            return;
        red += color.red();
        green += color.green();
        blue += color.blue();
        alpha += color.alpha();
        ++count;
    });
    if (count == 0)
        return QColor(0, 0, 0, 0);
    return QColor(qRound(red / count), qRound(green / count), qRound(blue / count), qRound(alpha / count));
}

QImage over(const QImage& image, const QColor& background)
{
    QImage composed(image.size(), QImage::Format_ARGB32_Premultiplied);
    composed.setDevicePixelRatio(image.devicePixelRatio());
    composed.fill(background);
    QPainter painter(&composed);
    painter.drawImage(QPointF(0, 0), image);
    return composed;
}

int largestDifference(const QImage& first, const QImage& second)
{
    if (first.size() != second.size())
        return 255;
    int largest = 0;
    for (int row = 0; row < first.height(); ++row)
        for (int column = 0; column < first.width(); ++column) {
            const QRgb a = first.pixel(column, row);
            const QRgb b = second.pixel(column, row);
            largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
        }
    return largest;
}

double luminance(const QColor& color)
{
    return 0.2126 * color.red() + 0.7152 * color.green() + 0.0722 * color.blue();
}

std::pair<double, double> luminanceRange(const QImage& image, const QRectF& rect)
{
    double darkest = 255, brightest = 0;
    forEachPixel(image, rect, [&](const QColor& color) {
        darkest = std::min(darkest, luminance(color));
        brightest = std::max(brightest, luminance(color));
    });
    return {darkest, brightest};
}

} // namespace PixelProbe
