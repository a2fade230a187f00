#pragma once

#include "menubar/ConcreteMenuBarCell.h"

// A fraction (1.0 = 100 %) shown as a right-aligned percentage ("T"), a
// vertical level bar ("B") or a pie that grows clockwise from twelve o'clock ("P").
class QRNNumericMenuBarCell : public ConcreteMenuBarCell<QRNNumericMenuBarCell> {
public:
    static constexpr char ClassName[] = "QRNNumericMenuBarCell";

    enum DisplayStyle { Text = 0, Bar = 1, Pie = 2 };

    QRNNumericMenuBarCell();

    // Percentages without fraction digits (width 4) or with at most one (width 6).
    static void setSuppressesFractionDigits(bool suppresses);
    // Taken only within [0.5, 2]; 1 at start.
    static void setBarChartWidthScalingFactor(double factor);
    static double barChartWidthScalingFactor();

    static std::unique_ptr<QRNNumericMenuBarCell> initWithDetailStringCode(const QString& detail);

    void drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame) override;
    QString stringCode() const override;
    // A pie or a level bar fills the square; a percentage becomes a bold
    // number without its sign, as large as fits.
    QImage compactImage(int side, const QPalette& palette) override;
    // Follows the style and the class-wide settings, never the value.
    double width() const override;

    double doubleValue() const { return m_doubleValue; }
    void setDoubleValue(double value);
    int displayStyle() const { return m_displayStyle; }
    void setDisplayStyle(int style);

    static QString stringForValue(double value);
    QString valueAsString() const { return stringForValue(m_doubleValue); }

private:
    void drawBar(MenuBarDrawing& drawing, const QRectF& frame, double value, double lineWidth);
    void drawPie(MenuBarDrawing& drawing, const QRectF& frame, double value, double lineWidth);
    void drawNumber(MenuBarDrawing& drawing, const QRectF& square);

    double m_doubleValue = 0;
    int m_displayStyle = Text;
};
