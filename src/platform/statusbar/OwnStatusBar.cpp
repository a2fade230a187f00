#include "platform/statusbar/OwnStatusBar.h"

#include "platform/statusbar/OwnBarWindow.h"


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
