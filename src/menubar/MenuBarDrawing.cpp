#include "menubar/MenuBarDrawing.h"

#include "menubar/AreaFill.h"
#include "menubar/DevicePixels.h"
#include "menubar/OpaqueLayer.h"
#include "menubar/ShapeCache.h"
#include "menubar/TextImageCache.h"
#include "platform/statusbar/StatusBar.h"

#include <QFontDatabase>
#include <QtMath>

#include <array>
#include <cmath>
#include <optional>

namespace {

// Sizes are in points of the drawing, which the reference device shows at its own resolution.
QFont sized(QFont font, double size)
{
    font.setPointSizeF(size * 72.0 / TextImageCache::referenceDevice().logicalDpiY());
    return font;
}

enum class FontKind { MenuBar, SizedMenuBar, BoldSystem };

// Cells ask for their font on every refresh, and a font given a size or a
// weight copies its data. The fonts made are kept by kind and size, next to
// the system font they were made from, so that a new system font is followed.
QFont keptFont(FontKind kind, double size)
{
    struct Kept {
        FontKind kind;
        double size;
        QFont system;
        QFont font;
    };
    static std::array<std::optional<Kept>, 8> kept;
    static std::size_t next = 0;
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    for (const std::optional<Kept>& entry : kept) {
        if (entry && entry->kind == kind && entry->size == size && entry->system == system)
            return entry->font;
    }
    QFont font;
    switch (kind) {
    case FontKind::MenuBar: font = StatusBar::menuBarFont(); break;
    case FontKind::SizedMenuBar: font = sized(StatusBar::menuBarFont(), size); break;
    case FontKind::BoldSystem:
        font = sized(system, size);
        font.setBold(true);
        break;
    }
    kept[next] = Kept {kind, size, system, font};
    next = (next + 1) % kept.size();
    return font;
}

// Drawings run one after another on the GUI thread, so one layer, kept with
// its image and painter, serves them all.
OpaqueLayer& sharedLayer(QPainter& target)
{
    static OpaqueLayer layer(target);
    layer.setTarget(target);
    return layer;
}

// A brush made from a colour allocates its data; the few colours of the
// drawings are kept as brushes, which painters then share.
const QBrush& solidBrush(const QColor& color)
{
    static std::array<QBrush, 8> brushes;
    static std::size_t next = 0;
    for (const QBrush& brush : brushes) {
        if (brush.style() == Qt::SolidPattern && brush.color() == color)
            return brush;
    }
    QBrush& made = brushes[next];
    next = (next + 1) % brushes.size();
    made = QBrush(color);
    return made;
}

} // namespace

MenuBarDrawing::MenuBarDrawing(QPainter& painter, double canvasHeight, const QPalette& palette, DrawingRecord* record)
    : m_painter(&painter)
    , m_record(record)
    , m_height(canvasHeight)
    , m_palette(palette)
{
}

MenuBarDrawing::MenuBarDrawing(DrawingRecord& record, double canvasHeight, const QPalette& palette)
    : m_record(&record)
    , m_height(canvasHeight)
    , m_palette(palette)
{
}

MenuBarDrawing::~MenuBarDrawing() = default;

QImage MenuBarDrawing::renderImage(const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
    const std::function<void(MenuBarDrawing&)>& draw)
{
    QImage image;
    renderInto(image, size, devicePixelRatio, palette, draw);
    return image;
}

void MenuBarDrawing::renderInto(QImage& image, const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
    const std::function<void(MenuBarDrawing&)>& draw, DrawingRecord* record)
{
    const QSize pixels(int(std::ceil(size.width() * devicePixelRatio)), int(std::ceil(size.height() * devicePixelRatio)));
    // Drawing into an image that shares its pixels would copy them first.
    if (image.size() != pixels || image.devicePixelRatio() != devicePixelRatio || !image.isDetached()) {
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return;
        image.setDevicePixelRatio(devicePixelRatio);
    }
    image.fill(Qt::transparent);
    // A painter keeps its private data from one begin() to the next, so the
    // drawings share one; a drawing made while another is under way has its own.
    static QPainter shared;
    std::optional<QPainter> nested;
    QPainter& painter = shared.isActive() ? nested.emplace() : shared;
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    {
        MenuBarDrawing drawing(painter, size.height(), palette, record);
        draw(drawing);
    }
    painter.end();
}

void MenuBarDrawing::addArc(QPainterPath& path, double centreX, double centreY, double radius, double startAngle,
    double endAngle, bool clockwise) const
{
    double sweep = endAngle - startAngle;
    if (clockwise) {
        while (sweep > 0)
            sweep -= 360;
    } else {
        while (sweep < 0)
            sweep += 360;
    }
    const QPointF centre = point(centreX, centreY);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // An empty path starts at the arc; a path under way runs a line to it.
    if (path.elementCount() == 0)
        path.arcMoveTo(box, startAngle);
    path.arcTo(box, startAngle, sweep);
}

