#include "platform/statusbar/PremultipliedPixels.h"

namespace PremultipliedPixels {

void blendOver(QImage& target, const QPoint& pixel, const QImage& source)
{
    const QRect area = QRect(pixel, source.size()).intersected(target.rect());
    const QPoint from = area.topLeft() - pixel;
    for (int row = 0; row < area.height(); ++row) {
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(from.y() + row)) + from.x();
        quint32* out = writablePixels(target, area.x(), area.y() + row);
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

} // namespace PremultipliedPixels
