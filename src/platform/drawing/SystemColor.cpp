#include "platform/drawing/SystemColor.h"

SystemColor::SystemColor(const QColor& color)
    : m_color(color)
{
}

SystemColor::SystemColor(QPalette::ColorRole role)
    : m_role(role)
{
}

SystemColor SystemColor::textColor()
{
    return SystemColor(QPalette::Text);
}

SystemColor SystemColor::labelColor()
{
    return SystemColor(QPalette::WindowText);
}

SystemColor SystemColor::controlAccentColor()
{
    return SystemColor(QPalette::Highlight);
}

SystemColor SystemColor::textBackgroundColor()
{
    return SystemColor(QPalette::Base);
}

SystemColor SystemColor::withAlphaComponent(qreal alpha) const
{
    SystemColor color = *this;
    color.m_alpha *= alpha;
    return color;
}

QColor SystemColor::resolvedWith(const QPalette& palette) const
{
    QColor color = m_role ? palette.color(*m_role) : m_color;
    color.setAlphaF(color.alphaF() * m_alpha);
    return color;
}