QPen MenuBarDrawing::pen(const QColor& color, double lineWidth) const
{
    QPen pen(color, lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

template <typename Paint>
void MenuBarDrawing::paint(const QColor& color, const QRectF& bounds, Paint paint)
{
    if (color.alpha() == 255) {
        paint(*m_painter, color);
        return;
    }
    if (color.alpha() == 0)
        return;
    OpaqueLayer& layer = sharedLayer(*m_painter);
    if (QPainter* painter = layer.begin(bounds)) {
        QColor opaque = color;
        opaque.setAlpha(255);
        paint(*painter, opaque);
        layer.end(color.alphaF());
    }
}

void MenuBarDrawing::fillPolygon(const QPolygonF& polygon, const QColor& color)
{
    if (onlyRecords(DrawingRecord::Call::FillPolygon, polygon, color))
        return;
    paint(color, polygon.boundingRect(), [&](QPainter& painter, const QColor& ink) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(solidBrush(ink));
        painter.drawPolygon(polygon);
    });
}

void MenuBarDrawing::fillWedge(double centreX, double centreY, double radius, double startAngle, double endAngle,
    bool clockwise, const QColor& color)
{
    if (onlyRecords(DrawingRecord::Call::FillWedge, QPointF(centreX, centreY), radius, startAngle, endAngle,
            clockwise ? 1.0 : 0.0, color))
        return;
    const double start = qDegreesToRadians(startAngle);
    QPainterPath wedge;
    wedge.moveTo(point(centreX, centreY));
    wedge.lineTo(point(centreX + radius * std::cos(start), centreY + radius * std::sin(start)));
    addArc(wedge, centreX, centreY, radius, startAngle, endAngle, clockwise);
    wedge.closeSubpath();
    paintPath(wedge, color);
}

void MenuBarDrawing::fillArea(const QPolygonF& curve, double base, const QColor& color)
{
    if (onlyRecords(DrawingRecord::Call::FillArea, curve, base, color))
        return;
    if (curve.isEmpty())
        return;
    const QRectF outline = curve.boundingRect();
    const QRectF bounds(QPointF(outline.left(), std::min(outline.top(), base)),
        QPointF(outline.right(), std::max(outline.bottom(), base)));
    paint(color, bounds, [&](QPainter& painter, const QColor& ink) {
        // Kept from one graph to the next, so that filling one allocates nothing.
        static QPolygonF points;
        static AreaFill filler;
        points.clear();
        const QTransform device = DevicePixels::transform(painter);
        if (QImage* target = DevicePixels::uprightTarget(painter, device)) {
            for (const QPointF& point : curve)
                points << device.map(point);
            filler.fill(*target, points, device.map(QPointF(0, base)).y(), ink.rgba());
            return;
        }
        points << QPointF(curve.first().x(), base) << curve << QPointF(curve.last().x(), base);
        painter.setPen(Qt::NoPen);
        painter.setBrush(solidBrush(ink));
        painter.drawPolygon(points);
    });
}

void MenuBarDrawing::fillPath(const QPainterPath& path, const QColor& color)
{
    if (onlyRecords(DrawingRecord::Call::FillPath, path, color))
        return;
    paintPath(path, color);
}

void MenuBarDrawing::paintPath(const QPainterPath& path, const QColor& color)
{
    paint(color, path.boundingRect(), [&](QPainter& painter, const QColor& ink) { painter.fillPath(path, ink); });
}

void MenuBarDrawing::strokePath(const QPainterPath& path, const QColor& color, double lineWidth)
{
    if (onlyRecords(DrawingRecord::Call::StrokePath, path, color, lineWidth))
        return;
    // Mitred corners reach out up to the line width.
    const QRectF bounds = path.boundingRect().adjusted(-lineWidth, -lineWidth, lineWidth, lineWidth);
    paint(color, bounds, [&](QPainter& painter, const QColor& ink) { painter.strokePath(path, pen(ink, lineWidth)); });
}

void MenuBarDrawing::strokeLine(double x1, double y1, double x2, double y2, const QColor& color, double lineWidth)
{
    if (onlyRecords(DrawingRecord::Call::StrokeLine, QLineF(x1, y1, x2, y2), color, lineWidth))
        return;
    const QLineF line(point(x1, y1), point(x2, y2));
    const QRectF bounds = QRectF(line.p1(), line.p2()).normalized().adjusted(-lineWidth, -lineWidth, lineWidth, lineWidth);
    paint(color, bounds, [&](QPainter& painter, const QColor& ink) {
        painter.setPen(pen(ink, lineWidth));
        painter.drawLine(line);
    });
}

void MenuBarDrawing::fillEllipse(const QRectF& designRect, const QColor& color)
{
    QPainterPath disc;
    disc.addEllipse(rect(designRect));
    fillPath(disc, color);
}

// Strokes of closed round shapes are filled as the ring between the shape
// grown and shrunk by half the line width: the same pixels as a stroke, at a
// fraction of the cost of Qt's general stroker. Such outlines stay the same
// from one refresh to the next, so they come from the shape cache.
void MenuBarDrawing::strokeEllipse(const QRectF& designRect, const QColor& color, double lineWidth)
{
    if (onlyRecords(DrawingRecord::Call::StrokeEllipse, designRect, color, lineWidth))
        return;
    const double half = lineWidth / 2;
    QPainterPath ring;
    ring.addEllipse(rect(designRect).adjusted(-half, -half, half, half));
    ring.addEllipse(rect(designRect).adjusted(half, half, -half, -half));
    ShapeCache::shared().fill(*m_painter, ring, color);
}

void MenuBarDrawing::fillRoundedRect(const QRectF& designRect, double radius, const QColor& color)
{
    QPainterPath shape;
    shape.addRoundedRect(rect(designRect), radius, radius);
    fillPath(shape, color);
}

void MenuBarDrawing::strokeRoundedRect(const QRectF& designRect, double radius, const QColor& color, double lineWidth)
{
    if (onlyRecords(DrawingRecord::Call::StrokeRoundedRect, designRect, radius, color, lineWidth))
        return;
    const double half = lineWidth / 2;
    const double inner = std::max(radius - half, 0.0);
    QPainterPath ring;
    ring.addRoundedRect(rect(designRect).adjusted(-half, -half, half, half), radius + half, radius + half);
    ring.addRoundedRect(rect(designRect).adjusted(half, half, -half, -half), inner, inner);
    ShapeCache::shared().fill(*m_painter, ring, color);
}

void MenuBarDrawing::frameRect(const QRectF& designRect, const QColor& color)
{
    if (onlyRecords(DrawingRecord::Call::FrameRect, designRect, color))
        return;
    const QRectF r = rect(designRect);
    paint(color, r, [&](QPainter& painter, const QColor& ink) {
        // Frames surround every graph and lamp: written straight into the
        // pixels they cost a fraction of the painter's fills.
        const QTransform device = DevicePixels::transform(painter);
        QImage* target = DevicePixels::uprightTarget(painter, device);
        const auto fill = [&](const QRectF& strip) {
            if (target)
                PremultipliedPixels::fillRect(*target, device.mapRect(strip), ink.rgba());
            else
                painter.fillRect(strip, ink);
        };
        if (r.width() <= 2 || r.height() <= 2) {
            fill(r);
            return;
        }
        // Four strips that do not overlap, so translucent colours stay even.
        fill(QRectF(r.left(), r.top(), r.width(), 1));
        fill(QRectF(r.left(), r.bottom() - 1, r.width(), 1));
        fill(QRectF(r.left(), r.top() + 1, 1, r.height() - 2));
        fill(QRectF(r.right() - 1, r.top() + 1, 1, r.height() - 2));
    });
}

void MenuBarDrawing::strokeRect(const QRectF& designRect, const QColor& color, double lineWidth, const QList<qreal>& dashes)
{
    if (onlyRecords(DrawingRecord::Call::StrokeRect, designRect, color, lineWidth, dashes))
        return;
    QPen outline = pen(color, lineWidth);
    if (!dashes.isEmpty()) {
        // Qt measures dashes in line widths.
        QList<qreal> pattern;
        for (qreal dash : dashes)
            pattern << dash / lineWidth;
        outline.setDashPattern(pattern);
        outline.setDashOffset(0);
    }
    const QRectF r = rect(designRect);
    paint(color, r.adjusted(-lineWidth, -lineWidth, lineWidth, lineWidth), [&](QPainter& painter, const QColor& ink) {
        outline.setColor(ink);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
    });
}

void MenuBarDrawing::drawText(const QString& text, double x, double y, const QFont& font, const QColor& color,
    const QTextOption& option)
{
    if (onlyRecords(DrawingRecord::Call::DrawText, text, x, y, font, color, option))
        return;
    TextImageCache::shared().draw(*m_painter, point(x, y), text, font, color, option);
}

QFontMetricsF MenuBarDrawing::metrics(const QFont& font)
{
    return QFontMetricsF(font, &TextImageCache::referenceDevice());
}

double MenuBarDrawing::textWidth(const QString& text, const QFont& font, const QTextOption& option)
{
    return TextImageCache::shared().blockSize(text, font, option).width();
}

QFont MenuBarDrawing::menuBarFont()
{
    return keptFont(FontKind::MenuBar, 0);
}

QFont MenuBarDrawing::menuBarFont(double size)
{
    return keptFont(FontKind::SizedMenuBar, size);
}

QFont MenuBarDrawing::boldSystemFont(double size)
{
    return keptFont(FontKind::BoldSystem, size);
}
