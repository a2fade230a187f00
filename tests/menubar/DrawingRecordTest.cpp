#include "menubar/MenuBarDrawing.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

DrawingRecord recorded(const std::function<void(MenuBarDrawing&)>& draw)
{
    DrawingRecord record;
    MenuBarDrawing drawing(record, 22, QPalette());
    draw(drawing);
    return record;
}

void sample(MenuBarDrawing& drawing, const QString& text = QStringLiteral("42%"), const QColor& color = Qt::black,
    double x = 1.5, const QFont& font = MenuBarDrawing::menuBarFont(), qreal tab = 20,
    const QPolygonF& polygon = QPolygonF({QPointF(0, 0), QPointF(3, 4), QPointF(6, 0)}))
{
    QTextOption option;
    option.setTabs({QTextOption::Tab(tab, QTextOption::RightTab)});
    drawing.drawText(text, x, 3, font, color, option);
    drawing.fillPolygon(polygon, color);
    drawing.fillEllipse(QRectF(2, 2, 10, 10), color);
    drawing.strokeRect(QRectF(0, 0, 22, 22), color, 1, {2, 1});
}

} // namespace

TEST(DrawingRecord, TheSameDrawingRecordsEquallyAndAnyArgumentThatChangesTheImageDiffers)
{
    const DrawingRecord base = recorded([](MenuBarDrawing& d) { sample(d); });
    EXPECT_FALSE(base.isEmpty());
    EXPECT_EQ(recorded([](MenuBarDrawing& d) { sample(d); }), base);

    const std::vector<std::pair<const char*, std::function<void(MenuBarDrawing&)>>> variants = {
        {"text", [](MenuBarDrawing& d) { sample(d, QStringLiteral("43%")); }},
        {"longer text", [](MenuBarDrawing& d) { sample(d, QStringLiteral("42%%")); }},
        {"colour", [](MenuBarDrawing& d) { sample(d, QStringLiteral("42%"), QColor(0, 0, 0, 254)); }},
        {"position", [](MenuBarDrawing& d) { sample(d, QStringLiteral("42%"), Qt::black, 1.5000001); }},
        {"font", [](MenuBarDrawing& d) { sample(d, QStringLiteral("42%"), Qt::black, 1.5, MenuBarDrawing::boldSystemFont(9)); }},
        {"tab stop", [](MenuBarDrawing& d) { sample(d, QStringLiteral("42%"), Qt::black, 1.5, MenuBarDrawing::menuBarFont(), 21); }},
        {"polygon point", [](MenuBarDrawing& d) {
             sample(d, QStringLiteral("42%"), Qt::black, 1.5, MenuBarDrawing::menuBarFont(), 20,
                 QPolygonF({QPointF(0, 0), QPointF(3, 4.5), QPointF(6, 0)}));
         }},
        {"one call more", [](MenuBarDrawing& d) {
             sample(d);
             d.frameRect(QRectF(0, 0, 1, 1), Qt::black);
         }},
    };
    for (const auto& [what, draw] : variants)
        EXPECT_NE(recorded(draw), base) << what;
    EXPECT_NE(recorded([](MenuBarDrawing& d) { d.strokeLine(0, 0, 1, 1, Qt::black, 1); d.strokeLine(1, 1, 0, 0, Qt::black, 1); }),
        recorded([](MenuBarDrawing& d) { d.strokeLine(1, 1, 0, 0, Qt::black, 1); d.strokeLine(0, 0, 1, 1, Qt::black, 1); }));
    EXPECT_NE(recorded([](MenuBarDrawing& d) { d.strokeRect(QRectF(0, 0, 22, 22), Qt::black, 1); }),
        recorded([](MenuBarDrawing& d) { d.strokeRect(QRectF(0, 0, 22, 22), Qt::black, 1, {2, 2}); }));
    // Wedges are recorded by their numbers, the turning sense among them.
    const auto wedge = [](double end, bool clockwise) {
        return recorded([=](MenuBarDrawing& d) { d.fillWedge(11, 11, 8, 90, end, clockwise, Qt::black); });
    };
    EXPECT_EQ(wedge(-30, true), wedge(-30, true));
    EXPECT_NE(wedge(-30, true), wedge(-30.0001, true));
    EXPECT_NE(wedge(-30, true), wedge(-30, false));

    // Refilled after clearing, a record is what the new drawing alone would be.
    DrawingRecord reused = recorded([](MenuBarDrawing& d) { sample(d, QStringLiteral("a much longer text than before")); });
    reused.clear();
    EXPECT_TRUE(reused.isEmpty());
    MenuBarDrawing drawing(reused, 22, QPalette());
    sample(drawing);
    EXPECT_EQ(reused, base);
}
