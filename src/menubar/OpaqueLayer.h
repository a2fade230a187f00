#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include <memory>

// Qt 6.4's raster engine hands every blend of 96 spans or more to the global
// thread pool and waits for it, unless the colour is opaque: opaque colours
// are written in place. An antialiased fill of a status-item graph already
// has that many spans, and for images this small the hand-off costs more than
// the drawing and wakes the pool's threads on every refresh. So a translucent
// shape is drawn in its opaque colour into this layer and then composed onto
// the target at the colour's opacity, which gives the pixels of a translucent
// source-over fill while everything stays on the drawing thread.
class OpaqueLayer {
public:
    explicit OpaqueLayer(QPainter& target);
    ~OpaqueLayer();

    // The layer keeps its image and painter from one target to the next, so
    // that drawings made one after another share it without allocating.
    void setTarget(QPainter& target) { m_target = &target; }

    // Clears the area the bounds (target coordinates) cover and returns the
    // painter to draw into, set up like the target; null when the area is
    // outside the device.
    QPainter* begin(const QRectF& bounds);
    // Composes what was drawn since begin() onto the target.
    void end(qreal opacity);

private:
    QPainter* m_target;
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    QRect m_area;
};
