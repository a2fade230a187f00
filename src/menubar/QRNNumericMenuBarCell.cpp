#include "menubar/QRNNumericMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"
#include "menubar/MenuBarNumberFormatter.h"

#include <algorithm>

namespace {

MenuBarNumberFormatter& percentFormatter()
{
    static MenuBarNumberFormatter formatter(100, QStringLiteral("%"), 6, 4);
    return formatter;
}

double barChartWidthFactor = 1.0;

// Width of the percentage column: the widest text the cell shows, measured
// once per fraction-digit setting rather than on every new value.
double cachedTextWidth = -1.0;

constexpr QStringView DetailLetters = u"TBP";

} // namespace

QRNNumericMenuBarCell::QRNNumericMenuBarCell() = default;

void QRNNumericMenuBarCell::setSuppressesFractionDigits(bool suppresses)
{
    percentFormatter().setSuppressesFractionDigits(suppresses);
    cachedTextWidth = -1.0;
}

void QRNNumericMenuBarCell::setBarChartWidthScalingFactor(double factor)
{
    if (isAcceptableScalingFactor(factor))
        barChartWidthFactor = factor;
}

double QRNNumericMenuBarCell::barChartWidthScalingFactor()
{
    return barChartWidthFactor;
}

std::unique_ptr<QRNNumericMenuBarCell> QRNNumericMenuBarCell::initWithDetailStringCode(const QString& detail)
{
    const int style = styleForDetail(detail, DetailLetters);
    if (style < 0)
        return nullptr;
    auto cell = std::make_unique<QRNNumericMenuBarCell>();
    cell->setDisplayStyle(style);
    return cell;
}

QString QRNNumericMenuBarCell::stringCode() const
{
    return codeWithStyleLetter(DetailLetters, m_displayStyle);
}

void QRNNumericMenuBarCell::setDoubleValue(double value)
{
    m_doubleValue = value;
}

void QRNNumericMenuBarCell::setDisplayStyle(int style)
{
    m_displayStyle = style;
}

QString QRNNumericMenuBarCell::stringForValue(double value)
{
    return percentFormatter().stringFromNumber(value);
}

double QRNNumericMenuBarCell::width() const
{
    switch (m_displayStyle) {
    case Bar:
        return height() * 0.67 * barChartWidthFactor;
    case Pie:
        return height();
    default:
        if (cachedTextWidth < 0)
            cachedTextWidth = MenuBarDrawing::textWidth(stringForValue(99.9), MenuBarDrawing::menuBarFont());
        return cachedTextWidth;
    }
}

void QRNNumericMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    if (m_displayStyle != Bar && m_displayStyle != Pie) {
        const QString text = valueAsString();
        const QFont font = MenuBarDrawing::menuBarFont();
        const double x = frame.x() + width() - MenuBarDrawing::textWidth(text, font);
        drawing.drawText(text, x, frame.y() + 3.0, font, foregroundColor(drawing));
        return;
    }
    const double value = std::clamp(m_doubleValue, 0.0, 1.0);
    const double lineWidth = frame.height() / 15;
    if (m_displayStyle == Bar)
        drawBar(drawing, frame, value, lineWidth);
    else
        drawPie(drawing, frame, value, lineWidth);
}

QImage QRNNumericMenuBarCell::compactImage(int side, const QPalette& palette)
{
    return renderSquare(side, palette, [this](MenuBarDrawing& drawing, const QRectF& square) {
        if (m_displayStyle == Bar || m_displayStyle == Pie)
            drawWithFrame(drawing, square);
        else
            drawNumber(drawing, square);
    });
}

void QRNNumericMenuBarCell::drawNumber(MenuBarDrawing& drawing, const QRectF& square)
{
    constexpr double LargestSize = 15;
    const QString text = QString::number(qRound(std::clamp(m_doubleValue, 0.0, 1.0) * 100));
    const double room = square.width() - 1;
    QFont font = MenuBarDrawing::boldSystemFont(LargestSize);
    const double natural = MenuBarDrawing::textWidth(text, font);
    if (natural > room)
        font = MenuBarDrawing::boldSystemFont(LargestSize * room / natural);
    const QFontMetricsF metrics = MenuBarDrawing::metrics(font);
    // Digits stand on the baseline and reach the cap height: centre that band.
    const double baseline = square.y() + (square.height() - metrics.capHeight()) / 2;
    const double x = square.x() + (square.width() - MenuBarDrawing::textWidth(text, font)) / 2;
    drawing.drawText(text, x, baseline - metrics.descent(), font, foregroundColor(drawing));
}

void QRNNumericMenuBarCell::drawBar(MenuBarDrawing& drawing, const QRectF& frame, double value, double lineWidth)
{
    const double x = frame.x(), y = frame.y(), w = frame.width(), h = frame.height();
    const double radius = h / 10;
    const QColor color = foregroundColor(drawing);
    drawing.strokeRoundedRect(QRectF(x + 0.125 * w, y + 0.1 * h, 0.75 * w, 0.8 * h), radius, color, lineWidth);
    // The level grows upwards from the bar's bottom edge.
    drawing.fillRoundedRect(QRectF(x + 0.125 * w, y + 0.1 * h, 0.75 * w, value * 0.8 * h), radius, color);
}

void QRNNumericMenuBarCell::drawPie(MenuBarDrawing& drawing, const QRectF& frame, double value, double lineWidth)
{
    const double x = frame.x(), y = frame.y(), w = frame.width();
    const QColor color = foregroundColor(drawing);
    drawing.strokeEllipse(QRectF(x + 0.1 * w, y + 0.1 * w, 0.8 * w, 0.8 * w), color, lineWidth);
    // A wedge from the centre up to twelve o'clock, then clockwise.
    drawing.fillWedge(x + 0.5 * w, y + 0.5 * w, 0.4 * w, 90, 90 - 360 * value, true, color);
}
