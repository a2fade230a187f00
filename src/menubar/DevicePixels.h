#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QTransform>

// Drawings cached as images are made in device pixels and copied back pixel
// for pixel, so that a copy lands exactly where the drawing would have.
namespace DevicePixels {

// Painter coordinates to the device's pixels: the world transform times the
// device pixel ratio.
inline QTransform transform(const QPainter& painter)
{
    const qreal ratio = painter.device()->devicePixelRatio();
    return painter.worldTransform() * QTransform::fromScale(ratio, ratio);
}

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
// holds the image: through the constant pixels, since the painter's buffer
// must not be detached from under it.
inline quint32* writablePixels(QImage& image, int x, int y)
{
    return reinterpret_cast<quint32*>(const_cast<uchar*>(image.constScanLine(y))) + x;
}

// The image the painter draws into, when a copy or a fill may write its
// pixels itself and get the painter's result: a premultiplied image, drawn on
// source-over, unclipped, at full opacity. Status-item images are painted
// this way, and going through the painter for each cached text costs more
// than the pixels.
QImage* directTarget(const QPainter& painter);

// Source-over of a premultiplied image onto the target with its top left
// pixel on the given one, rounded as the raster engine rounds.
void blendOver(QImage& target, const QPoint& pixel, const QImage& source);

// The smallest rectangle that holds every pixel of a premultiplied image that
// is not wholly transparent; empty when there is none.
QRect inkedBounds(const QImage& image);

// Draws the image with its top left pixel on the device pixel, at the
// painter's opacity times the given one; the world transform is set aside.
inline void copy(QPainter& painter, const QPoint& pixel, QImage& image, qreal opacity = 1.0)
{
    if (opacity == 1.0 && image.format() == QImage::Format_ARGB32_Premultiplied) {
        if (QImage* target = directTarget(painter)) {
            blendOver(*target, pixel, image);
            return;
        }
    }
    const qreal ratio = painter.device()->devicePixelRatio();
    const QTransform world = painter.worldTransform();
    const qreal previousOpacity = painter.opacity();
    image.setDevicePixelRatio(ratio);
    painter.resetTransform();
    painter.setOpacity(previousOpacity * opacity);
    painter.drawImage(QPointF(pixel) / ratio, image);
    painter.setOpacity(previousOpacity);
    painter.setWorldTransform(world);
}

} // namespace DevicePixels
