#include "platform/statusbar/StatusNotifierItemAdaptor.h"

#include "platform/statusbar/StatusNotifierItem.h"

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item)
    , m_item(*item)
{
    setAutoRelaySignals(false);
    connect(item, &StatusNotifierItem::newIcon, this, &StatusNotifierItemAdaptor::NewIcon);
    connect(item, &StatusNotifierItem::newTitle, this, &StatusNotifierItemAdaptor::NewTitle);
    connect(item, &StatusNotifierItem::newToolTip, this, &StatusNotifierItemAdaptor::NewToolTip);
    connect(item, &StatusNotifierItem::newStatus, this, &StatusNotifierItemAdaptor::NewStatus);
}

QString StatusNotifierItemAdaptor::id() const
{
    return m_item.id();
}

QString StatusNotifierItemAdaptor::title() const
{
    return m_item.title();
}

QString StatusNotifierItemAdaptor::status() const
{
    return m_item.status();
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return m_item.menuPath();
}

QString StatusNotifierItemAdaptor::iconThemePath() const
{
    return m_item.iconThemePath();
}

QString StatusNotifierItemAdaptor::iconName() const
{
    return m_item.iconName();
}

StatusNotifierPixmaps StatusNotifierItemAdaptor::iconPixmap() const
{
    return m_item.iconPixmap();
}

StatusNotifierToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return m_item.toolTip();
}

void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    m_item.activate(x, y);
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    m_item.activate(x, y);
}

// Hosts send these for middle clicks and the wheel; the items have no use for
// them, but must answer rather than fail the call.
void StatusNotifierItemAdaptor::SecondaryActivate(int, int)
{
}

void StatusNotifierItemAdaptor::Scroll(int, const QString&)
{
}
