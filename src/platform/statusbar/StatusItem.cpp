#include "platform/statusbar/StatusItem.h"

#include "platform/statusbar/PremultipliedPixels.h"

#include "platform/statusbar/ChangedPixels.h"
#include "platform/statusbar/StatusBar.h"

#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>

#include <cmath>

StatusItem::StatusItem(StatusBar* bar, double length)
    : m_bar(bar)
    , m_length(length)
{
}

StatusItem::~StatusItem()
{
    if (m_bar)
        m_bar->removeStatusItem(*this);
}

void StatusItem::setLength(double length)
{
    if (m_length == length)
        return;
    m_length = length;
    if (m_bar)
        m_bar->itemDidChange(*this);
}

void StatusItem::setTitle(const QString& title)
{
    if (m_title == title)
        return;
    m_title = title;
    if (m_bar)
        m_bar->itemDidChange(*this);
}

void StatusItem::setImage(const QImage& image)
{
    const bool sizeChanged = image.size() != m_image.size()
        || image.devicePixelRatio() != m_image.devicePixelRatio();
    const QRect pixels = ChangedPixels::between(m_image, image);
    m_image = image;
    if (sizeChanged) {
        m_changedArea = buttonBounds();
    } else if (pixels.isEmpty()) {
        m_changedArea = QRectF();
    } else {
        const qreal ratio = image.devicePixelRatio();
        m_changedArea = QRectF(imageOrigin() + QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio);
    }
    Q_EMIT changed();
    if (m_bar && sizeChanged)
        m_bar->itemDidChange(*this);
}

QImage StatusItem::compactImage(int side, const QPalette& palette) const
{
    if (m_compactImageSource)
        return m_compactImageSource(side, palette);
    if (width() > StatusBar::Thickness)
        return {};
    // Scaled by the painter: images do not draw smaller than one pixel per point.
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.scale(side / StatusBar::Thickness, side / StatusBar::Thickness);
    // A narrower button sits in the middle of the square.
    painter.translate((StatusBar::Thickness - std::max(1.0, width())) / 2, 0);
    paintButton(painter, palette);
    return square;
}

void StatusItem::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    m_changedArea = buttonBounds();
    Q_EMIT changed();
}

void StatusItem::setMenu(QMenu* menu)
{
    m_menu = menu;
}

void StatusItem::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    if (m_bar)
        m_bar->itemDidChange(*this);
    Q_EMIT visibleChanged(visible);
}

double StatusItem::width() const
{
    if (m_length == SquareLength)
        return StatusBar::Thickness;
    if (m_length >= 0)
        return m_length;
    double width = 0;
    if (!m_image.isNull())
        width = m_image.width() / m_image.devicePixelRatio();
    if (!m_title.isEmpty()) {
        const QFontMetricsF metrics(StatusBar::menuBarFont());
        width = std::max(width, std::ceil(metrics.horizontalAdvance(m_title)) + 2 * TitlePadding);
    }
    return width;
}

QRect StatusItem::buttonFrameOnScreen() const
{
    return m_bar ? m_bar->buttonFrame(*this) : QRect();
}

void StatusItem::popUpMenu()
{
    if (m_bar && m_menu)
        m_bar->popUpMenu(*this);
}

QImage StatusItem::renderButton(qreal devicePixelRatio, const QPalette& palette) const
{
    const QSizeF size = buttonBounds().size();
    QImage button((size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    button.setDevicePixelRatio(devicePixelRatio);
    button.fill(Qt::transparent);
    QPainter painter(&button);
    paintButton(painter, palette);
    return button;
}

QRectF StatusItem::buttonBounds() const
{
    return QRectF(0, 0, std::max(1.0, width()), StatusBar::Thickness);
}

QPointF StatusItem::imageOrigin() const
{
    const QSizeF size = buttonBounds().size();
    const QSizeF imageSize = QSizeF(m_image.size()) / m_image.devicePixelRatio();
    return QPointF((size.width() - imageSize.width()) / 2, (size.height() - imageSize.height()) / 2);
}

bool StatusItem::paintButtonPixels(QImage& target, const QPoint& pixel) const
{
    const qreal ratio = target.devicePixelRatio();
    const QPointF origin = imageOrigin() * ratio;
    if (m_highlighted || !m_title.isEmpty() || m_image.devicePixelRatio() != ratio
        || m_image.format() != QImage::Format_ARGB32_Premultiplied || origin != origin.toPoint()
        || (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32_Premultiplied))
        return false;
    PremultipliedPixels::blendOver(target, pixel + origin.toPoint(), m_image);
    return true;
}

void StatusItem::paintButton(QPainter& painter, const QPalette& palette) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = buttonBounds();
    if (m_highlighted)
        painter.fillRect(bounds, palette.color(QPalette::Active, QPalette::Highlight));
    if (!m_image.isNull())
        painter.drawImage(QRectF(imageOrigin(), QSizeF(m_image.size()) / m_image.devicePixelRatio()), m_image);
    if (!m_title.isEmpty()) {
        painter.setFont(StatusBar::menuBarFont());
        painter.setPen(palette.color(QPalette::Active,
            m_highlighted ? QPalette::HighlightedText : QPalette::WindowText));
        painter.drawText(bounds, Qt::AlignCenter, m_title);
    }
}
