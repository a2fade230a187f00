#include "platform/statusbar/OwnStatusBar.h"

#include "platform/statusbar/OwnBarWindow.h"
#include "platform/statusbar/WaylandLayerShell.h"

#include <QMenu>


OwnStatusBar::OwnStatusBar()
    : m_window(std::make_unique<OwnBarWindow>(*this))
{
    m_window->relayout();
    m_window->show();
}

OwnStatusBar::~OwnStatusBar() = default;

QWidget* OwnStatusBar::window() const
{
    return m_window.get();
}

void OwnStatusBar::itemsDidChange()
{
    // A new image repaints only its own button.
    for (StatusItem* item : statusItems()) {
        connect(item, &StatusItem::changed, m_window.get(), &OwnBarWindow::repaintChangedItem, Qt::UniqueConnection);
    }
}

void OwnStatusBar::popUpMenu(StatusItem& item)
{
    WaylandLayerShell* shell = m_window->layerShell();
    QMenu* menu = item.menu();
    if (shell && menu)
        WaylandLayerShell::prepareWindow(*menu);
    StatusBar::popUpMenu(item);
    if (shell && menu && menu->isVisible())
        shell->attachMenu(*menu, m_window->windowHandle(), m_window->frameOf(item));
}

QRect OwnStatusBar::buttonFrame(const StatusItem& item) const
{
    const QRect frame = m_window->frameOf(item);
    if (frame.isEmpty())
        return {};
    return frame.translated(m_window->mapToGlobal(QPoint(0, 0)));
}

qreal OwnStatusBar::devicePixelRatio() const
{
    return m_window->keptDevicePixelRatio();
}

QPalette OwnStatusBar::palette() const
{
    return m_window->keptPalette();
}
