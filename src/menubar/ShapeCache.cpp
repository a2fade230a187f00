#include "menubar/ShapeCache.h"

#include "menubar/DevicePixels.h"

#include <cmath>

namespace {

// Enough for the outlines of every cell of a few dozen items.
constexpr qsizetype MaximumShapes = 256;

} // namespace

ShapeCache& ShapeCache::shared()
{
    static ShapeCache cache;
    return cache;
}

ShapeCache::ShapeCache()
    : m_shapes(MaximumShapes)
{
}

void ShapeCache::fill(QPainter& painter, const QPainterPath& path, const QColor& color)
{
    // Device pixels as the opaque layer counts them, so that the copy lands
    // where the fill would have.
    const QTransform device = DevicePixels::transform(painter);
    if (device.type() > QTransform::TxScale) {
        painter.fillPath(path, color);
        return;
    }
    // The shape in device pixels relative to the pixel at its top left
    // (with a pixel of room for antialiasing), and its opaque colour.
    const QRectF bounds = device.mapRect(path.boundingRect());
    const QPoint origin(int(std::floor(bounds.left())) - 1, int(std::floor(bounds.top())) - 1);
    const QTransform toShape = device * QTransform::fromTranslate(-origin.x(), -origin.y());
    QByteArray key;
    key.reserve(path.elementCount() * (1 + 2 * int(sizeof(double))) + int(sizeof(QRgb)));
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QPointF point = toShape.map(QPointF(element));
        const double coordinates[] = {point.x(), point.y()};
        key.append(char(element.type));
        key.append(reinterpret_cast<const char*>(coordinates), sizeof(coordinates));
    }
    const QRgb opaque = color.rgb();
    key.append(reinterpret_cast<const char*>(&opaque), sizeof(opaque));

    QImage* shape = m_shapes.object(key);
    if (!shape) {
        shape = new QImage(int(std::ceil(bounds.right())) - origin.x() + 1, int(std::ceil(bounds.bottom())) - origin.y() + 1,
            QImage::Format_ARGB32_Premultiplied);
        shape->fill(Qt::transparent);
        QPainter shapePainter(shape);
        shapePainter.setRenderHints(painter.renderHints());
        shapePainter.setTransform(toShape);
        shapePainter.fillPath(path, QColor::fromRgb(opaque));
        shapePainter.end();
        m_shapes.insert(key, shape);
    }

    DevicePixels::copy(painter, origin, *shape, color.alphaF());
}
