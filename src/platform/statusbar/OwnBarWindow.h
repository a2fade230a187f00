#pragma once

#include "platform/statusbar/StatusItem.h"

#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class StatusBar;
class WaylandLayerShell;
class X11ImageUpload;

// The window of the own bar. It spans the top of the primary screen and
// reserves its height: on X11 a dock window with a strut, on Wayland a
// layer-shell panel with an exclusive zone.
class OwnBarWindow : public QWidget {
    Q_OBJECT
public:
    explicit OwnBarWindow(StatusBar& bar);
    ~OwnBarWindow() override;

    // Recomputes the button frames (window coordinates) and repaints.
    void relayout();
    QRect frameOf(const StatusItem& item) const;
    StatusItem* itemAt(const QPoint& position) const;
    // The layer shell that holds the bar on Wayland; null on X11.
    WaylandLayerShell* layerShell() const { return m_layerShell; }
    // Repaints the button of the item whose look changed (the signal's sender).
    void repaintChangedItem();
    // The window's device pixel ratio and palette, which every item asks for
    // on every tick; kept until an event may have changed them, since
    // working them out goes through the screen, the style and the focus.
    qreal keptDevicePixelRatio();
    const QPalette& keptPalette();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void placeOnScreen();
    void markAsDock();
    // The background and the buttons in the area (window coordinates); the
    // painter's origin stands for the window point given.
    void paintArea(QPainter& painter, const QRect& area, const QPoint& origin);
    // The area into the upload pixels without a painter; false when a button needs one.
    bool paintAreaPixels(const QRect& area);
    // Draws the area and puts it on the X11 window itself; false when it cannot.
    bool uploadDirectly(const QRect& area);

    StatusBar& m_bar;
    WaylandLayerShell* m_layerShell;
    std::vector<QRect> m_frames;
    // The item the user is dragging with Ctrl held, to take it out of the bar.
    QPointer<StatusItem> m_dragged;
    std::optional<qreal> m_devicePixelRatio;
    std::optional<QPalette> m_palette;
    std::unique_ptr<X11ImageUpload> m_upload;
    QImage m_uploadPixels;
    // Put on the window without the backing store, which still holds the
    // older pixels there; repainted before an expose shows the store.
    QRegion m_staleInBackingStore;
};
