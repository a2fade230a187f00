#pragma once

#include "menubar/MenuBarColor.h"

#include <QFont>
#include <QString>

#include <optional>

// A text with attributes that override those of whatever draws it. Attributes
// left empty fall back to the drawer's own.
struct AttributedString {
    enum class LineBreakMode { Clipping, WordWrapping };
    enum class UnderlineStyle { None, Single };

    struct ParagraphStyle {
        LineBreakMode lineBreakMode = LineBreakMode::Clipping;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    QString string;
    std::optional<ParagraphStyle> paragraphStyle;
    std::optional<UnderlineStyle> strikethroughStyle;
    std::optional<MenuBarColor> foregroundColor;
    std::optional<QFont> font;
};
