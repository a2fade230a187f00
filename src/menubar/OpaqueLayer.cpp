#include "menubar/OpaqueLayer.h"

#include <algorithm>

OpaqueLayer::OpaqueLayer(QPainter& target)
    : m_target(&target)
{
}

OpaqueLayer::~OpaqueLayer() = default;

QPainter* OpaqueLayer::begin(const QRectF& bounds)
{
    const qreal ratio = m_target->device()->devicePixelRatio();
    const QRectF device = m_target->worldTransform().mapRect(bounds);
    // A pixel of room on every side for antialiased edges; nothing left of or above the device shows.
    m_area = QRectF(device.topLeft() * ratio, device.size() * ratio).toAlignedRect().adjusted(-1, -1, 1, 1);
    m_area.setLeft(std::max(m_area.left(), 0));
    m_area.setTop(std::max(m_area.top(), 0));
    if (m_area.isEmpty())
        return nullptr;
    if (!m_image.rect().contains(m_area) || m_image.devicePixelRatio() != ratio) {
        // The layer shares the device's pixel coordinates and grows to what is drawn.
        m_painter.reset();
        m_image = QImage(std::max(m_image.width(), m_area.right() + 1), std::max(m_image.height(), m_area.bottom() + 1),
            QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(ratio);
        m_painter = std::make_unique<QPainter>(&m_image);
    }
    const QPainter::RenderHints hints = m_target->renderHints();
    if (m_painter->renderHints() != hints) {
        m_painter->setRenderHints(m_painter->renderHints(), false);
        m_painter->setRenderHints(hints);
    }
    m_painter->resetTransform();
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    m_painter->fillRect(QRectF(QPointF(m_area.topLeft()) / ratio, QSizeF(m_area.size()) / ratio), Qt::transparent);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setWorldTransform(m_target->worldTransform());
    return m_painter.get();
}

void OpaqueLayer::end(qreal opacity)
{
    const qreal ratio = m_image.devicePixelRatio();
    const QTransform transform = m_target->worldTransform();
    const qreal previousOpacity = m_target->opacity();
    m_target->resetTransform();
    m_target->setOpacity(previousOpacity * opacity);
    m_target->drawImage(QRectF(QPointF(m_area.topLeft()) / ratio, QSizeF(m_area.size()) / ratio), m_image, QRectF(m_area));
    m_target->setOpacity(previousOpacity);
    m_target->setWorldTransform(transform);
}
