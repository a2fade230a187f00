#include "support/PaddedNumberFormat.h"

#include <QLocale>

#include <cmath>

QString PaddedNumberFormat::percentage(double fraction, int width)
{
    const QLocale locale;
    const double percent = std::round(fraction * 1000.0) / 10.0;
    const bool whole = std::fmod(std::abs(percent), 1.0) == 0.0;
    QString text = locale.toString(percent, 'f', whole ? 0 : 1) + locale.percent();
    return text.rightJustified(width, u' ');
}

QString PaddedNumberFormat::count(quint64 count, int width)
{
    return QLocale().toString(count).rightJustified(width, u' ');
}
