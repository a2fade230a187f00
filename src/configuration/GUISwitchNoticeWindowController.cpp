#include "configuration/GUISwitchNoticeWindowController.h"

#include "configuration/SwitchNoticeSketches.h"
#include "platform/statusbar/WaylandLayerShell.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QWidget>

GUISwitchNoticeWindowController::GUISwitchNoticeWindowController()
    : m_window(std::make_unique<QWidget>(nullptr,
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput
            | Qt::WindowDoesNotAcceptFocus))
    , m_switchNoticeMessage(new QLabel)
    , m_switchNoticeSketch(new QLabel)
{
    m_window->setObjectName(QStringLiteral("switchNoticeWindow"));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    m_window->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(m_window.get());
    layout->setContentsMargins(16, 12, 20, 12);
    layout->setSpacing(14);
    layout->addWidget(m_switchNoticeSketch);
    QFont font = m_switchNoticeMessage->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    font.setBold(true);
    m_switchNoticeMessage->setFont(font);
    layout->addWidget(m_switchNoticeMessage);

    m_windowTimer.setSingleShot(true);
    m_windowTimer.setInterval(DisplayMs);
    connect(&m_windowTimer, &QTimer::timeout, this, &GUISwitchNoticeWindowController::fadeOut);
    m_windowAnimation.setTargetObject(m_window.get());
    m_windowAnimation.setPropertyName("windowOpacity");
    m_windowAnimation.setDuration(FadeMs);
    m_windowAnimation.setStartValue(1.0);
    m_windowAnimation.setEndValue(0.0);
    m_windowAnimation.setEasingCurve(QEasingCurve::OutQuad);
    connect(&m_windowAnimation, &QPropertyAnimation::finished, this, &GUISwitchNoticeWindowController::confirmEndOfNotification);
}

GUISwitchNoticeWindowController::~GUISwitchNoticeWindowController()
{
    m_windowAnimation.stop();
    m_windowAnimation.setTargetObject(nullptr);
}

void GUISwitchNoticeWindowController::runNotificationForGUIEnabled(bool enabled, std::function<void()> endBlock)
{
    if (isNotificationRunning())
        cancelNotification();
    m_endBlock = std::move(endBlock);
    m_switchNoticeMessage->setText(enabled ? tr("Switching to normal App controls") : tr("Switching to 'menu-bar only'"));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        m_switchNoticeSketch->setPixmap(SwitchNoticeSketches::image(
            enabled ? QStringLiteral("SwitchFullGUI") : QStringLiteral("SwitchMenuBar"), m_window->palette(),
            screen->devicePixelRatio()));
        m_window->adjustSize();
        m_window->move(windowOriginOnScreen(screen->geometry(), m_window->size()));
        WaylandLayerShell* shell = WaylandLayerShell::instance();
        if (shell)
            WaylandLayerShell::prepareWindow(*m_window);
        m_window->show();
        m_window->raise();
        if (shell)
            shell->attachNotice(*m_window);
    }
    m_windowTimer.start();
}

bool GUISwitchNoticeWindowController::isNotificationRunning() const
{
    return m_windowTimer.isActive() || m_windowAnimation.state() == QAbstractAnimation::Running;
}

void GUISwitchNoticeWindowController::cancelNotification()
{
    m_windowTimer.stop();
    m_windowAnimation.stop();
    m_window->hide();
    m_window->setWindowOpacity(1.0);
    m_endBlock = nullptr;
}

void GUISwitchNoticeWindowController::fadeOut()
{
    if (WaylandLayerShell::windowsFade())
        m_windowAnimation.start();
    else
        confirmEndOfNotification();
}

void GUISwitchNoticeWindowController::confirmEndOfNotification()
{
    m_windowTimer.stop();
    m_windowAnimation.stop();
    m_window->hide();
    m_window->setWindowOpacity(1.0);
    // The action may start the next notice, which sets its own.
    std::function<void()> endBlock = std::move(m_endBlock);
    m_endBlock = nullptr;
    if (endBlock)
        endBlock();
}

QPoint GUISwitchNoticeWindowController::windowOriginOnScreen(const QRect& screen, const QSize& window)
{
    // The notice is placed by its bottom-left corner, measured up from
    // the screen's bottom; Qt measures the top-left corner down from the top.
    const int left = screen.x() + int(0.9 * screen.width()) - window.width();
    const int bottomFromBelow = int(0.9 * screen.height()) - window.height();
    const int top = screen.y() + screen.height() - bottomFromBelow - window.height();
    return {left, top};
}
