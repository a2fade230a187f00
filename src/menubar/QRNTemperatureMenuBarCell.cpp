#include "menubar/QRNTemperatureMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"
#include "menubar/MenuBarNumberFormatter.h"

namespace {

MenuBarNumberFormatter& decimalFormatter()
{
    static MenuBarNumberFormatter formatter(1, QString(), 5, 3);
    return formatter;
}

int unit = 0;

constexpr char16_t DegreeCelsius = u'\u2103';
constexpr char16_t DegreeFahrenheit = u'\u2109';

} // namespace

QRNTemperatureMenuBarCell::QRNTemperatureMenuBarCell()
{
    recomputeWidth();
}

void QRNTemperatureMenuBarCell::setSuppressesFractionDigits(bool suppresses)
{
    decimalFormatter().setSuppressesFractionDigits(suppresses);
}

void QRNTemperatureMenuBarCell::setTemperatureUnit(int temperatureUnit)
{
    unit = temperatureUnit;
}

int QRNTemperatureMenuBarCell::temperatureUnit()
{
    return unit;
}

double QRNTemperatureMenuBarCell::pseudoCentigradeValueForThermalState(int thermalState)
{
    switch (thermalState) {
    case 1: return 75.0;
    case 2: return 100.0;
    case 3: return 125.0;
    default: return 25.0;
    }
}

QString QRNTemperatureMenuBarCell::stringForPresentingPseudoCentigradeValue(double value)
{
    if (value <= 25)
        return QString(QChar(u'\u263A'));
    if (value <= 75)
        return QString(QChar(u'\u2191'));
    if (value <= 100)
        return QString(QChar(u'\u2668'));
    return QString(QChar(u'\u26A0'));
}

std::unique_ptr<QRNTemperatureMenuBarCell> QRNTemperatureMenuBarCell::initWithDetailStringCode(const QString&)
{
    return std::make_unique<QRNTemperatureMenuBarCell>();
}

QString QRNTemperatureMenuBarCell::stringCode() const
{
    return codeWithDetail(QStringLiteral("N"));
}

void QRNTemperatureMenuBarCell::setCentigradeValue(double value)
{
    m_centigradeValue = value;
    recomputeWidth();
}

void QRNTemperatureMenuBarCell::setShouldShowThermalState(bool show)
{
    m_shouldShowThermalState = show;
    recomputeWidth();
}

QString QRNTemperatureMenuBarCell::stringForPresentedValue(double value, QChar unit)
{
    return decimalFormatter().stringFromNumber(value) + unit;
}

QString QRNTemperatureMenuBarCell::stringForValue(double centigrade) const
{
    if (centigrade == NoValue)
        return QStringLiteral("---");
    if (m_shouldShowThermalState)
        return stringForPresentingPseudoCentigradeValue(centigrade);
    switch (unit) {
    case 1:
    case 4: return stringForPresentedValue(centigrade * 9 / 5 + 32, QChar(DegreeFahrenheit));
    case 2: return stringForPresentedValue(centigrade + 273.15, QChar(u'K'));
    default: return stringForPresentedValue(centigrade, QChar(DegreeCelsius));
    }
}

QFont QRNTemperatureMenuBarCell::fontForCurrentMode() const
{
    return m_shouldShowThermalState ? MenuBarDrawing::menuBarFont(20) : MenuBarDrawing::menuBarFont();
}

void QRNTemperatureMenuBarCell::recomputeWidth()
{
    const QString widest = m_shouldShowThermalState ? QStringLiteral("W") : stringForPresentedValue(888.8, QChar(u'W'));
    setWidth(MenuBarDrawing::textWidth(widest, fontForCurrentMode()));
}

void QRNTemperatureMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    const QString text = valueAsString();
    const QFont font = fontForCurrentMode();
    const QColor color = foregroundColor(drawing);
    const double x = frame.x() + width() - MenuBarDrawing::textWidth(text, font);
    drawing.drawText(text, x, frame.y() + (m_shouldShowThermalState ? -3.0 : 3.0), font, color);
    if (m_isInNoDataMode)
        strokeDiagonals(drawing, frame, color);
}
