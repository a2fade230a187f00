// Translucent fills through the opaque layer and outlines through the shape
// cache must give the pixels a plain source-over fill gives.

#include "menubar/MenuBarDrawing.h"
#include "menubar/OpaqueLayer.h"
#include "menubar/PixelProbe.h"
#include "menubar/ShapeCache.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace PixelProbe;

namespace {

// A 40 × 30 point canvas with an opaque bar across it, so shapes blend over content and over nothing.
QImage canvas(qreal ratio)
{
    QImage image(QSize(40, 30) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(QRectF(0, 10, 40, 8), QColor(20, 120, 200));
    return image;
}

QPainterPath ringAt(double x, double y)
{
    QPainterPath ring;
    ring.addEllipse(QRectF(x, y, 17.3, 17.3));
    ring.addEllipse(QRectF(x + 1.47, y + 1.47, 14.36, 14.36));
    return ring;
}

using Draw = std::function<void(QPainter&)>;

QImage drawn(qreal ratio, const Draw& draw, double rotation = 0)
{
    QImage image = canvas(ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, -1.25);
    painter.rotate(rotation);
    draw(painter);
    return image;
}

class OffscreenShapes : public ::testing::TestWithParam<qreal> { };

} // namespace

TEST_P(OffscreenShapes, TranslucentFillsThroughTheLayerBlendLikeSourceOverAndTheLayerClearsBetweenShapes)
{
    const QColor translucent(200, 30, 60, 90);
    QPolygonF wave;
    wave << QPointF(-3, 28);
    for (int i = 0; i <= 45; ++i)
        wave << QPointF(-3 + i, 15 + 10 * std::sin(i * 0.4));
    wave << QPointF(42, 28);
    const QImage expected = drawn(GetParam(), [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(translucent);
        painter.drawPolygon(wave);
    });
    const QImage layered = drawn(GetParam(), [&](QPainter& painter) {
        MenuBarDrawing drawing(painter, 30, lightPalette());
        drawing.fillPolygon(wave, translucent);
    });
    EXPECT_LE(largestDifference(layered, expected), 2);
    EXPECT_GT(largestDifference(layered, canvas(GetParam())), 50) << "something was drawn";
    QPainterPath left, right;
    left.addRect(2, 2, 10, 10);
    right.addRect(8, 2, 10, 10);
    const QImage overlapping = drawn(GetParam(), [&](QPainter& painter) {
        painter.fillPath(left, translucent);
        painter.fillPath(right, translucent);
    });
    const QImage twoLayers = drawn(GetParam(), [&](QPainter& painter) {
        OpaqueLayer layer(painter);
        for (const QPainterPath& path : {left, right}) {
            QPainter* opaque = layer.begin(path.boundingRect());
            ASSERT_TRUE(opaque);
            opaque->fillPath(path, QColor(translucent.rgb()));
            layer.end(translucent.alphaF());
        }
        EXPECT_FALSE(layer.begin(QRectF(-30, -30, 5, 5))) << "nothing of it on the device";
    });
    EXPECT_LE(largestDifference(twoLayers, overlapping), 2);
}

TEST_P(OffscreenShapes, CachedOutlinesMatchFillsAtEverySubPixelPosition)
{
    for (const QColor& color : {QColor(Qt::black), QColor(0, 0, 0, 217), QColor(52, 199, 89)}) {
        for (double x : {1.0, 3.25, 6.5, 9.8}) {
            const QPainterPath ring = ringAt(x, 4.3);
            const QImage expected = drawn(GetParam(), [&](QPainter& painter) { painter.fillPath(ring, color); });
            for (int time = 0; time < 2; ++time) {
                const QImage cached = drawn(GetParam(), [&](QPainter& p) { ShapeCache::shared().fill(p, ring, color); });
                EXPECT_LE(largestDifference(cached, expected), color.alpha() == 255 ? 0 : 2)
                    << "x " << x << " alpha " << color.alpha() << " time " << time;
            }
        }
    }
    // Rotated painters fill directly.
    const QPainterPath ring = ringAt(10, 5);
    EXPECT_EQ(drawn(GetParam(), [&](QPainter& p) { ShapeCache::shared().fill(p, ring, Qt::black); }, 20),
        drawn(GetParam(), [&](QPainter& p) { p.fillPath(ring, Qt::black); }, 20));
}

TEST_P(OffscreenShapes, TheSameOutlineInTwoPlacesIsDrawnInBoth)
{
    // Exact binary fractions: both frames have the same geometry relative to their pixels.
    QPainterPath left, right;
    for (auto [path, x] : {std::pair{&left, 2.25}, std::pair{&right, 22.25}}) {
        path->addRect(x, 4.5, 12, 12);
        path->addRect(x + 1.5, 6, 9, 9);
    }
    const QImage expected = drawn(GetParam(), [&](QPainter& painter) {
        painter.fillPath(left, Qt::black);
        painter.fillPath(right, Qt::black);
    });
    const QImage cached = drawn(GetParam(), [&](QPainter& painter) {
        ShapeCache::shared().fill(painter, left, Qt::black);
        ShapeCache::shared().fill(painter, right, Qt::black);
    });
    EXPECT_EQ(cached, expected);
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, OffscreenShapes, ::testing::Values(1.0, 2.0));
