#include "app/OpenMenuTracker.h"

#include "items/QRNMonitorItem.h"
#include "platform/statusbar/StatusItem.h"

#include <QCursor>

OpenMenuTracker::OpenMenuTracker(Candidates candidates)
    : mouseLocation([] { return QCursor::pos(); })
    , m_candidates(std::move(candidates))
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &OpenMenuTracker::trackMouseWhileMenuOpen);
}

void OpenMenuTracker::registerOpenMenuForMonitorItem(QRNMonitorItem* item)
{
    m_itemWithOpenMenu = item;
    if (item)
        m_timer.start();
    else
        m_timer.stop();
    Q_EMIT menuOpenChanged(item != nullptr);
}

void OpenMenuTracker::menuClosed(QRNMonitorItem* item)
{
    if (!m_itemWithOpenMenu || m_itemWithOpenMenu == item)
        registerOpenMenuForMonitorItem(nullptr);
}

void OpenMenuTracker::trackMouseWhileMenuOpen()
{
    if (!m_itemWithOpenMenu)
        return;
    const QPoint mouse = mouseLocation();
    for (QRNMonitorItem* candidate : m_candidates()) {
        if (!candidate->statusItem() || !candidate->statusItem()->buttonFrameOnScreen().contains(mouse))
            continue;
        if (candidate == m_itemWithOpenMenu)
            break;
        m_timer.stop();
        if (m_itemWithOpenMenu)
            m_itemWithOpenMenu->closeAttachedMenu();
        // Open the neighbour once the closing menu has finished closing.
        QPointer<QRNMonitorItem> next(candidate);
        QTimer::singleShot(0, this, [next] {
            if (next)
                next->openAttachedMenu();
        });
    }
}
