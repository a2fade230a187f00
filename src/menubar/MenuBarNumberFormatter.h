#pragma once

#include <QString>

// Formats numbers for cells: at most one fraction digit, or none while
// fraction digits are suppressed (trailing zeros dropped), an optional
// multiplier and suffix (a percent formatter multiplies by 100 and appends
// "%"), and blanks in front up to a format width, so that numbers line up on
// the right. Each of the two modes has its own width.
class MenuBarNumberFormatter {
public:
    MenuBarNumberFormatter(double multiplier, const QString& suffix, int formatWidth, int formatWidthWithoutFraction);

    void setSuppressesFractionDigits(bool suppresses) { m_suppressesFractionDigits = suppresses; }

    QString stringFromNumber(double value) const;

private:
    double m_multiplier;
    QString m_suffix;
    int m_formatWidth;
    int m_formatWidthWithoutFraction;
    bool m_suppressesFractionDigits = false;
};
