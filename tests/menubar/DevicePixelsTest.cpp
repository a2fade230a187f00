#include "menubar/DevicePixels.h"
#include "menubar/PixelProbe.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// Premultiplied pixels of every kind: clear, opaque and translucent.
QImage randomImage(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int kind = random.bounded(4);
            const int alpha = kind == 0 ? 0 : kind == 1 ? 255 : random.bounded(1, 255);
            image.setPixel(x, y, qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), alpha)));
        }
    }
    return image;
}

} // namespace

// The copies that bypass the painter must give its pixels exactly,
// or a cached text would look different from one drawn anew.
TEST(DevicePixels, CopiesWrittenDirectlyMatchThePainterToTheBit)
{
    for (const qreal ratio : {1.0, 2.0}) {
        QImage source = randomImage(13, 9, 7);
        source.setDevicePixelRatio(ratio);
        QImage painted = randomImage(20, 16, 11);
        painted.setDevicePixelRatio(ratio);
        QImage direct = painted.copy();
        direct.setDevicePixelRatio(ratio);
        // One copy inside, one hanging over the top left and one over the bottom right corner.
        const QPoint corners[] = {{3, 4}, {-5, -2}, {15, 12}};
        {
            QPainter painter(&painted);
            painter.setRenderHint(QPainter::Antialiasing);
            for (const QPoint& corner : corners)
                painter.drawImage(QPointF(corner) / ratio, source);
        }
        {
            QPainter painter(&direct);
            painter.setRenderHint(QPainter::Antialiasing);
            ASSERT_EQ(DevicePixels::directTarget(painter), &direct);
            for (const QPoint& corner : corners)
                DevicePixels::copy(painter, corner, source);
        }
        EXPECT_EQ(direct, painted) << "ratio " << ratio;
    }
}

// Every coverage over every byte a target can hold, four pixels at a time and
// one by one: rounding slips show only for some pairs.
TEST(DevicePixels, EveryAlphaOverEveryTargetByteBlendsAsThePainterDoes)
{
    QImage source(257, 16, QImage::Format_ARGB32_Premultiplied);
    QImage target(257, 16, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = x % 256;
            const int byte = (x * 7 + y * 16) % 256;
            source.setPixel(x, y, qPremultiply(qRgba(255 - byte, byte, (byte * 3) % 256, alpha)));
            target.setPixel(x, y, qPremultiply(qRgba(byte, (byte + y) % 256, (byte + 128) % 256, 255 - y)));
        }
    }
    QImage painted = target.copy();
    {
        QPainter painter(&painted);
        painter.drawImage(0, 0, source);
    }
    QPainter painter(&target);
    DevicePixels::copy(painter, {0, 0}, source);
    painter.end();
    EXPECT_EQ(target, painted);
}

TEST(DevicePixels, PaintersThatClipOrFadeAreNotBypassed)
{
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    QImage plain(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRect(0, 0, 4, 4);
    EXPECT_EQ(DevicePixels::directTarget(painter), nullptr);
    painter.setClipping(false);
    painter.setOpacity(0.5);
    EXPECT_EQ(DevicePixels::directTarget(painter), nullptr);
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    EXPECT_EQ(DevicePixels::directTarget(painter), nullptr);
    QPainter other(&plain);
    EXPECT_EQ(DevicePixels::directTarget(other), nullptr);
}

TEST(PremultipliedPixels, InkedBoundsHoldEveryPixelThatIsNotClear)
{
    QImage image(9, 7, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    EXPECT_TRUE(PremultipliedPixels::inkedBounds(image).isEmpty());
    // A faint pixel counts as much as an opaque one.
    image.setPixel(2, 5, qPremultiply(qRgba(0, 0, 0, 1)));
    image.setPixel(6, 1, qRgba(255, 255, 255, 255));
    image.setPixel(8, 3, qPremultiply(qRgba(10, 20, 30, 128)));
    EXPECT_EQ(PremultipliedPixels::inkedBounds(image), QRect(QPoint(2, 1), QPoint(8, 5)));
}

// Frames are filled this way instead of by the painter; the two must look alike,
// and on whole pixels be the same.
TEST(PremultipliedPixels, RectanglesFilledDirectlyMatchThePainter)
{
    const struct {
        QRectF rect;
        int tolerance;
    } cases[] = {
        {{2, 3, 9, 1}, 0},
        {{0, 0, 1, 12}, 0},
        {{-4, 5, 30, 2}, 0},
        {{2.5, 3.25, 9.5, 1}, 2},
        {{3.4, 1.6, 1, 8.3}, 2},
        {{7.75, -0.5, 0.6, 0.7}, 2},
        {{14.2, 9.9, 8, 5}, 2},
    };
    const QImage background = randomImage(16, 12, 3);
    for (const auto& example : cases) {
        for (const QColor& color : {QColor(20, 60, 230), QColor(Qt::white)}) {
            QImage painted = background.copy();
            {
                QPainter painter(&painted);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.fillRect(example.rect, color);
            }
            QImage direct = background.copy();
            PremultipliedPixels::fillRect(direct, example.rect, color.rgba());
            EXPECT_LE(PixelProbe::largestDifference(direct, painted), example.tolerance) << example.rect.x();
            EXPECT_NE(direct, background) << example.rect.x();
        }
    }
}
