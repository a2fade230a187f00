#include "menubar/DevicePixels.h"

namespace {

// x times a / 255 per byte, as the raster engine's blend functions round it.
inline quint32 byteMultiply(quint32 x, quint32 a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return quint32(t) | quint32(t >> 24);
}

quint32* pixelsOf(QImage& image, int x, int y)
{
    // Through the constant pixels: the painter holds the image and its
    // buffer, which must not be detached from under it.
    return reinterpret_cast<quint32*>(const_cast<uchar*>(image.constScanLine(y))) + x;
}

} // namespace

namespace DevicePixels {

QImage* directTarget(const QPainter& painter)
{
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || painter.opacity() != 1.0 || painter.hasClipping()
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    return image->format() == QImage::Format_ARGB32_Premultiplied ? image : nullptr;
}

void blendOver(QImage& target, const QPoint& pixel, const QImage& source)
{
    const QRect area = QRect(pixel, source.size()).intersected(target.rect());
    const QPoint from = area.topLeft() - pixel;
    for (int row = 0; row < area.height(); ++row) {
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(from.y() + row)) + from.x();
        quint32* out = pixelsOf(target, area.x(), area.y() + row);
        for (int column = 0; column < area.width(); ++column) {
            const quint32 s = in[column];
            if (s >= 0xff000000u)
                out[column] = s;
            else if (s != 0)
                out[column] = s + byteMultiply(out[column], qAlpha(~s));
        }
    }
}

QRect inkedBounds(const QImage& image)
{
    QRect bounds;
    for (int row = 0; row < image.height(); ++row) {
        const auto* pixels = reinterpret_cast<const quint32*>(image.constScanLine(row));
        int first = 0;
        while (first < image.width() && pixels[first] == 0)
            ++first;
        if (first == image.width())
            continue;
        int last = image.width() - 1;
        while (pixels[last] == 0)
            --last;
        bounds |= QRect(first, row, last - first + 1, 1);
    }
    return bounds;
}

} // namespace DevicePixels
