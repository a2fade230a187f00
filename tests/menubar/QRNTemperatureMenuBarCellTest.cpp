#include "menubar/MenuBarDrawing.h"
#include "menubar/PixelProbe.h"
#include "menubar/QRNTemperatureMenuBarCell.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(shown(47.5), QString(" 47.5") + QChar(0x2103));
    QRNTemperatureMenuBarCell::setTemperatureUnit(1);
    EXPECT_EQ(shown(100), QString("  212") + QChar(0x2109));
    QRNTemperatureMenuBarCell::setTemperatureUnit(4);
    EXPECT_EQ(shown(0), QString("   32") + QChar(0x2109));
    QRNTemperatureMenuBarCell::setTemperatureUnit(2);
    EXPECT_EQ(shown(26.85), "  300K");
    QRNTemperatureMenuBarCell::setTemperatureUnit(7);
    EXPECT_EQ(shown(-5), QString("   -5") + QChar(0x2103));

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
    EXPECT_EQ(QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(2), 100.0);
    EXPECT_EQ(QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(25.1), QString(QChar(0x2191)));
    EXPECT_EQ(QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(100.5), QString(QChar(0x26A0)));
}

TEST_F(TemperatureCellSettings, WidthHoldsTheWidestSampleOfTheMode)
{
    QRNTemperatureMenuBarCell cell;
    const double numbers = cell.width();
    EXPECT_NEAR(numbers, MenuBarDrawing::textWidth("888.8W", MenuBarDrawing::menuBarFont()), 1e-9);
    cell.setCentigradeValue(5);
    EXPECT_EQ(cell.width(), numbers);
    cell.setShouldShowThermalState(true);
    EXPECT_NEAR(cell.width(), MenuBarDrawing::textWidth("W", MenuBarDrawing::menuBarFont(20)), 1e-9);
}

TEST_F(TemperatureCellSettings, NoDataCrossesTheCellOut)
{
    QRNTemperatureMenuBarCell cell;
    cell.setCentigradeValue(QRNTemperatureMenuBarCell::NoValue);
    for (qreal ratio : {1.0, 2.0}) {
        cell.setIsInNoDataMode(false);
        const QImage plain = cell.cellImage(ratio, PixelProbe::lightPalette());
        EXPECT_EQ(PixelProbe::inkedFraction(plain, QRectF(0, 0, 2, 22), 1), 0.0);
        cell.setIsInNoDataMode(true);
        const QImage crossed = cell.cellImage(ratio, PixelProbe::lightPalette());
        EXPECT_GT(PixelProbe::inkedFraction(crossed, QRectF(0, 0, 2, 22), 1), 0.0);
        EXPECT_GT(PixelProbe::inkedFraction(crossed, QRectF(0, 0, 22, 22)), PixelProbe::inkedFraction(plain, QRectF(0, 0, 22, 22)));
    }
}
