#include "platform/statusbar/XEmbedTrayStatusBar.h"

#include "platform/log/Log.h"
#include "platform/statusbar/XEmbedTrayIcon.h"

#include <QCoreApplication>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

XEmbedTrayStatusBar::XEmbedTrayStatusBar()
{
    QCoreApplication::instance()->installEventFilter(this);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::notice("%{public}@: no system tray is running; the items appear when one starts.",
            {QStringLiteral("XEmbedTrayStatusBar")});
}

XEmbedTrayStatusBar::~XEmbedTrayStatusBar() = default;

XEmbedTrayIcon* XEmbedTrayStatusBar::iconOf(const StatusItem& item) const
{
    const auto it = m_icons.find(&item);
    return it == m_icons.end() ? nullptr : it->second.get();
}

QRect XEmbedTrayStatusBar::buttonFrame(const StatusItem& item) const
{
    const XEmbedTrayIcon* icon = iconOf(item);
    return icon ? icon->frame() : QRect();
}

void XEmbedTrayStatusBar::itemsDidChange()
{
    const auto& items = statusItems();
    std::erase_if(m_icons, [&items](const auto& entry) {
        return std::find(items.begin(), items.end(), entry.first) == items.end();
    });
    // Icons are created in item order, which is the order the tray docks them.
    for (StatusItem* item : items) {
        auto& icon = m_icons[item];
        if (!icon)
            icon = std::make_unique<XEmbedTrayIcon>(*this, *item);
        icon->update();
    }
}

bool XEmbedTrayStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType() && watched->objectName() == TrayWindowName) {
        adoptTrayWindow(static_cast<QWidget*>(watched));
    } else if (m_asking && event->type() == QEvent::Wheel) {
        for (const auto& [item, icon] : m_icons) {
            if (&icon->trayIcon() == watched) {
                m_owner = icon.get();
                return true;
            }
        }
    }
    return false;
}

void XEmbedTrayStatusBar::adoptTrayWindow(QWidget* window)
{
    // Qt keeps private which icon a tray window serves, but the window hands
    // wheel events on to its icon: one wheel event, caught on its way to the
    // icon, names the owner.
    m_owner = nullptr;
    m_asking = true;
    QWheelEvent question(QPointF(), QPointF(), QPoint(), QPoint(), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
        false);
    QCoreApplication::sendEvent(window, &question);
    m_asking = false;
    if (m_owner)
        m_owner->adopt(window);
    else
        Log::error("%{public}@: a tray window belongs to no status item; it stays as Qt sized it.",
            {QStringLiteral("XEmbedTrayStatusBar")});
}
