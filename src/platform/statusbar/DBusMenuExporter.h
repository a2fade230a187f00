#pragma once

#include "platform/statusbar/DBusMenuTypes.h"

#include <QDBusContext>
#include <QHash>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

class QAction;

// Publishes a QMenu as a com.canonical.dbusmenu tree: every action gets a
// stable id (the menu itself is 0), the layout and row properties are read
// from the live menu, and changes go out as LayoutUpdated (rows added,
// removed or reordered) or ItemsPropertiesUpdated (only the rows and
// properties that changed). The host opening and closing the menu reach the
// menu's owner as aboutToShow/aboutToHide, so it fills in current values.
// Some hosts (xfce4-panel) never say "closed": a menu opened by AboutToShow
// alone counts as closed after a while, unless the host has shown that it
// sends "opened" and "closed" itself. Its D-Bus face is DBusMenuAdaptor,
// which answers errors through the call context the exporter holds.
class DBusMenuExporter : public QObject, public QDBusContext {
    Q_OBJECT
public:
    static constexpr int UnconfirmedOpenLimitMs = 30000;

    explicit DBusMenuExporter(QMenu* menu, QObject* parent = nullptr);
    void setUnconfirmedOpenLimit(int milliseconds) { m_openLimit.setInterval(milliseconds); }

    QMenu* menu() const { return m_menu; }
    uint revision() const { return m_revision; }
    // True between the host's "opened" (or AboutToShow) and "closed".
    bool isOpen() const { return m_open; }

    // The subtree under the row (0: the whole menu), depth -1 for all levels;
    // answers the layout's revision. False for an unknown row.
    bool layout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayoutItem& out);
    DBusMenuItemPropertiesList groupProperties(const QList<int>& ids, const QStringList& propertyNames);
    std::optional<QVariant> property(int id, const QString& name);
    // "clicked" runs the row's command once the call has been answered;
    // "opened"/"closed" open and close the menu. False for an unknown row.
    bool handleEvent(int id, const QString& eventId);
    // The host is about to show the row's submenu (0: the menu). True when
    // the rows changed as the menu filled in its values; none for a row
    // without a submenu.
    std::optional<bool> aboutToShow(int id);

    // Reads the menu again and announces what changed; true if anything did.
    bool refresh();
    // A refresh once control returns to the event loop, however often asked.
    void scheduleRefresh();

Q_SIGNALS:
    void layoutUpdated(uint revision, int parent);
    void itemsPropertiesUpdated(const DBusMenuItemPropertiesList& updated,
        const DBusMenuItemRemovedPropertiesList& removed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Snapshot {
        QHash<int, QList<int>> children;
        QHash<int, QVariantMap> properties;
    };

    void scan(QMenu& menu, int parentId, int width, Snapshot& out);
    int idOf(QAction* action);
    QMenu* menuOf(int id) const;
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names) const;
    static QVariantMap filtered(const QVariantMap& properties, const QStringList& names);
    void setOpen(QMenu& menu, bool open);

    QPointer<QMenu> m_menu;
    QHash<QAction*, int> m_ids;
    QHash<int, QPointer<QAction>> m_actions;
    int m_nextId = 1;
    uint m_revision = 1;
    bool m_open = false;
    // The host announces opening and closing with events.
    bool m_hostSendsEvents = false;
    Snapshot m_snapshot;
    QTimer m_refreshTimer;
    QTimer m_openLimit;
};
