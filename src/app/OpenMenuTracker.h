#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

#include "items/QRNMonitorItem.h"

// Lets the user slide along the bar from one open item menu to the next:
// while a menu is open, the mouse is looked at ten times a second, and when
// it rests over another item's button that item's menu replaces the open one.
class OpenMenuTracker : public QObject {
    Q_OBJECT
public:
    // The items that can take over, in bar order.
    using Candidates = std::function<std::vector<QRNMonitorItem*>()>;

    explicit OpenMenuTracker(Candidates candidates);

    // The item whose menu opened, or null when it closed.
    void registerOpenMenuForMonitorItem(QRNMonitorItem* item);
    // A menu closed; a late close of an earlier menu does not end the tracking
    // of the one opened since.
    void menuClosed(QRNMonitorItem* item);
    void trackMouseWhileMenuOpen();

    QRNMonitorItem* itemWithOpenMenu() const { return m_itemWithOpenMenu; }
    bool isTracking() const { return m_timer.isActive(); }

    // Where the mouse is, in global screen coordinates; tests replace it.
    std::function<QPoint()> mouseLocation;

Q_SIGNALS:
    void menuOpenChanged(bool open);

private:
    Candidates m_candidates;
    QPointer<QRNMonitorItem> m_itemWithOpenMenu;
    QTimer m_timer;
};
