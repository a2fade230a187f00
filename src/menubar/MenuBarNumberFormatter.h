#pragma once

#include <QString>

// Formats numbers for cells: fixed at most a number of fraction digits
// (trailing zeros dropped), an optional multiplier and suffix (a percent
// formatter multiplies by 100 and appends "%"), and blanks in front up to a
// format width so that numbers line up on the right.
class MenuBarNumberFormatter {
public:
    MenuBarNumberFormatter(double multiplier, const QString& suffix, int formatWidth, int maximumFractionDigits);

    void setFormatWidth(int width) { m_formatWidth = width; }
    void setMaximumFractionDigits(int digits) { m_maximumFractionDigits = digits; }

    QString stringFromNumber(double value) const;

private:
    double m_multiplier;
    QString m_suffix;
    int m_formatWidth;
    int m_maximumFractionDigits;
};
