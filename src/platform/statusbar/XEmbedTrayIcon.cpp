#include "platform/statusbar/XEmbedTrayIcon.h"

#include "platform/statusbar/StatusBar.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

#include <cmath>

XEmbedTrayIcon::XEmbedTrayIcon(StatusBar& bar, StatusItem& item)
    : m_bar(bar)
    , m_item(item)
{
    connect(&item, &StatusItem::changed, this, &XEmbedTrayIcon::repaint);
    // Either button opens the item's menu under the icon, as in the own bar.
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
            m_item.popUpMenu();
    });
}

int XEmbedTrayIcon::buttonWidth() const
{
    return int(std::ceil(m_item.width()));
}

void XEmbedTrayIcon::update()
{
    m_icon.setToolTip(m_item.toolTip());
    if (m_window)
        fitWindow();
    repaint();
    // Showing may dock a window at once, which the bar hands to adopt().
    const bool shown = m_item.isVisible() && buttonWidth() > 0;
    if (shown != m_icon.isVisible())
        m_icon.setVisible(shown);
}

void XEmbedTrayIcon::adopt(QWidget* window)
{
    if (m_window == window)
        return;
    m_window = window;
    window->installEventFilter(this);
    fitWindow();
    repaint();
}

QRect XEmbedTrayIcon::frame() const
{
    if (!m_window || !m_icon.isVisible())
        return {};
    return QRect(m_window->mapToGlobal(QPoint(0, 0)), m_window->size());
}

bool XEmbedTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    // The tray decides the final size; the button follows it.
    if (watched == m_window && event->type() == QEvent::Resize)
        repaint();
    return false;
}

void XEmbedTrayIcon::fitWindow()
{
    const int width = buttonWidth();
    if (width <= 0)
        return;
    m_window->setMinimumWidth(width);
    if (m_window->width() != width)
        m_window->resize(width, m_window->height());
}

void XEmbedTrayIcon::repaint()
{
    const qreal ratio = m_bar.devicePixelRatio();
    const QImage button = m_item.renderButton(ratio, m_bar.palette());
    if (!m_window) {
        m_icon.setIcon(QIcon(QPixmap::fromImage(button)));
        return;
    }
    // The icon is painted scaled to fit the window, so it is made exactly the
    // window's size with the button centred unscaled: a tray a little lower
    // than the bar crops the button's outer rows instead of shrinking it.
    const QSize size = m_window->size();
    QImage canvas(size * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    const QSize buttonSize = (QSizeF(button.size()) / ratio).toSize();
    QPainter painter(&canvas);
    painter.drawImage(QPoint((size.width() - buttonSize.width()) / 2, (size.height() - buttonSize.height()) / 2), button);
    painter.end();
    m_icon.setIcon(QIcon(QPixmap::fromImage(canvas)));
}
