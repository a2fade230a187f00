#include "platform/log/LogCapture.h"
#include "platform/statusbar/StatusNotifierIcon.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(StatusNotifierPixmap, PixelsGoOutAsStraightARGBInNetworkByteOrder)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xFF));
    image.setPixel(1, 0, qRgba(0x40, 0x00, 0x00, 0x80));
    const StatusNotifierPixmap pixmap = StatusNotifierPixmap::fromImage(image);
    EXPECT_EQ(pixmap.width, 2);
    EXPECT_EQ(pixmap.height, 1);
    EXPECT_EQ(pixmap.bytes, QByteArray::fromHex("ff11223380400000"));
    EXPECT_EQ(pixmap.toImage().pixel(1, 0), image.pixel(1, 0));

    // Hosts expect unpremultiplied values: half-transparent full red stays full red.
    QImage premultiplied(1, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(qRgba(0xFF, 0x00, 0x00, 0x80));
    EXPECT_EQ(StatusNotifierPixmap::fromImage(premultiplied).bytes, QByteArray::fromHex("80ff0000"));
}

TEST(StatusNotifierIcon, OnlyNewPixelsCountAndTheFileNameAlternates)
{
    QTemporaryDir folder;
    QString first;
    {
        StatusNotifierIcon icon(folder.path(), QStringLiteral("item"));
        QImage wide(132, 44, QImage::Format_ARGB32_Premultiplied);
        wide.setDevicePixelRatio(2.0);
        wide.fill(Qt::blue);
        ASSERT_TRUE(icon.update(wide));
        first = icon.fileName();
        EXPECT_TRUE(QFileInfo(first).isAbsolute());
        EXPECT_EQ(QImage(first).size(), QSize(132, 44));
        ASSERT_EQ(icon.pixmaps().size(), 1);
        EXPECT_EQ(icon.pixmaps().first().width, 132);

        // The same pixels, even in another format, are no change and write nothing.
        EXPECT_FALSE(icon.update(wide.convertToFormat(QImage::Format_ARGB32)));
        EXPECT_EQ(icon.fileName(), first);

        wide.setPixel(131, 43, qRgb(255, 0, 0));
        ASSERT_TRUE(icon.update(wide));
        EXPECT_NE(icon.fileName(), first);
        wide.setPixel(0, 0, qRgb(0, 255, 0));
        ASSERT_TRUE(icon.update(wide));
        EXPECT_EQ(icon.fileName(), first);
        EXPECT_EQ(QImage(first).pixel(0, 0), qRgb(0, 255, 0));
    }
    // The files go with the item.
    EXPECT_FALSE(QFileInfo::exists(first));

    // An unwritable folder is reported, but the pixels still go out.
    LogCapture log;
    StatusNotifierIcon icon(QStringLiteral("/proc/no-such-folder"), QStringLiteral("item"));
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    EXPECT_TRUE(icon.update(image));
    EXPECT_TRUE(icon.fileName().isEmpty());
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1u);
    EXPECT_EQ(icon.pixmaps().size(), 1);
}
