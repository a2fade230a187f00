#include "platform/statusbar/DBusMenuExporter.h"

#include "platform/statusbar/DBusMenuRow.h"

#include <QAction>
#include <QActionEvent>
#include <QMenu>

DBusMenuExporter::DBusMenuExporter(QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_menu(menu)
{
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &DBusMenuExporter::refresh);
    m_openLimit.setSingleShot(true);
    m_openLimit.setInterval(UnconfirmedOpenLimitMs);
    connect(&m_openLimit, &QTimer::timeout, this, [this] {
        if (m_menu)
            setOpen(*m_menu, false);
    });
    if (m_menu) {
        m_menu->installEventFilter(this);
        scan(*m_menu, 0, DBusMenuRow::menuWidth(*m_menu), m_snapshot);
    }
}

void DBusMenuExporter::scheduleRefresh()
{
    m_refreshTimer.start();
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
    case QEvent::ActionChanged:
        scheduleRefresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

int DBusMenuExporter::idOf(QAction* action)
{
    const auto it = m_ids.constFind(action);
    if (it != m_ids.constEnd())
        return *it;
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    // A later action at the same address must not inherit the id.
    connect(action, &QObject::destroyed, this, [this, action, id] {
        m_ids.remove(action);
        m_actions.remove(id);
    });
    return id;
}

QMenu* DBusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return m_menu;
    const QPointer<QAction> action = m_actions.value(id);
    return action ? action->menu() : nullptr;
}

void DBusMenuExporter::scan(QMenu& menu, int parentId, int width, Snapshot& out)
{
    QList<int>& children = out.children[parentId];
    for (QAction* action : menu.actions()) {
        const std::optional<QVariantMap> properties = DBusMenuRow::propertiesOf(*action, width);
        if (!properties)
            continue;
        const int id = idOf(action);
        children.append(id);
        out.properties.insert(id, *properties);
        if (QMenu* submenu = action->menu()) {
            submenu->installEventFilter(this);
            scan(*submenu, id, DBusMenuRow::menuWidth(*submenu), out);
        }
    }
}

bool DBusMenuExporter::refresh()
{
    m_refreshTimer.stop();
    if (!m_menu)
        return false;
    Snapshot now;
    scan(*m_menu, 0, DBusMenuRow::menuWidth(*m_menu), now);

    DBusMenuItemPropertiesList updated;
    DBusMenuItemRemovedPropertiesList removed;
    for (auto it = now.properties.constBegin(); it != now.properties.constEnd(); ++it) {
        const auto before = m_snapshot.properties.constFind(it.key());
        if (before == m_snapshot.properties.constEnd())
            continue;
        QVariantMap changed;
        for (auto p = it->constBegin(); p != it->constEnd(); ++p) {
            if (before->value(p.key()) != p.value())
                changed.insert(p.key(), p.value());
        }
        QStringList gone;
        for (auto p = before->constBegin(); p != before->constEnd(); ++p) {
            if (!it->contains(p.key()))
                gone.append(p.key());
        }
        if (!changed.isEmpty())
            updated.append({it.key(), changed});
        if (!gone.isEmpty())
            removed.append({it.key(), gone});
    }
    const bool layoutChanged = now.children != m_snapshot.children;
    m_snapshot = std::move(now);
    if (layoutChanged)
        Q_EMIT layoutUpdated(++m_revision, 0);
    if (!updated.isEmpty() || !removed.isEmpty())
        Q_EMIT itemsPropertiesUpdated(updated, removed);
    return layoutChanged || !updated.isEmpty() || !removed.isEmpty();
}

QVariantMap DBusMenuExporter::filtered(const QVariantMap& properties, const QStringList& names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap out;
    for (const QString& name : names) {
        const auto it = properties.constFind(name);
        if (it != properties.constEnd())
            out.insert(name, *it);
    }
    return out;
}

DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, int depth, const QStringList& names) const
{
    DBusMenuLayoutItem item;
    item.id = id;
    item.properties = filtered(m_snapshot.properties.value(id), names);
    const auto children = m_snapshot.children.constFind(id);
    if (id == 0)
        item.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    if (depth == 0 || children == m_snapshot.children.constEnd())
        return item;
    for (int child : *children)
        item.children.append(layoutOf(child, depth < 0 ? -1 : depth - 1, names));
    return item;
}

bool DBusMenuExporter::layout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayoutItem& out)
{
    refresh();
    if (parentId != 0 && !m_snapshot.properties.contains(parentId))
        return false;
    out = layoutOf(parentId, recursionDepth, propertyNames);
    return true;
}

DBusMenuItemPropertiesList DBusMenuExporter::groupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    refresh();
    DBusMenuItemPropertiesList out;
    for (int id : ids) {
        const auto it = m_snapshot.properties.constFind(id);
        if (it != m_snapshot.properties.constEnd())
            out.append({id, filtered(*it, propertyNames)});
    }
    return out;
}

std::optional<QVariant> DBusMenuExporter::property(int id, const QString& name)
{
    refresh();
    const auto it = m_snapshot.properties.constFind(id);
    if (it == m_snapshot.properties.constEnd())
        return std::nullopt;
    return it->value(name);
}

void DBusMenuExporter::setOpen(QMenu& menu, bool open)
{
    if (&menu == m_menu.data()) {
        if (m_open == open)
            return;
        m_open = open;
        if (open && !m_hostSendsEvents)
            m_openLimit.start();
        else
            m_openLimit.stop();
    }
    if (open)
        Q_EMIT menu.aboutToShow();
    else
        Q_EMIT menu.aboutToHide();
}

bool DBusMenuExporter::handleEvent(int id, const QString& eventId)
{
    if (id != 0 && !m_actions.value(id))
        return false;
    if (eventId == QLatin1String("clicked")) {
        QPointer<QAction> action = m_actions.value(id);
        if (!action || !action->isEnabled() || action->menu())
            return true;
        // Choosing a row closes the host's menu.
        if (m_menu)
            setOpen(*m_menu, false);
        QTimer::singleShot(0, action, [action] {
            if (action)
                action->trigger();
        });
    } else if (eventId == QLatin1String("opened") || eventId == QLatin1String("closed")) {
        if (id == 0) {
            m_hostSendsEvents = true;
            m_openLimit.stop();
        }
        if (QMenu* menu = menuOf(id))
            setOpen(*menu, eventId == QLatin1String("opened"));
    }
    return true;
}

std::optional<bool> DBusMenuExporter::aboutToShow(int id)
{
    QMenu* menu = menuOf(id);
    if (!menu)
        return std::nullopt;
    setOpen(*menu, true);
    return refresh();
}
