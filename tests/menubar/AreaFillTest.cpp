#include "menubar/AreaFill.h"
#include "menubar/PixelProbe.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct Area {
    const char* name;
    QPolygonF curve;
    double base;
};

// The same area as the painter fills it: a closed polygon down to the base.
QImage paintedByQt(const QImage& background, const Area& area, const QColor& color)
{
    QImage image = background.copy();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF() << QPointF(area.curve.first().x(), area.base) << area.curve
                                    << QPointF(area.curve.last().x(), area.base));
    return image;
}

} // namespace

// Graphs are filled by the area filler and by the painter (through a clip, a
// rotation or a translucent layer); both must look alike.
TEST(AreaFill, MatchesThePaintersPolygonFillToALevelOrTwo)
{
    const Area areas[] = {
        {"a graph rising from the bottom, samples a pixel and a half apart",
            {{{2.5, 18.2}, {4.0, 9.7}, {5.5, 12.25}, {7.0, 3.1}, {8.5, 18.0}, {10.0, 15.5}, {11.5, 2.0}}}, 18.5},
        {"a graph hanging from the top, samples closer than a pixel",
            {{{3.25, 2.0}, {3.9, 6.4}, {4.55, 6.4}, {5.2, 11.9}, {5.85, 3.3}, {6.5, 9.0}, {7.15, 2.2}}}, 2.0},
        {"a curve crossing its base", {{{1.0, 5.0}, {6.0, 15.0}, {9.5, 4.5}, {14.0, 12.0}}}, 10.0},
        {"a flat run on whole pixels", {{{2.0, 6.0}, {12.0, 6.0}}}, 16.0},
        {"an idle graph: on its base, a bump, on its base again",
            {{{1.5, 17.5}, {3.5, 17.5}, {5.5, 17.5}, {7.5, 9.25}, {9.5, 17.5}, {11.5, 17.5}, {13.5, 12.0}}}, 17.5},
        {"an area reaching past the image", {{{-3.5, 4.0}, {5.0, -2.5}, {16.0, 8.0}, {24.0, 1.0}}}, 22.0},
    };
    QImage background(18, 20, QImage::Format_ARGB32_Premultiplied);
    background.fill(Qt::transparent);
    for (int x = 0; x < background.width(); x += 3)
        for (int y = 0; y < background.height(); ++y)
            background.setPixel(x, y, qPremultiply(qRgba(40, 200, 90, 120)));
    AreaFill filler;
    for (const Area& area : areas) {
        for (const QColor& color : {QColor(20, 60, 230), QColor(Qt::white)}) {
            const QImage expected = paintedByQt(background, area, color);
            QImage filled = background.copy();
            filler.fill(filled, area.curve, area.base, color.rgba());
            EXPECT_LE(PixelProbe::largestDifference(filled, expected), 2) << area.name;
            // Not just close by chance: the area leaves its mark.
            EXPECT_GT(PixelProbe::largestDifference(filled, background), 100) << area.name;
        }
    }
}
