#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTextOption>

#include <string>
#include <vector>

// What a drawing paints, as its calls and their arguments rather than pixels:
// two records that compare equal paint the same pixels, so an image whose
// next record equals the last one need not be drawn again. Cleared and
// refilled on every refresh, it keeps its storage and allocates nothing once
// it has grown to the drawing's size.
class DrawingRecord {
public:
    enum class Call : quint64 {
        FillPolygon = 1,
        FillPath,
        StrokePath,
        StrokeLine,
        StrokeEllipse,
        StrokeRoundedRect,
        FrameRect,
        StrokeRect,
        DrawText,
        FillArea,
        FillWedge,
    };

    void clear();
    bool isEmpty() const { return m_words.empty(); }
    bool operator==(const DrawingRecord&) const = default;

    template <typename... Arguments>
    void record(Call call, const Arguments&... arguments)
    {
        m_words.push_back(static_cast<quint64>(call));
        (add(arguments), ...);
    }

private:
    void add(double value);
    void add(const QColor& color);
    void add(const QPointF& point);
    void add(const QRectF& rect);
    void add(const QLineF& line);
    void add(const QPolygonF& polygon);
    void add(const QPainterPath& path);
    void add(const QList<qreal>& numbers);
    void add(const QString& text);
    void add(const QFont& font);
    void add(const QTextOption& option);

    // Numbers bit for bit, colours, counts and kinds as words.
    std::vector<quint64> m_words;
    std::u16string m_texts;
    std::vector<QFont> m_fonts;
};
