#pragma once

#include "platform/statusbar/StatusItem.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

class StatusBar;

// The window of the own bar. It spans the top of the primary screen, is
// marked as a dock for the window manager and reserves its height as a strut.
class OwnBarWindow : public QWidget {
    Q_OBJECT
public:
    explicit OwnBarWindow(StatusBar& bar);

    // Recomputes the button frames (window coordinates) and repaints.
    void relayout();
    QRect frameOf(const StatusItem& item) const;
    StatusItem* itemAt(const QPoint& position) const;
    // Repaints the button of the item whose look changed (the signal's sender).
    void repaintChangedItem();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void placeOnScreen();
    void markAsDock();

    StatusBar& m_bar;
    std::vector<QRect> m_frames;
    // The item the user is dragging with Ctrl held, to take it out of the bar.
    QPointer<StatusItem> m_dragged;
};
