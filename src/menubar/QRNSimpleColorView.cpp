#include "menubar/QRNSimpleColorView.h"

#include <QPaintEvent>
#include <QPainter>

QRNSimpleColorView::QRNSimpleColorView(QWidget* parent)
    : QWidget(parent)
{
}

void QRNSimpleColorView::setColor(const std::optional<MenuBarColor>& color)
{
    m_color = color;
    update();
}

void QRNSimpleColorView::paintEvent(QPaintEvent* event)
{
    if (!m_color)
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), m_color->resolved(palette()));
}
