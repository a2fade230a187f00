#include "menubar/DrawingRecord.h"

#include <bit>

void DrawingRecord::clear()
{
    m_words.clear();
    m_texts.clear();
    m_fonts.clear();
}

void DrawingRecord::add(double value)
{
    m_words.push_back(std::bit_cast<quint64>(value));
}

void DrawingRecord::add(const QColor& color)
{
    m_words.push_back(color.rgba64());
}

void DrawingRecord::add(const QPointF& point)
{
    add(point.x());
    add(point.y());
}

void DrawingRecord::add(const QRectF& rect)
{
    add(rect.topLeft());
    add(rect.bottomRight());
}

void DrawingRecord::add(const QLineF& line)
{
    add(line.p1());
    add(line.p2());
}

void DrawingRecord::add(const QPolygonF& polygon)
{
    m_words.push_back(quint64(polygon.size()));
    for (const QPointF& point : polygon)
        add(point);
}

void DrawingRecord::add(const QPainterPath& path)
{
    m_words.push_back(quint64(path.fillRule()));
    m_words.push_back(quint64(path.elementCount()));
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        m_words.push_back(quint64(element.type));
        add(QPointF(element));
    }
}

void DrawingRecord::add(const QList<qreal>& numbers)
{
    m_words.push_back(quint64(numbers.size()));
    for (qreal number : numbers)
        add(number);
}

void DrawingRecord::add(const QString& text)
{
    m_words.push_back(quint64(text.size()));
    m_texts.append(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

void DrawingRecord::add(const QFont& font)
{
    m_words.push_back(quint64(m_fonts.size()));
    m_fonts.push_back(font);
}

void DrawingRecord::add(const QTextOption& option)
{
    m_words.push_back(quint64(option.alignment()));
    m_words.push_back(quint64(option.flags()));
    m_words.push_back(quint64(option.wrapMode()));
    m_words.push_back(quint64(option.textDirection()));
    add(option.tabStopDistance());
    const QList<QTextOption::Tab> tabs = option.tabs();
    m_words.push_back(quint64(tabs.size()));
    for (const QTextOption::Tab& tab : tabs) {
        add(tab.position);
        m_words.push_back(quint64(tab.type));
        m_words.push_back(quint64(tab.delimiter.unicode()));
    }
}
