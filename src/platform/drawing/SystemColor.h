#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

// A colour as the desktop names it ("label", "accent", ...), looked up in the
// palette only when something is drawn, so that views follow a change between
// light and dark themes without being told. A fixed colour stays as given.
class SystemColor {
public:
    // A fixed colour.
    SystemColor(const QColor& color);

    // Body text.
    static SystemColor textColor();
    // Labels, the primary text of menus and panels.
    static SystemColor labelColor();
    // The user's accent colour (the selection colour of the desktop theme).
    static SystemColor controlAccentColor();
    // The background behind editable text and lists.
    static SystemColor textBackgroundColor();

    // The same colour with its alpha multiplied by alpha (0 to 1).
    SystemColor withAlphaComponent(qreal alpha) const;

    QColor resolvedWith(const QPalette& palette) const;

    friend bool operator==(const SystemColor&, const SystemColor&) = default;

private:
    explicit SystemColor(QPalette::ColorRole role);

    std::optional<QPalette::ColorRole> m_role;
    QColor m_color;
    qreal m_alpha = 1.0;
};
