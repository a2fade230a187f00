#include "menubar/QRNLevelIndicatorView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QRNLevelIndicatorView::QRNLevelIndicatorView(QWidget* parent)
    : QWidget(parent)
{
    resize(HolderWidth, Height);
    describe();
}

void QRNLevelIndicatorView::setDoubleValue(double value)
{
    const double kept = std::isnan(value) ? m_minimum : std::clamp(value, m_minimum, m_maximum);
    if (kept == m_value)
        return;
    m_value = kept;
    describe();
    update();
}

void QRNLevelIndicatorView::setLimit(double& limit, double value)
{
    limit = value;
    describe();
    update();
}

QRNLevelIndicatorView::Band QRNLevelIndicatorView::band() const
{
    if (m_value < m_critical)
        return Band::Critical;
    if (m_value < m_warning)
        return Band::Warning;
    return Band::Normal;
}

MenuBarColor QRNLevelIndicatorView::fillColor() const
{
    switch (band()) {
    case Band::Critical: return MenuBarColor::System::Red;
    case Band::Warning: return MenuBarColor::System::Yellow;
    case Band::Normal: break;
    }
    return MenuBarColor::System::Green;
}

QRect QRNLevelIndicatorView::barRect() const
{
    return QRect(Inset, 2, std::max(0, width() - 2 * Inset), Height - 4);
}

QSize QRNLevelIndicatorView::sizeHint() const
{
    return QSize(HolderWidth, Height);
}

void QRNLevelIndicatorView::paintEvent(QPaintEvent*)
{
    const QRect bar = barRect();
    if (bar.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor frame = MenuBarColor(MenuBarColor::System::TertiaryLabel).resolved(palette());
    painter.setPen(QPen(frame, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    const double span = m_maximum - m_minimum;
    const double share = span > 0 ? (m_value - m_minimum) / span : 0.0;
    const QRectF filled(bar.left() + 1, bar.top() + 1, (bar.width() - 2) * share, bar.height() - 2);
    if (filled.width() > 0)
        painter.fillRect(filled, fillColor().resolved(palette()));
}

void QRNLevelIndicatorView::describe()
{
    QString suffix;
    if (band() == Band::Critical)
        suffix = tr(" (critical)");
    else if (band() == Band::Warning)
        suffix = tr(" (warning)");
    const double span = m_maximum - m_minimum;
    const long percent = std::lround(span > 0 ? 100.0 * (m_value - m_minimum) / span : 0.0);
    setAccessibleName(tr("Level: %1 %").arg(percent) + suffix);
}
