#pragma once

#include "menubar/AttributedString.h"
#include "menubar/MenuBarColor.h"

#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QRectF>
#include <QString>

#include <optional>

// One line of text drawn into a frame: a plain string in the cell's font,
// colour and alignment, or an attributed string whose own attributes win.
class TextCell {
public:
    explicit TextCell(Qt::Alignment alignment = Qt::AlignLeft);

    QFont font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }

    MenuBarColor textColor() const { return m_textColor; }
    void setTextColor(const MenuBarColor& color) { m_textColor = color; }

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    // The text shown, without attributes.
    QString stringValue() const;
    void setStringValue(const QString& string);

    // Set only while the cell shows an attributed string.
    const std::optional<AttributedString>& attributedStringValue() const { return m_attributedString; }
    void setAttributedStringValue(const AttributedString& string);

    // Width of the text in the font it is drawn in.
    double textWidth() const;

    // Draws the text inside frame, vertically centred and clipped to it.
    void drawInteriorWithFrame(QPainter& painter, const QRectF& frame, const QPalette& palette) const;

private:
    QFont drawingFont() const;

    QFont m_font;
    MenuBarColor m_textColor;
    Qt::Alignment m_alignment;
    QString m_string;
    std::optional<AttributedString> m_attributedString;
};
