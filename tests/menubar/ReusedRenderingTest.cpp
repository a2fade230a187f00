#include "menubar/PixelProbe.h"
#include "menubar/QRNMenuBarItemImage.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"
#include "platform/statusbar/OffscreenStatusBar.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

// Item images are drawn over in place and text cells keep what they
// computed; neither may show through where a caller holds an older result.

TEST(ReusedRendering, AnImageStillHeldIsNeverDrawnOverAndBuffersNobodyHoldsAreReused)
{
    OffscreenStatusBar bar(1280, 2.0);
    std::unique_ptr<StatusItem> item = bar.statusItemWithLength(StatusItem::VariableLength);
    QRNMenuBarItemImage image(QSizeF(0, 22));
    image.setAssociatedView(item.get());
    auto cell = std::make_unique<QRNNumericMenuBarCell>();
    cell->setDisplayStyle(QRNNumericMenuBarCell::Bar);
    cell->setDoubleValue(1.0);
    QRNNumericMenuBarCell& level = *cell;
    image.addMenuBarCell(std::move(cell));

    QImage held = item->image();
    const QImage full = held.copy();
    // The serial number of an image's pixel buffer, which a new buffer does not share.
    const auto buffer = [](const QImage& shown) { return shown.cacheKey() >> 32; };
    std::vector<qint64> buffers;
    for (int refresh = 0; refresh < 8; ++refresh) {
        if (refresh == 3)
            held = QImage();
        const bool isFull = refresh % 2 == 1;
        level.setDoubleValue(isFull ? 1.0 : 0.0);
        image.refreshCells();
        const QImage shown = item->image();
        EXPECT_EQ(shown == full, isFull) << "refresh " << refresh << " shows the latest value";
        if (!held.isNull()) {
            EXPECT_EQ(held, full) << "refresh " << refresh << " drew into the image a caller holds";
        }
        buffers.push_back(buffer(shown));
    }
    EXPECT_EQ(buffers[4], buffers[6]) << "released, the buffers are drawn in turn";
    EXPECT_EQ(buffers[5], buffers[7]);
    EXPECT_NE(buffers[6], buffers[7]);
}

TEST(ReusedRendering, TabStopsFollowReplacedOptionsAndANewFont)
{
    QRNTextMenuBarCell cell;
    cell.setTextStyle(QRNTextMenuBarCell::TwoLines);
    cell.setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
    const QList<QTextOption::Tab> tabs = cell.outputStyle().tabs();
    ASSERT_EQ(tabs.size(), 3);
    cell.setOutputStyle(QTextOption());
    cell.setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
    EXPECT_EQ(cell.outputStyle().tabs(), tabs) << "the same patterns set again after the options were replaced";
    cell.setHeight(cell.height() * 2);
    cell.setTabStopsForLabelMaximumString(QStringLiteral("W:"), QStringLiteral(" 999.9"));
    ASSERT_EQ(cell.outputStyle().tabs().size(), 3);
    EXPECT_GT(cell.outputStyle().tabs()[1].position, tabs[1].position * 1.5) << "a larger font moves the stops";
}
