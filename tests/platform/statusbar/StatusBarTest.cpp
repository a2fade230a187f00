#include "app/Snapshot.h"
#include "platform/statusbar/OffscreenStatusBar.h"
#include "platform/statusbar/StatusBarLayout.h"

#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidgetAction>
#include <QLabel>

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

TEST(StatusItem, DestroyingALinkedItemRemovesItFromItsBar)
{
    OffscreenStatusBar bar;
    auto item = bar.statusItemWithLength(StatusItem::SquareLength);
    ASSERT_EQ(bar.statusItems().size(), 1u);
    item.reset();
    EXPECT_TRUE(bar.statusItems().empty());
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

TEST(Snapshot, WritesEveryItemsImageAndMenu)
{
    OffscreenStatusBar bar;
    auto item = bar.statusItemWithLength(StatusItem::SquareLength);
    item->setTitle(QStringLiteral("X"));
    item->setAutosaveName(QStringLiteral("QRNCPUMonitorItem"));
    QMenu menu;
    menu.addAction(QStringLiteral("Process &Load"))->setEnabled(false);
    menu.addSeparator();
    auto* row = new QWidgetAction(&menu);
    auto* label = new QLabel;
    label->setAccessibleName(QStringLiteral("User:\t12 %"));
    row->setDefaultWidget(label);
    menu.addAction(row);
    menu.addMenu(QStringLiteral("More"))->addAction(QStringLiteral("Inside"));
    item->setMenu(&menu);

    QTemporaryDir dir;
    QString error;
    const QStringList files = Snapshot::write(bar, dir.path(), &error);
    ASSERT_EQ(files.size(), 2) << qPrintable(error);
    EXPECT_EQ(QFileInfo(files[0]).fileName(), QStringLiteral("01-QRNCPUMonitorItem.png"));
    EXPECT_EQ(QImage(files[0]).size(), QSize(22, 22));
    QFile text(files[1]);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()),
        QStringLiteral("Process Load (disabled)\n-----\nUser:\t12 %\nMore\n    Inside\n"));

    EXPECT_TRUE(Snapshot::write(bar, QStringLiteral("/proc/no/such/folder"), &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("/proc/no/such/folder")));
}
