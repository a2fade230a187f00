#include "platform/log/LogCapture.h"
#include "platform/statusbar/StatusNotifierIcon.h"

#include <QDir>
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

namespace {
QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}
} // namespace

TEST(StatusNotifierIcon, EachHostFindsItsSizeAndOnlyNewPixelsCount)
{
    QTemporaryDir folder;
    StatusNotifierIcon::Renderings renderings{filled(132, 44, Qt::blue), {filled(16, 16, Qt::red), filled(22, 22, Qt::green)}};
    renderings.image.setDevicePixelRatio(2.0);
    QStringList written;
    {
        StatusNotifierIcon icon(folder.path(), QStringLiteral("item"));
        ASSERT_TRUE(icon.update(renderings));
        // Squares smallest first, the wide image last: the largest of all.
        const StatusNotifierPixmaps pixmaps = icon.pixmaps();
        ASSERT_EQ(pixmaps.size(), 3);
        EXPECT_EQ(QSize(pixmaps[0].width, pixmaps[0].height), QSize(16, 16));
        EXPECT_EQ(QSize(pixmaps[1].width, pixmaps[1].height), QSize(22, 22));
        EXPECT_EQ(QSize(pixmaps[2].width, pixmaps[2].height), QSize(132, 44));

        // By name: the squares in a hicolor folder of the theme path, the wide
        // image as the name's "panel" variant beside it.
        const QString name = icon.iconName();
        ASSERT_FALSE(name.isEmpty());
        const QDir theme(icon.themePath());
        written = {theme.filePath(name + QStringLiteral("-panel.png")),
            theme.filePath(QStringLiteral("hicolor/16x16/vistrel/%1.png").arg(name)),
            theme.filePath(QStringLiteral("hicolor/22x22/vistrel/%1.png").arg(name))};
        EXPECT_EQ(QImage(written[0]).size(), QSize(132, 44));
        EXPECT_EQ(QImage(written[1]).pixel(8, 8), qRgb(255, 0, 0));
        EXPECT_EQ(QImage(written[2]).pixel(8, 8), qRgb(0, 255, 0));
        EXPECT_FALSE(theme.exists(name + QStringLiteral(".png")));

        // The same pixels, even in another format, are no change and write nothing.
        StatusNotifierIcon::Renderings same = renderings;
        same.squares[1] = same.squares[1].convertToFormat(QImage::Format_ARGB32);
        EXPECT_FALSE(icon.update(same));
        EXPECT_EQ(icon.iconName(), name);

        // A new square alone is a change, under the other name; the next returns to the first.
        renderings.squares[0].setPixel(0, 0, qRgb(0, 0, 0));
        ASSERT_TRUE(icon.update(renderings));
        EXPECT_NE(icon.iconName(), name);
        written << theme.filePath(icon.iconName() + QStringLiteral("-panel.png"));
        renderings.squares.removeLast();
        ASSERT_TRUE(icon.update(renderings));
        EXPECT_EQ(icon.iconName(), name);
        // A size no longer drawn leaves no stale file behind.
        EXPECT_FALSE(QFileInfo::exists(written[2]));
        EXPECT_EQ(QImage(written[1]).pixel(0, 0), qRgb(0, 0, 0));
    }
    // The files go with the item.
    for (const QString& file : written)
        EXPECT_FALSE(QFileInfo::exists(file)) << qPrintable(file);

    // An unwritable folder is reported and leaves no name, but the pixels still go out.
    LogCapture log;
    StatusNotifierIcon icon(QStringLiteral("/proc/no-such-folder"), QStringLiteral("item"));
    EXPECT_TRUE(icon.update({filled(22, 22, Qt::black)}));
    EXPECT_TRUE(icon.iconName().isEmpty());
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1u);
    EXPECT_EQ(icon.pixmaps().size(), 1);
}

TEST(StatusNotifierIcon, FilesAndPixmapsFollowEveryChangeWhateverChangedBefore)
{
    // Pictures change one at a time across the two generations of names;
    // whatever is skipped as unchanged, every file of the current name and
    // every pixmap shows the current pixels.
    QTemporaryDir folder;
    StatusNotifierIcon icon(folder.path(), QStringLiteral("item"));
    StatusNotifierIcon::Renderings renderings{filled(66, 22, Qt::blue), {filled(16, 16, Qt::red), filled(22, 22, Qt::green)}};
    const QColor colours[] = {Qt::black, Qt::white, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int step = 0; step < 5; ++step) {
        // Only square 0, only square 1, only the wide image, ...
        QImage& changed = step % 3 == 2 ? renderings.image : renderings.squares[step % 3];
        changed.fill(colours[step]);
        ASSERT_TRUE(icon.update(renderings)) << step;
        if (step % 2 == 0) {
            // Pixmaps asked for only every other change: made from the newest pictures all the same.
            const StatusNotifierPixmaps pixmaps = icon.pixmaps();
            ASSERT_EQ(pixmaps.size(), 3);
            EXPECT_EQ(pixmaps[0].toImage().pixelColor(3, 3), renderings.squares[0].pixelColor(3, 3)) << step;
            EXPECT_EQ(pixmaps[1].toImage().pixelColor(3, 3), renderings.squares[1].pixelColor(3, 3)) << step;
            EXPECT_EQ(pixmaps[2].toImage().pixelColor(3, 3), renderings.image.pixelColor(3, 3)) << step;
        }
        const QDir theme(icon.themePath());
        const QString name = icon.iconName();
        EXPECT_EQ(QImage(theme.filePath(name + QStringLiteral("-panel.png"))).pixelColor(3, 3),
            renderings.image.pixelColor(3, 3)) << step;
        EXPECT_EQ(QImage(theme.filePath(QStringLiteral("hicolor/16x16/vistrel/%1.png").arg(name))).pixelColor(3, 3),
            renderings.squares[0].pixelColor(3, 3)) << step;
        EXPECT_EQ(QImage(theme.filePath(QStringLiteral("hicolor/22x22/vistrel/%1.png").arg(name))).pixelColor(3, 3),
            renderings.squares[1].pixelColor(3, 3)) << step;
    }
}
