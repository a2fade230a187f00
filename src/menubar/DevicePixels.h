#pragma once

#include "platform/statusbar/PremultipliedPixels.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
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

// The image the painter draws into, when a copy or a fill may write its
// pixels itself and get the painter's result: a premultiplied image, drawn on
// source-over, unclipped, at full opacity. Status-item images are painted
// this way, and going through the painter for each cached text costs more
// than the pixels.
QImage* directTarget(const QPainter& painter);

// The direct target for shapes whose painter coordinates reach the device's
// pixels by moving and scaling alone (device being transform(painter)), so
// that they stay upright there; none otherwise.
inline QImage* uprightTarget(const QPainter& painter, const QTransform& device)
{
    return device.type() <= QTransform::TxScale ? directTarget(painter) : nullptr;
}

// Draws the image with its top left pixel on the device pixel, at the
// painter's opacity times the given one; the world transform is set aside.
inline void copy(QPainter& painter, const QPoint& pixel, QImage& image, qreal opacity = 1.0)
{
    if (opacity == 1.0 && image.format() == QImage::Format_ARGB32_Premultiplied) {
        if (QImage* target = directTarget(painter)) {
            PremultipliedPixels::blendOver(*target, pixel, image);
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
