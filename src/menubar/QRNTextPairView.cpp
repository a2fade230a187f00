#include "menubar/QRNTextPairView.h"

#include <QPainter>

namespace {

// Room kept between the label and the value at the optimum width.
constexpr double MinimumGap = 10.0;

} // namespace

QRNTextPairView::QRNTextPairView(const QRect& frame, QWidget* parent)
    : QWidget(parent)
{
    setGeometry(frame);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    textDidChange();
}

void QRNTextPairView::setFont(const QFont& font)
{
    // The widget's own font tells readers of the menu how the row looks (bold: a heading).
    QWidget::setFont(font);
    m_leftTextCell.setFont(font);
    m_rightTextCell.setFont(font);
    update();
}

void QRNTextPairView::setLeftStringValue(const QString& string)
{
    setStringValue(m_leftTextCell, string, false, true);
}

void QRNTextPairView::setRightStringValue(const QString& string)
{
    setStringValue(m_rightTextCell, string, false, false);
}

void QRNTextPairView::setLeftStringValue(const QString& string, bool strikeThrough)
{
    setStringValue(m_leftTextCell, string, strikeThrough, true);
}

void QRNTextPairView::setRightStringValue(const QString& string, bool strikeThrough)
{
    setStringValue(m_rightTextCell, string, strikeThrough, false);
}

void QRNTextPairView::setStringValue(TextCell& cell, const QString& string, bool strikeThrough, bool leftSide)
{
    const std::optional<AttributedString> struck = strikeThrough
        ? strikeThroughStringForString(string, leftSide) : std::nullopt;
    if (struck)
        cell.setAttributedStringValue(*struck);
    else
        cell.setStringValue(string);
    textDidChange();
}

void QRNTextPairView::setLeftColor(const MenuBarColor& color)
{
    m_leftTextCell.setTextColor(color);
    update();
}

void QRNTextPairView::setRightColor(const MenuBarColor& color)
{
    m_rightTextCell.setTextColor(color);
    update();
}

std::optional<AttributedString> QRNTextPairView::strikeThroughStringForString(const QString& string, bool leftSide) const
{
    if (string.isNull())
        return std::nullopt;
    const TextCell& cell = leftSide ? m_leftTextCell : m_rightTextCell;
    AttributedString struck;
    struck.string = string;
    struck.paragraphStyle = AttributedString::ParagraphStyle{
        AttributedString::LineBreakMode::WordWrapping, leftSide ? Qt::AlignLeft : Qt::AlignRight};
    struck.strikethroughStyle = AttributedString::UnderlineStyle::Single;
    struck.foregroundColor = cell.textColor();
    struck.font = cell.font();
    return struck;
}

double QRNTextPairView::optimumWidth() const
{
    return 2 * m_horizontalOffsets + MinimumGap + m_leftTextCell.textWidth() + m_rightTextCell.textWidth();
}

void QRNTextPairView::setLeftTextCell(const TextCell& cell)
{
    m_leftTextCell = cell;
    textDidChange();
}

void QRNTextPairView::setRightTextCell(const TextCell& cell)
{
    m_rightTextCell = cell;
    textDidChange();
}

QSize QRNTextPairView::sizeHint() const
{
    // Like a view in a menu, the row asks for the frame it has; the menu
    // stretches it to its own width.
    return size();
}

void QRNTextPairView::textDidChange()
{
    setAccessibleName(m_leftTextCell.stringValue() + u'\t' + m_rightTextCell.stringValue());
    update();
}

void QRNTextPairView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF frame = QRectF(rect()).adjusted(m_horizontalOffsets, 0, -m_horizontalOffsets, 0);
    m_leftTextCell.drawInteriorWithFrame(painter, frame, palette());
    m_rightTextCell.drawInteriorWithFrame(painter, frame, palette());
}
