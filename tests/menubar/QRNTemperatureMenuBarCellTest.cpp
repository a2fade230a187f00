#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNTemperatureMenuBarCell.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

class TemperatureCellSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        QRNTemperatureMenuBarCell::setTemperatureUnit(0);
        QRNTemperatureMenuBarCell::setSuppressesFractionDigits(false);
    }
    static QString shown(double centigrade, bool thermalState = false)
    {
        QRNTemperatureMenuBarCell cell;
        cell.setShouldShowThermalState(thermalState);
        cell.setCentigradeValue(centigrade);
        return cell.valueAsString();
    }
};

} // namespace

TEST_F(TemperatureCellSettings, FormatsInTheClassWideUnit)
{
    const QString celsius(QChar(0x2103)), fahrenheit(QChar(0x2109));
    const std::vector<std::tuple<int, double, QString>> cases = {{0, 47.5, " 47.5" + celsius},
        {1, 100, "  212" + fahrenheit}, {4, 0, "   32" + fahrenheit}, {2, 26.85, "  300K"}, {7, -5, "   -5" + celsius}};
    for (const auto& [unit, centigrade, text] : cases) {
        QRNTemperatureMenuBarCell::setTemperatureUnit(unit);
        EXPECT_EQ(shown(centigrade), text) << unit;
    }
    QRNTemperatureMenuBarCell::setTemperatureUnit(0);
    QRNTemperatureMenuBarCell::setSuppressesFractionDigits(true);
    EXPECT_EQ(shown(47.4), QString(" 47") + QChar(0x2103));
}

TEST_F(TemperatureCellSettings, NoValueAndThermalStates)
{
    EXPECT_EQ(shown(QRNTemperatureMenuBarCell::NoValue), "---");
    EXPECT_EQ(shown(QRNTemperatureMenuBarCell::NoValue, true), "---");
    const QList<std::pair<int, char16_t>> states = {{0, 0x263A}, {1, 0x2191}, {2, 0x2668}, {3, 0x26A0}, {9, 0x263A}};
    for (const auto& [state, symbol] : states) {
        const double pseudo = QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(state);
        EXPECT_EQ(shown(pseudo, true), QString(QChar(symbol))) << state;
    }
    EXPECT_EQ(QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(25.1), QString(QChar(0x2191)));
    EXPECT_EQ(QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(100.5), QString(QChar(0x26A0)));
}

TEST_F(TemperatureCellSettings, NoDataCrossesTheCellOut)
{
    QRNTemperatureMenuBarCell cell;
    cell.setCentigradeValue(QRNTemperatureMenuBarCell::NoValue);
    for (qreal ratio : {1.0, 2.0}) {
        cell.setIsInNoDataMode(false);
        const QImage plain = cell.cellImage(ratio, lightPalette());
        EXPECT_EQ(inkedFraction(plain, QRectF(0, 0, 2, 22), 1), 0.0);
        cell.setIsInNoDataMode(true);
        const QImage crossed = cell.cellImage(ratio, lightPalette());
        EXPECT_GT(inkedFraction(crossed, QRectF(0, 0, 2, 22), 1), 0.0);
        EXPECT_GT(inkedFraction(crossed, QRectF(0, 0, 22, 22)), inkedFraction(plain, QRectF(0, 0, 22, 22)));
    }
}
