#pragma once

#include <QColor>
#include <QPalette>

#include <variant>

// A colour as menu-bar drawings name it: either one of the system's dynamic
// colours, resolved from the palette at the moment of drawing so that light
// and dark panels both work, or a fixed colour.
class MenuBarColor {
public:
    enum class System {
        Text,
        Label,
        SecondaryLabel,
        TertiaryLabel,
        SelectedMenuItemText,
        TextBackground,
        Accent,
        Green,
        Yellow,
        Red,
    };

    MenuBarColor(System system)
        : m_value(system)
    {
    }
    MenuBarColor(const QColor& fixed)
        : m_value(fixed)
    {
    }

    QColor resolved(const QPalette& palette) const;

    bool operator==(const MenuBarColor& other) const { return m_value == other.m_value; }

    // The colour moved by the fraction towards white, alpha included, as a
    // highlighted variant of a colour is made.
    static QColor highlighted(const QColor& color, double level);
    // True when the palette shows light text on a dark background.
    static bool isDark(const QPalette& palette);

private:
    static QColor resolved(System system, const QPalette& palette);

    std::variant<System, QColor> m_value;
};
