#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>

class StatusBar;
class StatusItem;
class QWidget;

// One status item in an XEmbed system tray. Qt docks a QSystemTrayIcon in a
// window of its own, a 22-pixel square into which it paints the icon scaled
// to fit. Once that window is known it is widened to the button's width: the
// tray sizes its socket from the window's minimum-size hint, so the button
// shows at its true width, one pixel per pixel.
class XEmbedTrayIcon : public QObject {
    Q_OBJECT
public:
    XEmbedTrayIcon(StatusBar& bar, StatusItem& item);

    // Follows the item: shown or hidden, its tool tip, width and button.
    void update();
    // Takes the docked window Qt made for this icon.
    void adopt(QWidget* window);

    QSystemTrayIcon& trayIcon() { return m_icon; }
    QWidget* window() const { return m_window; }
    // Global frame of the docked window; empty while none is known.
    QRect frame() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Renders the item's button into the icon at the window's size.
    void repaint();
    void fitWindow();
    int buttonWidth() const;

    StatusBar& m_bar;
    StatusItem& m_item;
    QSystemTrayIcon m_icon;
    QPointer<QWidget> m_window;
};
