#include "menubar/MenuBarDrawing.h"

#include "platform/statusbar/StatusBar.h"

#include <QFontDatabase>
#include <QTextLayout>

#include <cmath>

namespace {

// Texts are measured against an image like the ones they are drawn into.
const QPaintDevice& referenceDevice()
{
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return device;
}

bool needsLayout(const QString& text)
{
    return text.contains(u'\t') || text.contains(u'\n');
}

// Lays out every line of the text without wrapping; returns the size of the block.
QSizeF layOut(QTextLayout& layout, const QTextOption& option)
{
    QTextOption unwrapped = option;
    unwrapped.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(unwrapped);
    layout.beginLayout();
    double width = 0;
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(1.0e6);
        line.setPosition(QPointF(0, height));
        height += line.height();
        width = std::max(width, line.naturalTextWidth());
    }
    layout.endLayout();
    return {width, height};
}

QString withLineSeparators(QString text)
{
    return text.replace(u'\n', QChar::LineSeparator);
}

// Sizes are in points of the drawing, which the reference device shows at its own resolution.
QFont sized(QFont font, double size)
{
    font.setPointSizeF(size * 72.0 / referenceDevice().logicalDpiY());
    return font;
}

} // namespace

MenuBarDrawing::MenuBarDrawing(QPainter& painter, double canvasHeight, const QPalette& palette)
    : m_painter(painter)
    , m_height(canvasHeight)
    , m_palette(palette)
{
}

QImage MenuBarDrawing::renderImage(const QSizeF& size, qreal devicePixelRatio, const QPalette& palette,
    const std::function<void(MenuBarDrawing&)>& draw)
{
    const QSize pixels(int(std::ceil(size.width() * devicePixelRatio)), int(std::ceil(size.height() * devicePixelRatio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    MenuBarDrawing drawing(painter, size.height(), palette);
    draw(drawing);
    return image;
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

void MenuBarDrawing::fillPolygon(const QPolygonF& polygon, const QColor& color)
{
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(color);
    m_painter.drawPolygon(polygon);
}

void MenuBarDrawing::fillPath(const QPainterPath& path, const QColor& color)
{
    m_painter.fillPath(path, color);
}

void MenuBarDrawing::strokePath(const QPainterPath& path, const QColor& color, double lineWidth)
{
    m_painter.strokePath(path, pen(color, lineWidth));
}

void MenuBarDrawing::strokeLine(double x1, double y1, double x2, double y2, const QColor& color, double lineWidth)
{
    m_painter.setPen(pen(color, lineWidth));
    m_painter.drawLine(point(x1, y1), point(x2, y2));
}

void MenuBarDrawing::fillEllipse(const QRectF& designRect, const QColor& color)
{
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(color);
    m_painter.drawEllipse(rect(designRect));
}

void MenuBarDrawing::strokeEllipse(const QRectF& designRect, const QColor& color, double lineWidth)
{
    m_painter.setPen(pen(color, lineWidth));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(rect(designRect));
}

void MenuBarDrawing::frameRect(const QRectF& designRect, const QColor& color)
{
    const QRectF r = rect(designRect);
    if (r.width() <= 2 || r.height() <= 2) {
        m_painter.fillRect(r, color);
        return;
    }
    // Four strips that do not overlap, so translucent colours stay even.
    m_painter.fillRect(QRectF(r.left(), r.top(), r.width(), 1), color);
    m_painter.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), color);
    m_painter.fillRect(QRectF(r.left(), r.top() + 1, 1, r.height() - 2), color);
    m_painter.fillRect(QRectF(r.right() - 1, r.top() + 1, 1, r.height() - 2), color);
}

void MenuBarDrawing::strokeRect(const QRectF& designRect, const QColor& color, double lineWidth, const QList<qreal>& dashes)
{
    QPen outline = pen(color, lineWidth);
    if (!dashes.isEmpty()) {
        // Qt measures dashes in line widths.
        QList<qreal> pattern;
        for (qreal dash : dashes)
            pattern << dash / lineWidth;
        outline.setDashPattern(pattern);
        outline.setDashOffset(0);
    }
    m_painter.setPen(outline);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(rect(designRect));
}

void MenuBarDrawing::drawText(const QString& text, double x, double y, const QFont& font, const QColor& color,
    const QTextOption& option)
{
    m_painter.setPen(color);
    if (!needsLayout(text)) {
        m_painter.setFont(font);
        m_painter.drawText(point(x, y + metrics(font).descent()), text);
        return;
    }
    QTextLayout layout(withLineSeparators(text), font, &referenceDevice());
    const QSizeF block = layOut(layout, option);
    layout.draw(&m_painter, point(x, y + block.height()));
}

QFontMetricsF MenuBarDrawing::metrics(const QFont& font)
{
    return QFontMetricsF(font, &referenceDevice());
}

double MenuBarDrawing::textWidth(const QString& text, const QFont& font, const QTextOption& option)
{
    if (!needsLayout(text))
        return metrics(font).horizontalAdvance(text);
    QTextLayout layout(withLineSeparators(text), font, &referenceDevice());
    return layOut(layout, option).width();
}

QFont MenuBarDrawing::menuBarFont()
{
    return StatusBar::menuBarFont();
}

QFont MenuBarDrawing::menuBarFont(double size)
{
    return sized(StatusBar::menuBarFont(), size);
}

QFont MenuBarDrawing::boldSystemFont(double size)
{
    QFont font = sized(QFontDatabase::systemFont(QFontDatabase::GeneralFont), size);
    font.setBold(true);
    return font;
}
