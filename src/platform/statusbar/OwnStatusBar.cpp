#include "platform/statusbar/OwnStatusBar.h"

#include "platform/statusbar/OwnBarWindow.h"
#include "platform/statusbar/WaylandLayerShell.h"

#include <QMenu>
#include <QPointer>
#include <QWindow>


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
    if (!shell || !menu) {
        StatusBar::popUpMenu(item);
        return;
    }
    // A Wayland menu is a popup of the panel: Qt must leave its surface
    // without a role, and the shell gives it one once it is shown.
    if (!menu->windowFlags().testFlag(Qt::BypassWindowManagerHint))
        menu->setWindowFlag(Qt::BypassWindowManagerHint);
    StatusBar::popUpMenu(item);
    if (!menu->isVisible())
        return;
    QWindow* window = menu->windowHandle();
    connect(menu, &QMenu::aboutToHide, m_window.get(), [shell, window] { shell->detachPopup(window); },
        Qt::SingleShotConnection);
    QPointer<QMenu> guarded(menu);
    shell->attachPopup(window, m_window->windowHandle(), m_window->frameOf(item), [guarded] {
        if (guarded)
            guarded->hide();
    });
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
    return m_window->devicePixelRatioF();
}

QPalette OwnStatusBar::palette() const
{
    return m_window->palette();
}
