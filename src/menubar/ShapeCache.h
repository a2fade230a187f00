#pragma once

#include <QCache>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

// Outlines of level bars, pies and lamps come out the same on every refresh,
// and rasterizing them is most of the cost of a status-item image. Each is
// rasterized once, in device pixels at its sub-pixel position, and then only
// copied; the copy blends exactly like a fill of the shape would.
class ShapeCache {
public:
    static ShapeCache& shared();

    // Fills the path (painter coordinates) with the colour.
    void fill(QPainter& painter, const QPainterPath& path, const QColor& color);

private:
    ShapeCache();

    // Shapes filled in their opaque colour, by their geometry relative to
    // their top left pixel and their colour.
    QCache<QByteArray, QImage> m_shapes;
};
