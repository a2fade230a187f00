#pragma once

#include <QObject>
#include <QPoint>
#include <QPropertyAnimation>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QWidget;

// The short notice near the top-right corner of the screen that tells the
// user the application switches between its full interface and the menu bar
// only: shown for two seconds, then faded out over one. Only one notice runs
// at a time.
class GUISwitchNoticeWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr int DisplayMs = 2000;
    static constexpr int FadeMs = 1000;

    GUISwitchNoticeWindowController();
    ~GUISwitchNoticeWindowController() override;

    // Cancels a running notice first. The end action runs once the notice has
    // faded out, never when it is cancelled.
    void runNotificationForGUIEnabled(bool enabled, std::function<void()> endBlock = {});
    // True while the display timer or the fade runs.
    bool isNotificationRunning() const;
    void cancelNotification();
    // The end of the fade: hides the window and runs the end action.
    void confirmEndOfNotification();

    // Top-left corner of the notice: 0.9 of the screen's size from its
    // bottom-left corner, less the notice's size, in each axis.
    static QPoint windowOriginOnScreen(const QRect& screen, const QSize& window);

    QWidget* window() const { return m_window.get(); }
    QLabel* switchNoticeMessage() const { return m_switchNoticeMessage; }
    QLabel* switchNoticeSketch() const { return m_switchNoticeSketch; }

private:
    void fadeOut();

    std::unique_ptr<QWidget> m_window;
    QLabel* m_switchNoticeMessage;
    QLabel* m_switchNoticeSketch;
    QTimer m_windowTimer;
    QPropertyAnimation m_windowAnimation;
    std::function<void()> m_endBlock;
};
