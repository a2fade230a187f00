#pragma once

#include <QObject>
#include <QTimer>

// Hands back the pages only start-up, a menu or the window touched, once
// Vistrel has been left alone in the bar for a while.
class IdlePageRelease : public QObject {
    Q_OBJECT
public:
    IdlePageRelease();

    // A window or menu in use keeps the pages; leaving them all starts the wait.
    void setInUse(bool inUse);
    bool isWaiting() const { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
