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
    const QFont font = drawingFont();
    MenuBarColor color = m_textColor;
    Qt::Alignment alignment = m_alignment;
    bool wraps = false;
    if (m_attributedString) {
        color = m_attributedString->foregroundColor.value_or(m_textColor);
        if (const auto& style = m_attributedString->paragraphStyle) {
            alignment = style->alignment;
            wraps = style->lineBreakMode == AttributedString::LineBreakMode::WordWrapping;
        }
    }
    // The first line sits where a single line would, centred in the frame;
    // wrapped lines continue below it as far as the frame shows them.
    const double lineHeight = QFontMetricsF(font).height();
    const QRectF textFrame(frame.left(), frame.center().y() - lineHeight / 2, frame.width(), frame.height());
    const int flags = int(alignment) | Qt::AlignTop | (wraps ? Qt::TextWordWrap : Qt::TextSingleLine);

    painter.save();
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(color.resolved(palette));
    painter.drawText(textFrame, flags, string);
    painter.restore();
}
