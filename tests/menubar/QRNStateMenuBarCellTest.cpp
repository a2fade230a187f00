#include "menubar/MenuBarColor.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNStateMenuBarCell.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace PixelProbe;

namespace {

// The lamp of a 22-point cell: centred at (11, 11), its ring at radius 6.6 (2.2 wide).
constexpr double Centre = 11;
constexpr double Ring = 6.6;

QPointF onRing(double degrees)
{
    const double radians = degrees * M_PI / 180;
    return {Centre + Ring * std::cos(radians), Centre + Ring * std::sin(radians)};
}

void expectNear(const QColor& actual, const QColor& expected)
{
    EXPECT_LE(std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                  std::abs(actual.blue() - expected.blue()), std::abs(actual.alpha() - expected.alpha())}),
        2) << actual.name(QColor::HexArgb).toStdString() << " vs " << expected.name(QColor::HexArgb).toStdString();
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
    QRNStateMenuBarCell highlighted = lamp(QRNStateMenuBarCell::Monochrome, 2);
    highlighted.setIsHighlighted(true);
    EXPECT_EQ(colorAt(draw(highlighted), Centre, Centre), lightPalette().color(QPalette::HighlightedText));
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatios, StateCellDrawing, ::testing::Values(1.0, 2.0));
