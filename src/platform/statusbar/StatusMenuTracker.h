#pragma once

#include "platform/statusbar/StatusItem.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>

// Open-menu tracking: while the menu of one status item is open, moving the
// pointer onto another item's button closes that menu and opens the other's,
// as along a menu bar. It acts only where the bar knows where its buttons are
// (a tray host does not say), only when the pointer is over exactly one
// button, at most one opening at a time, and it never reopens a menu the user
// closed until the pointer has left that item's button.
class StatusMenuTracker : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;

    explicit StatusMenuTracker(QObject* parent = nullptr);

    // Where the pointer is, in global screen coordinates; tests replace it.
    std::function<QPoint()> mouseLocation;

    // The item whose menu just opened, or null once the open menu closed.
    void setItemWithOpenMenu(StatusItem* item);
    StatusItem* itemWithOpenMenu() const { return m_open; }
    bool isTracking() const { return m_timer.isActive(); }

    // One look at the pointer; runs every IntervalMs while a menu is open.
    void track();

private:
    // The one item whose button is under the pointer, or null.
    static StatusItem* itemUnder(const StatusBar& bar, const QPoint& point);
    void openNext();

    QPointer<StatusItem> m_open;
    // Closed by the tracker itself, so not by the user.
    QPointer<StatusItem> m_closing;
    QPointer<StatusItem> m_closedByUser;
    QPointer<StatusItem> m_next;
    QTimer m_timer;
};
