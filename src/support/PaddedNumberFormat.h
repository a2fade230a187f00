#pragma once

#include <QString>

// Numbers for menu rows, padded on the left with blanks to a minimum width so
// that columns of values line up: a percentage with at most one fraction
// digit (0.125 gives "12.5%", 0.25 gives " 25%") and a grouped count
// (512 gives "  512", 1234 gives "1,234"), in the user's locale.
struct PaddedNumberFormat {
    static QString percentage(double fraction, int width = 4);
    static QString count(quint64 count, int width = 5);
};
