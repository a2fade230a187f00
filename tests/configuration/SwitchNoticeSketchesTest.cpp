#include "configuration/SwitchNoticeSketches.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

int highlightedPixels(const QImage& image, const QRect& area, QRgb highlight)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == highlight;
    return count;
}

TEST(SwitchNoticeSketches, TheFullInterfaceShowsAWindowAndTheMenuBarOnlyPictureLitItems)
{
    const QPalette palette = QApplication::palette();
    const QRgb highlight = palette.color(QPalette::Highlight).rgb();
    const QImage full = SwitchNoticeSketches::image(QStringLiteral("SwitchFullGUI"), palette).toImage();
    const QImage menuBar = SwitchNoticeSketches::image(QStringLiteral("SwitchMenuBar"), palette).toImage();
    ASSERT_EQ(full.size(), QSize(SwitchNoticeSketches::Width, SwitchNoticeSketches::Height));
    ASSERT_EQ(menuBar.size(), full.size());

    const QRect middle(20, 16, 56, 34);
    const QRect bar(0, 0, SwitchNoticeSketches::Width, 10);
    EXPECT_GT(highlightedPixels(full, middle, highlight), 50);
    EXPECT_EQ(highlightedPixels(menuBar, middle, highlight), 0);
    EXPECT_GT(highlightedPixels(menuBar, bar, highlight), 20);
    EXPECT_EQ(highlightedPixels(full, bar, highlight), 0);

    EXPECT_TRUE(SwitchNoticeSketches::image(QStringLiteral("SwitchSomewhere"), palette).isNull());
}

} // namespace
