#pragma once

#include "menubar/ConcreteMenuBarCell.h"

#include <QFont>

// A temperature in the class-wide unit, right-aligned, or a thermal-state
// symbol; a diagonal cross over the cell while there is no data.
class QRNTemperatureMenuBarCell : public ConcreteMenuBarCell<QRNTemperatureMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNTemperatureMenuBarCell";

    // The smallest normal double: the centigrade value that means "no value".
    static constexpr double NoValue = 2.2250738585072014e-308;

    QRNTemperatureMenuBarCell();

    // Numbers without fraction digits (width 3) or with at most one (width 5).
    static void setSuppressesFractionDigits(bool suppresses);
    // 1 and 4 Fahrenheit, 2 Kelvin, anything else Celsius.
    static void setTemperatureUnit(int unit);
    static int temperatureUnit();
    // Thermal states 1 fair, 2 serious, 3 critical to 75, 100, 125; anything else 25.
    static double pseudoCentigradeValueForThermalState(int thermalState);
    static QString stringForPresentingPseudoCentigradeValue(double value);

    // Any detail is accepted.
    static std::unique_ptr<QRNTemperatureMenuBarCell> initWithDetailStringCode(const QString& detail);

    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;

    double centigradeValue() const { return m_centigradeValue; }
    void setCentigradeValue(double value);
    bool shouldShowThermalState() const { return m_shouldShowThermalState; }
    void setShouldShowThermalState(bool show);
    bool isInNoDataMode() const { return m_isInNoDataMode; }
    void setIsInNoDataMode(bool noData) { m_isInNoDataMode = noData; }

    static QString stringForPresentedValue(double value, QChar unit);
    QString stringForValue(double centigrade) const;
    QString valueAsString() const { return stringForValue(m_centigradeValue); }
    QFont fontForCurrentMode() const;
    void recomputeWidth();

private:
    double m_centigradeValue = 0;
    bool m_shouldShowThermalState = false;
    bool m_isInNoDataMode = false;
};
