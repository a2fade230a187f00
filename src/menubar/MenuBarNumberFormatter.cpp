#include "menubar/MenuBarNumberFormatter.h"

MenuBarNumberFormatter::MenuBarNumberFormatter(double multiplier, const QString& suffix, int formatWidth,
    int formatWidthWithoutFraction)
    : m_multiplier(multiplier)
    , m_suffix(suffix)
    , m_formatWidth(formatWidth)
    , m_formatWidthWithoutFraction(formatWidthWithoutFraction)
{
}

QString MenuBarNumberFormatter::stringFromNumber(double value) const
{
    QString text = QString::number(value * m_multiplier, 'f', m_suppressesFractionDigits ? 0 : 1);
    if (text.endsWith(u".0"))
        text.chop(2);
    text += m_suffix;
    return text.rightJustified(m_suppressesFractionDigits ? m_formatWidthWithoutFraction : m_formatWidth, u' ');
}
