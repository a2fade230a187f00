#include "menubar/QRNAlphaCurtainView.h"

#include "menubar/MenuBarColor.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr double StripHeight = 10.0;

// Fills strip with the text background, opaque at the edge point and fading
// out towards the inner point.
void fillStrip(QPainter& painter, const QRectF& strip, QPointF edge, QPointF inner, const QPalette& palette)
{
    const QColor background = MenuBarColor(MenuBarColor::System::TextBackground).resolved(palette);
    QColor transparent = background;
    transparent.setAlpha(0);
    QLinearGradient gradient(edge, inner);
    gradient.setColorAt(0, background);
    gradient.setColorAt(1, transparent);
    painter.fillRect(strip, gradient);
}

} // namespace

QRNAlphaCurtainView::QRNAlphaCurtainView(QWidget* parent)
    : QWidget(parent)
{
}

void QRNAlphaCurtainView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    const QRectF top(bounds.left(), bounds.top(), bounds.width(), StripHeight);
    const QRectF bottom(bounds.left(), bounds.bottom() - StripHeight, bounds.width(), StripHeight);
    fillStrip(painter, top, top.topLeft(), top.bottomLeft(), palette());
    fillStrip(painter, bottom, bottom.bottomLeft(), bottom.topLeft(), palette());
}
