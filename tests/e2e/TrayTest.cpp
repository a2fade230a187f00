#include "VistrelProcess.h"
#include "XServer.h"
#include "XfceTray.h"
#include "platform/statusbar/StatusNotifierTypes.h"

#include <QDBusArgument>
#include <QDir>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

bool standsOut(QRgb pixel, QRgb background)
{
    return qAlpha(pixel) > 128 && qAbs(qGray(pixel) - qGray(background)) > 60;
}

// The bounding box of what stands out from the background in the area.
QRect ink(const QImage& image, const QRect& area, QRgb background)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            box |= standsOut(image.pixel(x, y), background) ? QRect(x, y, 1, 1) : QRect();
    return box;
}

TEST(Tray, ThePanelShowsTheGraphAtFullWidthAndItsMenuRunsPreferences)
{
    XfceTray tray;
    ASSERT_TRUE(tray.waitUntilReady()) << qPrintable(tray.errorOutput());
    VistrelProcess vistrel({QStringLiteral("--status-bar=tray")}, processorGraph());
    ASSERT_TRUE(waitUntil([&] { return tray.registeredItems().size() == 1; }, 15000))
        << qPrintable(vistrel.errorOutput()) << qPrintable(tray.errorOutput());

    // The item's picture as the tray reads it over the bus ("<bus name><object path>").
    registerStatusNotifierTypes();
    const QString item = tray.registeredItems().first();
    const qsizetype slash = item.indexOf(u'/');
    const auto pixmaps = qdbus_cast<StatusNotifierPixmaps>(tray.property(item.left(slash), item.mid(slash),
        QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("IconPixmap")));
    ASSERT_FALSE(pixmaps.isEmpty());
    // The panel takes the largest picture: the graph, wider than high (hosts
    // that pad to squares would lose it).
    const auto largest = std::max_element(pixmaps.begin(), pixmaps.end(),
        [](const auto& a, const auto& b) { return a.width * a.height < b.width * b.height; });
    ASSERT_GT(largest->width, 2 * largest->height) << qPrintable(vistrel.errorOutput());

    QImage screen = grabScreen();
    const QRgb panel = screen.pixel(ScreenWidth - 3, 3);
    const QImage picture = largest->toImage();
    const QRect frame = ink(picture, picture.rect(), panel);
    ASSERT_GT(frame.width(), 40);
    QRect drawn;
    // Shrunk into the tray's 22-pixel square the frame would be a third as wide.
    ASSERT_TRUE(waitUntil([&] {
        screen = grabScreen();
        drawn = ink(screen, QRect(0, 0, ScreenWidth / 2, XfceTray::PanelHeight - 2), panel);
        return drawn.size() == frame.size();
    })) << "drawn " << drawn.width() << " x " << drawn.height() << ", frame " << frame.width() << " x " << frame.height();
    screen.save(QDir::current().filePath(QStringLiteral("tray-processor-graph.png")));
    // Column for column, the frame's top edge runs on screen as in the picture.
    for (int column = 0; column < frame.width(); ++column) {
        const bool inPicture = standsOut(picture.pixel(frame.left() + column, frame.top()), panel);
        EXPECT_EQ(standsOut(screen.pixel(drawn.left() + column, drawn.top()), panel), inPicture) << "column " << column;
    }

    ASSERT_TRUE(click(drawn.center(), 3));
    // The panel draws the menu from our rows under the item.
    ASSERT_TRUE(waitUntil([&] { return !isBlack(grabScreen().pixel(drawn.center().x(), XfceTray::PanelHeight + 40)); }))
        << qPrintable(vistrel.errorOutput());
    // The rows the panel was given carry the load split as the menu opened.
    const QString opened = QStringLiteral("the tray opened the menu of 'vistrel-QRNCPUMonitorItem'");
    ASSERT_TRUE(vistrel.waitForOutput(opened));
    const QString menu = vistrel.outputSince(opened);
    const std::vector<double> loads = loadPercentages(menu);
    ASSERT_EQ(loads.size(), 4u) << qPrintable(menu);
    EXPECT_NEAR(loads[0] + loads[1] + loads[2] + loads[3], 100.0, 0.5) << qPrintable(menu);

    // "Preferences..." is the last row: Up from the top selects it.
    ASSERT_TRUE(xdotool(QStringLiteral("key Up sleep 0.2 key Return")));
    EXPECT_TRUE(waitUntil([] { return windowShown(QStringLiteral("^Vistrel Configuration$")); }))
        << qPrintable(vistrel.errorOutput());
}

} // namespace
