#include "menubar/MenuBarNumberFormatter.h"

MenuBarNumberFormatter::MenuBarNumberFormatter(double multiplier, const QString& suffix, int formatWidth,
    int maximumFractionDigits)
    : m_multiplier(multiplier)
    , m_suffix(suffix)
    , m_formatWidth(formatWidth)
    , m_maximumFractionDigits(maximumFractionDigits)
{
}

QString MenuBarNumberFormatter::stringFromNumber(double value) const
{
    QString text = QString::number(value * m_multiplier, 'f', m_maximumFractionDigits);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    text += m_suffix;
    return text.rightJustified(m_formatWidth, u' ');
}
