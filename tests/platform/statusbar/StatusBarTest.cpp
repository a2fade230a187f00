#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/OwnStatusBar.h"
#include "platform/statusbar/StatusBarLayout.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {
QImage imageOfWidth(int points, qreal ratio)
{
    QImage image(QSize(points, 22) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);
    return image;
}
} // namespace

TEST(StatusBarLayout, PlacesTheFirstItemRightmostAtItsTrueWidth)
{
    OffscreenStatusBar bar(1000);
    auto graph = bar.statusItemWithLength(StatusItem::VariableLength);
    graph->setImage(imageOfWidth(66, 2.0));
    auto square = bar.statusItemWithLength(StatusItem::SquareLength);
    auto empty = bar.statusItemWithLength(StatusItem::VariableLength);
    auto fixed = bar.statusItemWithLength(30);

    const int gap = StatusBarLayout::Spacing;
    EXPECT_EQ(graph->buttonFrameOnScreen(), QRect(1000 - gap - 66, 0, 66, 22));
    EXPECT_EQ(square->buttonFrameOnScreen(), QRect(1000 - 2 * gap - 66 - 22, 0, 22, 22));
    // An item with nothing to show takes no room.
    EXPECT_TRUE(empty->buttonFrameOnScreen().isEmpty());
    EXPECT_EQ(fixed->buttonFrameOnScreen().width(), 30);
    EXPECT_EQ(fixed->buttonFrameOnScreen().right() + 1 + gap, square->buttonFrameOnScreen().left());

    // Removing an item closes the gap; the removed item stays usable but unshown.
    bar.removeStatusItem(*graph);
    EXPECT_EQ(square->buttonFrameOnScreen().right(), 1000 - gap - 1);
    EXPECT_TRUE(graph->buttonFrameOnScreen().isEmpty());
    EXPECT_EQ(bar.statusItems().size(), 3u);
    // Hidden items (dragged out) are not laid out either.
    square->setVisible(false);
    EXPECT_TRUE(square->buttonFrameOnScreen().isEmpty());
}

TEST(StatusItem, RendersItsImageAtTheBarsPixelRatio)
{
    OffscreenStatusBar bar(800, 2.0);
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    item->setImage(imageOfWidth(40, 2.0));
    const QImage button = item->renderButton(bar.devicePixelRatio(), bar.palette());
    EXPECT_EQ(button.size(), QSize(80, 44));
    EXPECT_EQ(button.pixelColor(40, 22), QColor(Qt::red));

    // A title alone is drawn in the palette's text colour.
    auto titled = bar.statusItemWithLength(StatusItem::SquareLength);
    titled->setTitle(QString(QChar(0x2327)));
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::blue);
    const QImage glyph = titled->renderButton(1.0, palette);
    int bluePixels = 0;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            bluePixels += glyph.pixelColor(x, y).blue() > 128 && glyph.pixelColor(x, y).alpha() > 128;
    EXPECT_GT(bluePixels, 10);
}


TEST(StatusItem, ASquareItemShrinksWholeIntoSmallerSquaresAndAWideOneHasNone)
{
    OffscreenStatusBar bar(800);
    auto square = bar.statusItemWithLength(StatusItem::SquareLength);
    square->setImage(imageOfWidth(22, 1.0));
    // Red all over at every size, down to the last column: not clipped.
    for (int side : {16, 22, 32}) {
        const QImage compact = square->compactImage(side, bar.palette());
        ASSERT_EQ(compact.size(), QSize(side, side));
        EXPECT_EQ(compact.pixelColor(side - 1, side / 2), QColor(Qt::red)) << side;
        EXPECT_EQ(compact.pixelColor(0, 0), QColor(Qt::red)) << side;
    }
    auto wide = bar.statusItemWithLength(StatusItem::VariableLength);
    wide->setImage(imageOfWidth(66, 1.0));
    EXPECT_TRUE(wide->compactImage(22, bar.palette()).isNull());
    wide->setCompactImageSource([](int side, const QPalette&) { return QImage(side, side, QImage::Format_ARGB32); });
    EXPECT_EQ(wide->compactImage(16, bar.palette()).size(), QSize(16, 16));
}

TEST(StatusItem, AChangeNamesOnlyThePointsWhosePixelsChanged)
{
    OffscreenStatusBar bar(800, 2.0);
    auto item = bar.statusItemWithLength(StatusItem::VariableLength);
    QImage image = imageOfWidth(40, 2.0);
    item->setImage(image);
    EXPECT_EQ(item->changedArea(), QRectF(0, 0, 40, 22)) << "a first picture is new everywhere";

    // The same pixels in a new image (as the item image draws into buffers in turn) changed nothing.
    item->setImage(image.copy());
    EXPECT_TRUE(item->changedArea().isEmpty());

    // Two changed pixels far apart: the device pixels between them, in points.
    QImage next = image.copy();
    next.setPixelColor(10, 4, Qt::blue);
    next.setPixelColor(30, 41, Qt::blue);
    item->setImage(next);
    EXPECT_EQ(item->changedArea(), QRectF(5, 2, 10.5, 19));

    // A wider picture, a new highlight: the whole button.
    item->setImage(imageOfWidth(50, 2.0));
    EXPECT_EQ(item->changedArea(), QRectF(0, 0, 50, 22));
    item->setImage(imageOfWidth(50, 2.0));
    ASSERT_TRUE(item->changedArea().isEmpty());
    item->setHighlighted(true);
    EXPECT_EQ(item->changedArea(), QRectF(0, 0, 50, 22));
}

TEST(OwnStatusBar, APaletteGivenToTheBarReachesTheItemsAtOnce)
{
    OwnStatusBar bar;
    const QColor before = bar.palette().color(QPalette::Window);
    QPalette dark = bar.window()->palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    ASSERT_NE(before, QColor(30, 30, 30));
    bar.window()->setPalette(dark);
    EXPECT_EQ(bar.palette().color(QPalette::Window), QColor(30, 30, 30));
    // And back to what the application gives.
    bar.window()->setPalette(QPalette());
    EXPECT_EQ(bar.palette().color(QPalette::Window), before);
}

// The own bar puts plain buttons together by hand: the same pixels as painted.
TEST(StatusItem, APlainButtonPaintedPixelByPixelMatchesThePainter)
{
    for (const qreal ratio : {1.0, 2.0}) {
        OffscreenStatusBar bar(800, ratio);
        auto item = bar.statusItemWithLength(StatusItem::VariableLength);
        QImage image(QSize(30, 22) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qPremultiply(qRgba(x * 8, 255 - y * 5, 90, (x * 37 + y * 11) % 256)));
        item->setImage(image);
        const QRgb background = qRgb(200, 210, 220);
        QImage painted(QSize(40, 22) * ratio, QImage::Format_RGB32);
        painted.setDevicePixelRatio(ratio);
        painted.fill(background);
        QImage direct = painted.copy();
        {
            QPainter painter(&painted);
            painter.translate(5, 0);
            item->paintButton(painter, bar.palette());
        }
        ASSERT_TRUE(item->paintButtonPixels(direct, QPoint(5, 0) * ratio));
        EXPECT_EQ(direct, painted) << "ratio " << ratio;

        // A highlighted button is left to the painter.
        item->setHighlighted(true);
        EXPECT_FALSE(item->paintButtonPixels(direct, QPoint()));
    }
}
