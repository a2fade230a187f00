#include "menubar/QRNTextMenuBarCell.h"

#include "menubar/MenuBarDrawing.h"

namespace {
constexpr QStringView DetailLetters = u"N2V";
} // namespace

QRNTextMenuBarCell::QRNTextMenuBarCell()
{
    recomputeWidth();
}

std::unique_ptr<QRNTextMenuBarCell> QRNTextMenuBarCell::initWithDetailStringCode(const QString& detail)
{
    const int style = styleForDetail(detail, DetailLetters);
    if (style < 0)
        return nullptr;
    auto cell = std::make_unique<QRNTextMenuBarCell>();
    cell->setTextStyle(style);
    return cell;
}

QString QRNTextMenuBarCell::stringCode() const
{
    return codeWithStyleLetter(DetailLetters, m_textStyle);
}

void QRNTextMenuBarCell::setStringValue(const QString& value)
{
    if (value == m_stringValue)
        return;
    m_stringValue = value;
    recomputeWidth();
}

void QRNTextMenuBarCell::setSecondaryStringValue(const QString& value)
{
    if (value == m_secondaryStringValue)
        return;
    m_secondaryStringValue = value;
    recomputeWidth();
}

void QRNTextMenuBarCell::setTextStyle(int style)
{
    m_textStyle = style;
    recomputeWidth();
}

void QRNTextMenuBarCell::setFixedWidth(double width)
{
    m_fixedWidth = width;
    recomputeWidth();
}

double QRNTextMenuBarCell::fontSize() const
{
    switch (m_textStyle) {
    case TwoLines: return (height() - 8) * 0.5 + 1;
    case Vertical: return (height() - 2) / 3;
    default: return height() - 8;
    }
}

QFont QRNTextMenuBarCell::font() const
{
    if (m_textStyle == TwoLines || m_textStyle == Vertical)
        return MenuBarDrawing::boldSystemFont(fontSize());
    return MenuBarDrawing::menuBarFont(fontSize());
}

void QRNTextMenuBarCell::recomputeWidth()
{
    if (m_fixedWidth != 0) {
        setWidth(m_fixedWidth);
        return;
    }
    const QFont font = this->font();
    double textWidth = 0;
    if (m_textStyle == TwoLines) {
        textWidth = std::max(MenuBarDrawing::textWidth(m_stringValue, font, m_outputStyle),
            MenuBarDrawing::textWidth(m_secondaryStringValue, font, m_outputStyle));
    } else if (m_textStyle == Vertical) {
        textWidth = MenuBarDrawing::textWidth(QStringLiteral("W"), font, m_outputStyle);
    } else {
        textWidth = MenuBarDrawing::textWidth(m_stringValue, font, m_outputStyle);
    }
    setWidth(textWidth + 4);
}

void QRNTextMenuBarCell::setFixedWidthBasedOnMaximumString(const QString& text)
{
    if (text.isEmpty())
        return;
    const QString measured = m_textStyle == Vertical ? QStringLiteral("W") : text;
    setFixedWidth(MenuBarDrawing::textWidth(measured, font(), m_outputStyle) + 4);
}

void QRNTextMenuBarCell::setTabStopsForLabelMaximumString(const QString& labelPattern, const QString& numberPattern)
{
    Q_ASSERT_X(!labelPattern.isEmpty(), "setTabStopsForLabelMaximumString", "label pattern must not be empty");
    Q_ASSERT_X(!numberPattern.isEmpty(), "setTabStopsForLabelMaximumString", "number pattern must not be empty");
    const QFont font = this->font();
    if (font == m_tabStopsFont && labelPattern == m_tabStopsLabelPattern && numberPattern == m_tabStopsNumberPattern)
        return;
    const double label = MenuBarDrawing::textWidth(labelPattern, font);
    const double number = MenuBarDrawing::textWidth(numberPattern, font);
    const double space = MenuBarDrawing::textWidth(QStringLiteral(" "), font) / 2;
    QTextOption style = m_outputStyle;
    style.setTabs({QTextOption::Tab(label, QTextOption::RightTab), QTextOption::Tab(label + number, QTextOption::RightTab),
        QTextOption::Tab(label + number + space, QTextOption::LeftTab)});
    m_outputStyle = style;
    m_tabStopsLabelPattern = labelPattern;
    m_tabStopsNumberPattern = numberPattern;
    m_tabStopsFont = font;
}

void QRNTextMenuBarCell::drawWithFrame(MenuBarDrawing& drawing, const QRectF& frame)
{
    const QFont font = this->font();
    const QColor color = foregroundColor(drawing);
    const double x = frame.x() + 2;
    if (m_textStyle == TwoLines) {
        m_drawnText.resize(0);
        m_drawnText.append(m_stringValue).append(u'\n').append(m_secondaryStringValue);
        drawing.drawText(m_drawnText, x, frame.y() + 1, font, color, m_outputStyle);
    } else if (m_textStyle == Vertical) {
        // The first character at the top; characters beyond the third are dropped.
        for (int i = 0; i < 3; ++i) {
            const QString character = i < m_stringValue.size() ? m_stringValue.mid(i, 1) : QStringLiteral(" ");
            drawing.drawText(character, x, frame.y() + 1 + 0.9 * fontSize() * (2 - i), font, color, m_outputStyle);
        }
    } else {
        drawing.drawText(m_stringValue, x, frame.y() + 3, font, color, m_outputStyle);
    }
}
