#pragma once

#include "menubar/DrawingRecord.h"
#include "menubar/MenuBarColor.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>
#include <QTextOption>

#include <functional>

// Drawing in the coordinates menu-bar cells are designed in: points, origin at
// the bottom left of the canvas, y growing upwards. QPainter's y grows
// downwards, so this is the one place that maps between the two: callers give
// design coordinates to point()/rect() and the drawing calls, and get painter
// coordinates back only to build paths.
class MenuBarDrawing {
public:
    // A drawing that paints, and writes its calls into the record if one is given.
    MenuBarDrawing(QPainter& painter, double canvasHeight, const QPalette& palette, DrawingRecord* record = nullptr);
    // A drawing that paints nothing and writes its calls into the record.
    MenuBarDrawing(DrawingRecord& record, double canvasHeight, const QPalette& palette);
    MenuBarDrawing(const MenuBarDrawing&) = delete;
    MenuBarDrawing& operator=(const MenuBarDrawing&) = delete;
    ~MenuBarDrawing();

    // A transparent image of the size (points) at the device pixel ratio,
    // with whatever draw() painted into it.
    static QImage renderImage(const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
        const std::function<void(MenuBarDrawing&)>& draw);
    // The same into the given image, whose pixels are drawn over in place
    // when it has that size and ratio and shares them with no other image.
    // The calls go into the record too, when one is given.
    static void renderInto(QImage& image, const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
        const std::function<void(MenuBarDrawing&)>& draw, DrawingRecord* record = nullptr);

    const QPalette& palette() const { return m_palette; }
    QColor color(const MenuBarColor& color) const { return color.resolved(m_palette); }

    QPointF point(double x, double y) const { return {x, m_height - y}; }
    QRectF rect(double x, double y, double width, double height) const { return {x, m_height - y - height, width, height}; }
    QRectF rect(const QRectF& designRect) const
    {
        return rect(designRect.x(), designRect.y(), designRect.width(), designRect.height());
    }

    // Appends an arc around a centre given in design coordinates. Angles are
    // in degrees, anticlockwise from three o'clock; clockwise arcs run the
    // other way round from the start to the end angle.
    void addArc(QPainterPath& path, double centreX, double centreY, double radius, double startAngle,
        double endAngle, bool clockwise) const;

    // Paths and polygons in painter coordinates, built with point().
    void fillPolygon(const QPolygonF& polygon, const QColor& color);
    void fillPath(const QPainterPath& path, const QColor& color);
    // A wedge of a disc (design coordinates): from the centre out along the
    // start angle and round the arc to the end angle, as addArc() runs it.
    // Recorded by its numbers; the path is made only to paint it.
    void fillWedge(double centreX, double centreY, double radius, double startAngle, double endAngle, bool clockwise,
        const QColor& color);
    // The area between a curve (painter coordinates, x never decreasing) and
    // the horizontal line at the base's painter y, as a graph fills it.
    void fillArea(const QPolygonF& curve, double base, const QColor& color);
    void strokePath(const QPainterPath& path, const QColor& color, double lineWidth);

    void strokeLine(double x1, double y1, double x2, double y2, const QColor& color, double lineWidth);
    void fillEllipse(const QRectF& designRect, const QColor& color);
    void strokeEllipse(const QRectF& designRect, const QColor& color, double lineWidth);
    void fillRoundedRect(const QRectF& designRect, double radius, const QColor& color);
    void strokeRoundedRect(const QRectF& designRect, double radius, const QColor& color, double lineWidth);
    // A one-point outline just inside the rectangle.
    void frameRect(const QRectF& designRect, const QColor& color);
    // A line centred on the rectangle's edges, optionally dashed (lengths in points).
    void strokeRect(const QRectF& designRect, const QColor& color, double lineWidth, const QList<qreal>& dashes = {});

    // Text whose line box has its bottom left corner at the design point.
    // Lines run downwards from the top of the text; tabs follow the option.
    void drawText(const QString& text, double x, double y, const QFont& font, const QColor& color,
        const QTextOption& option = QTextOption());

    // Widths are measured against the same device resolution the images are
    // drawn at, so a measured text fits the drawn one exactly.
    static QFontMetricsF metrics(const QFont& font);
    static double textWidth(const QString& text, const QFont& font, const QTextOption& option = QTextOption());

    static QFont menuBarFont();
    static QFont menuBarFont(double size);
    static QFont boldSystemFont(double size);

private:
    // Writes the call into the record, if there is one; true when the drawing only records.
    template <typename... Arguments>
    bool onlyRecords(DrawingRecord::Call call, const Arguments&... arguments)
    {
        if (m_record)
            m_record->record(call, arguments...);
        return !m_painter;
    }
    // Fills the path (painter coordinates) without recording it.
    void paintPath(const QPainterPath& path, const QColor& color);
    QPen pen(const QColor& color, double lineWidth) const;
    // Runs paint(painter, colour) on the target painter, or, for translucent
    // colours, through the opaque layer with the opaque colour. The bounds
    // (painter coordinates) hold everything paint() draws.
    template <typename Paint>
    void paint(const QColor& color, const QRectF& bounds, Paint paint);

    QPainter* m_painter = nullptr;
    DrawingRecord* m_record = nullptr;
    double m_height;
    QPalette m_palette;
};
