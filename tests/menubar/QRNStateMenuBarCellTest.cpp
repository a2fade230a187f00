#include "menubar/MenuBarColor.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNStateMenuBarCell.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace PixelProbe;

namespace {

// The lamp of a 22-point cell: centred at (11, 11), its ring at radius 6.6
// (2.2 wide), its hub a disc of radius 5.5.
constexpr double Centre = 11;
constexpr double Ring = 6.6;

QPointF onRing(double degrees)
{
    const double radians = degrees * M_PI / 180;
    return {Centre + Ring * std::cos(radians), Centre + Ring * std::sin(radians)};
}

void expectNear(const QColor& actual, const QColor& expected, int tolerance = 2)
{
    EXPECT_NEAR(actual.red(), expected.red(), tolerance);
    EXPECT_NEAR(actual.green(), expected.green(), tolerance);
    EXPECT_NEAR(actual.blue(), expected.blue(), tolerance);
    EXPECT_NEAR(actual.alpha(), expected.alpha(), tolerance);
}

QRNStateMenuBarCell lamp(int style, int state, bool upDown = false)
{
    QRNStateMenuBarCell cell;
    cell.setDisplayStyle(style);
    cell.setActivityState(state);
    cell.setUsesUpDownStyle(upDown);
    return cell;
}

} // namespace

TEST(QRNStateMenuBarCell, IsAsWideAsHighAndCopiesItsStyle)
{
    QRNStateMenuBarCell cell = lamp(QRNStateMenuBarCell::Coloured, 2, true);
    cell.setWidth(40);
    EXPECT_EQ(cell.width(), 22.0);
    cell.setHeight(30);
    EXPECT_EQ(cell.width(), 30.0);
    auto copy = cell.copy();
    const auto* copied = dynamic_cast<const QRNStateMenuBarCell*>(copy.get());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->activityState(), 2);
    EXPECT_EQ(copied->displayStyle(), int(QRNStateMenuBarCell::Coloured));
    EXPECT_TRUE(copied->usesUpDownStyle());
}

class StateCellDrawing : public ::testing::TestWithParam<qreal> {
protected:
    QImage draw(QRNStateMenuBarCell cell, const QPalette& palette = lightPalette()) const
    {
        return cell.cellImage(GetParam(), palette);
    }
};

TEST_P(StateCellDrawing, AColouredLampShowsTheColourOfItsState)
{
    for (const QPalette& palette : {lightPalette(), darkPalette()}) {
        const QList<QColor> colors = {MenuBarColor(MenuBarColor::System::Label).resolved(palette),
            MenuBarColor(MenuBarColor::System::Green).resolved(palette),
            MenuBarColor(MenuBarColor::System::Red).resolved(palette)};
        for (int state = 0; state < 3; ++state) {
            SCOPED_TRACE(state);
            const QImage image = draw(lamp(QRNStateMenuBarCell::Coloured, state), palette);
            const QPointF ring = onRing(0);
            expectNear(colorAt(image, ring.x(), ring.y()), colors[state]);
            expectNear(colorAt(image, Centre, Centre), MenuBarColor::highlighted(colors[state], 0.1));
            EXPECT_EQ(alphaAt(image, 1, 1), 0);
        }
    }
    EXPECT_NE(MenuBarColor(MenuBarColor::System::Green).resolved(lightPalette()),
        MenuBarColor(MenuBarColor::System::Green).resolved(darkPalette()));
}

TEST_P(StateCellDrawing, MonochromeLampsFillByState)
{
    const QImage idle = draw(lamp(QRNStateMenuBarCell::Monochrome, 0));
    const QImage first = draw(lamp(QRNStateMenuBarCell::Monochrome, 1));
    const QImage second = draw(lamp(QRNStateMenuBarCell::Monochrome, 2));
    for (const QImage& image : {idle, first, second})
        EXPECT_EQ(colorAt(image, onRing(90).x(), onRing(90).y()), QColor(Qt::black));
    EXPECT_EQ(alphaAt(idle, Centre, Centre), 0);
    EXPECT_EQ(colorAt(first, Centre, Centre), QColor(Qt::black)) << "a small dot";
    EXPECT_EQ(alphaAt(first, Centre + 3, Centre), 0);
    EXPECT_EQ(colorAt(second, Centre + 3, Centre), QColor(Qt::black)) << "a full lamp";
}

TEST_P(StateCellDrawing, UpDownArcsShowTheDirection)
{
    const QImage down = draw(lamp(QRNStateMenuBarCell::Monochrome, 1, true));
    EXPECT_TRUE(isInked(down, onRing(270).x(), onRing(270).y()));
    EXPECT_FALSE(isInked(down, onRing(90).x(), onRing(90).y(), 1));
    const QImage up = draw(lamp(QRNStateMenuBarCell::Monochrome, 2, true));
    EXPECT_TRUE(isInked(up, onRing(90).x(), onRing(90).y()));
    EXPECT_FALSE(isInked(up, onRing(270).x(), onRing(270).y(), 1));
    const QImage idle = draw(lamp(QRNStateMenuBarCell::Monochrome, 0, true));
    EXPECT_TRUE(isInked(idle, onRing(90).x(), onRing(90).y()));
    EXPECT_TRUE(isInked(idle, onRing(270).x(), onRing(270).y()));

    // In colour, the lower half of the ring turns green over a neutral ring.
    const QImage colouredDown = draw(lamp(QRNStateMenuBarCell::Coloured, 1, true));
    expectNear(colorAt(colouredDown, onRing(270).x(), onRing(270).y()),
        MenuBarColor(MenuBarColor::System::Green).resolved(lightPalette()));
    expectNear(colorAt(colouredDown, onRing(90).x(), onRing(90).y()),
        MenuBarColor(MenuBarColor::System::Label).resolved(lightPalette()));
}

TEST_P(StateCellDrawing, SleepingDrawsAPowerSymbolOnly)
{
    for (int style : {QRNStateMenuBarCell::Monochrome, QRNStateMenuBarCell::Coloured}) {
        const QImage image = draw(lamp(style, 3));
        EXPECT_EQ(colorAt(image, onRing(0).x(), onRing(0).y()), QColor(Qt::black));
        EXPECT_EQ(colorAt(image, Centre + 0.25, Centre + 8), QColor(Qt::black)) << "the stroke above the ring";
        EXPECT_FALSE(isInked(image, onRing(80).x(), onRing(80).y())) << "the ring is open at the top";
        EXPECT_EQ(alphaAt(image, Centre - 3, Centre), 0);
    }
}

TEST_P(StateCellDrawing, UnavailableCrossesTheLampOut)
{
    const QImage image = draw(lamp(QRNStateMenuBarCell::Monochrome, 4));
    EXPECT_TRUE(isInked(image, Centre + 3, Centre + 3));
    EXPECT_TRUE(isInked(image, Centre - 3, Centre + 3));
    EXPECT_FALSE(isInked(image, Centre, Centre + 4.25, 1));
}

TEST_P(StateCellDrawing, HighlightedLampsUseTheSelectedMenuItemTextColour)
{
    QRNStateMenuBarCell cell = lamp(QRNStateMenuBarCell::Monochrome, 2);
    cell.setIsHighlighted(true);
    EXPECT_EQ(colorAt(draw(cell), Centre, Centre), lightPalette().color(QPalette::HighlightedText));
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, StateCellDrawing, ::testing::Values(1.0, 2.0));
