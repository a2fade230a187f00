#include "menubar/TextCell.h"

#include <QApplication>
#include <QFontMetricsF>

TextCell::TextCell(Qt::Alignment alignment)
    : m_font(QApplication::font("QMenu"))
    , m_textColor(MenuBarColor::System::Text)
    , m_alignment(alignment)
{
}

QString TextCell::stringValue() const
{
    return m_attributedString ? m_attributedString->string : m_string;
}

void TextCell::setStringValue(const QString& string)
{
    m_string = string;
    m_attributedString.reset();
}

void TextCell::setAttributedStringValue(const AttributedString& string)
{
    m_string.clear();
    m_attributedString = string;
}

QFont TextCell::drawingFont() const
{
    if (!m_attributedString)
        return m_font;
    QFont font = m_attributedString->font.value_or(m_font);
    if (m_attributedString->strikethroughStyle == AttributedString::UnderlineStyle::Single)
        font.setStrikeOut(true);
    return font;
}

double TextCell::textWidth() const
{
    return QFontMetricsF(drawingFont()).horizontalAdvance(stringValue());
}

void TextCell::drawInteriorWithFrame(QPainter& painter, const QRectF& frame, const QPalette& palette) const
{
    const QString string = stringValue();
    if (string.isEmpty())
        return;
    MenuBarColor color = m_textColor;
    int flags = int(m_alignment) | Qt::AlignVCenter | Qt::TextSingleLine;
    if (m_attributedString) {
        color = m_attributedString->foregroundColor.value_or(m_textColor);
        if (const auto& style = m_attributedString->paragraphStyle) {
            flags = int(style->alignment) | Qt::AlignVCenter;
            flags |= style->lineBreakMode == AttributedString::LineBreakMode::WordWrapping
                ? Qt::TextWordWrap : Qt::TextSingleLine;
        }
    }
    painter.save();
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.setFont(drawingFont());
    painter.setPen(color.resolved(palette));
    painter.drawText(frame, flags, string);
    painter.restore();
}
