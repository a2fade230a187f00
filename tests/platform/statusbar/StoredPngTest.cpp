#include "platform/statusbar/StoredPng.h"

#include <QPainter>

#include <gtest/gtest.h>

// PNG readers check every chunk's CRC and the zlib stream's checksum, so a
// picture that reads back pixel for pixel proves the framing; the large one
// spans several stored blocks, the odd one has rows of no round length.
TEST(StoredPng, ReadsBackPixelForPixelAsStraightAlpha)
{
    for (const QSize size : {QSize(1, 1), QSize(37, 22), QSize(300, 120)}) {
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(200, 40, 90, 160));
        painter.setPen(QPen(QColor(10, 220, 30), 1.5));
        painter.drawEllipse(QRectF(0.3, 0.3, size.width() - 0.6, size.height() - 0.6));
        painter.end();

        const QByteArray png = StoredPng::encode(picture);
        QImage read;
        ASSERT_TRUE(read.loadFromData(png, "PNG")) << size.width() << "x" << size.height();
        ASSERT_EQ(read.size(), size);
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGBA8888), picture.convertToFormat(QImage::Format_RGBA8888))
            << size.width() << "x" << size.height();
        // Stored, not compressed: the rows and a little framing.
        EXPECT_LT(png.size(), (size.width() * 4 + 1) * size.height() + 120);
    }
}
