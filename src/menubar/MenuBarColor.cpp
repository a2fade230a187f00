#include "menubar/MenuBarColor.h"

namespace {

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

// The system's signal colours, in their light and dark appearance.
QColor signalColor(int lightRed, int lightGreen, int lightBlue, int darkRed, int darkGreen, int darkBlue,
    const QPalette& palette)
{
    return MenuBarColor::isDark(palette) ? QColor(darkRed, darkGreen, darkBlue) : QColor(lightRed, lightGreen, lightBlue);
}

} // namespace

QColor MenuBarColor::resolved(const QPalette& palette) const
{
    if (const auto* system = std::get_if<System>(&m_value))
        return resolved(*system, palette);
    return std::get<QColor>(m_value);
}

QColor MenuBarColor::resolved(System system, const QPalette& palette)
{
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    switch (system) {
    case System::Text: return text;
    // Labels are the text colour at decreasing opacity, as the system draws them.
    case System::Label: return withAlpha(text, 0.85);
    case System::SecondaryLabel: return withAlpha(text, 0.5);
    case System::TertiaryLabel: return withAlpha(text, 0.26);
    case System::SelectedMenuItemText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case System::TextBackground: return palette.color(QPalette::Active, QPalette::Base);
    case System::Accent: return palette.color(QPalette::Active, QPalette::Highlight);
    case System::Green: return signalColor(52, 199, 89, 48, 209, 88, palette);
    case System::Yellow: return signalColor(255, 204, 0, 255, 214, 10, palette);
    case System::Red: return signalColor(255, 59, 48, 255, 69, 58, palette);
    }
    return text;
}

QColor MenuBarColor::highlighted(const QColor& color, double level)
{
    const auto towardsWhite = [level](float component) { return float(component + (1.0 - component) * level); };
    return QColor::fromRgbF(towardsWhite(color.redF()), towardsWhite(color.greenF()), towardsWhite(color.blueF()),
        towardsWhite(color.alphaF()));
}

bool MenuBarColor::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Active, QPalette::WindowText).lightnessF()
        > palette.color(QPalette::Active, QPalette::Window).lightnessF();
}
