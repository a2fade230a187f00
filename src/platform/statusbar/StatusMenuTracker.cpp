#include "platform/statusbar/StatusMenuTracker.h"

#include "platform/statusbar/StatusBar.h"

#include <QCursor>
#include <QMenu>

StatusMenuTracker::StatusMenuTracker(QObject* parent)
    : QObject(parent)
    , mouseLocation([] { return QCursor::pos(); })
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StatusMenuTracker::track);
}

void StatusMenuTracker::setItemWithOpenMenu(StatusItem* item)
{
    if (item == m_open)
        return;
    if (!item) {
        if (m_open != m_closing)
            m_closedByUser = m_open;
        m_closing = nullptr;
        m_open = nullptr;
        m_timer.stop();
        return;
    }
    m_open = item;
    if (m_next != item)
        m_next = nullptr;
    m_timer.start();
}

StatusItem* StatusMenuTracker::itemUnder(const StatusBar& bar, const QPoint& point)
{
    StatusItem* found = nullptr;
    for (StatusItem* item : bar.statusItems()) {
        if (!item->buttonFrameOnScreen().contains(point))
            continue;
        // Overlapping buttons: nobody can tell which one the user means.
        if (found)
            return nullptr;
        found = item;
    }
    return found;
}

void StatusMenuTracker::track()
{
    StatusBar* bar = m_open ? m_open->statusBar() : nullptr;
    if (!bar || !bar->knowsButtonFrames() || m_next)
        return;
    const QPoint mouse = mouseLocation();
    if (m_closedByUser && !m_closedByUser->buttonFrameOnScreen().contains(mouse))
        m_closedByUser = nullptr;
    StatusItem* target = itemUnder(*bar, mouse);
    // Only a menu this process shows can be handed over.
    QMenu* openMenu = m_open->menu();
    if (!target || target == m_open || target == m_closedByUser || !target->menu() || !openMenu || !openMenu->isVisible())
        return;
    m_next = target;
    m_closing = m_open;
    openMenu->hide();
    // The neighbour opens once the closing menu has finished closing.
    QTimer::singleShot(0, this, &StatusMenuTracker::openNext);
}

void StatusMenuTracker::openNext()
{
    QPointer<StatusItem> next = m_next;
    m_next = nullptr;
    if (next && !m_open)
        next->popUpMenu();
}
