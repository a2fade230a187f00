#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>

// Pixel work on premultiplied 32-bit images that is cheaper done by hand
// than through a painter, with the raster engine's rounding, so that the
// pixels come out the same either way.
namespace PremultipliedPixels {

// x times a / 255 for each byte of a pixel, rounded as the raster engine's
// blend functions round it.
inline quint32 byteMultiply(quint32 x, quint32 a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return quint32(t) | quint32(t >> 24);
}

// The pixels of a row from the given column on, for writing while a painter
// may hold the image: through the constant pixels, since the painter's
// buffer must not be detached from under it.
inline quint32* writablePixels(QImage& image, int x, int y)
{
    return reinterpret_cast<quint32*>(const_cast<uchar*>(image.constScanLine(y))) + x;
}

// Source-over of a premultiplied image onto a premultiplied or opaque RGB32
// target, with its top left pixel on the given one.
void blendOver(QImage& target, const QPoint& pixel, const QImage& source);

// Source-over of an opaque colour on the part of each pixel the rectangle
// (in pixels) covers, as an antialiasing painter fills it; rows and columns
// it covers whole get the colour itself.
void fillRect(QImage& target, const QRectF& rect, QRgb opaque);

// The smallest rectangle that holds every pixel of a premultiplied image that
// is not wholly transparent; empty when there is none.
QRect inkedBounds(const QImage& image);

} // namespace PremultipliedPixels
