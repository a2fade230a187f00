#pragma once

#include "platform/statusbar/StatusNotifierIcon.h"
#include "platform/statusbar/StatusNotifierTypes.h"
#include "platform/statusbar/StatusItem.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class DBusMenuExporter;
class StatusBar;
class QMenu;

// One status item published as an org.kde.StatusNotifierItem. Each item has
// its own connection to the bus, so that its bus name, and with it its place
// in the tray, goes away with the item. The icon is the item's button as the
// own bar would draw it, at its true width; changes are published at most once
// per pass of the event loop (so once per sampling tick), and an icon whose
// pixels did not change is not announced. Tool tips carry a live value, so a
// change of them is announced at most once per ToolTipInterval (hosts that
// read the property still get the newest one).
class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* ItemPath = "/StatusNotifierItem";
    static constexpr const char* MenuPath = "/MenuBar";
    static constexpr int ToolTipIntervalMs = 5000;

    using IdSource = std::function<QString(const StatusItem&)>;

    // The bus at the address, or the session bus for an empty address; the
    // number makes its bus names unique. The id, what hosts know the item by,
    // is taken from the source when the item first registers, once its owner
    // has named it.
    StatusNotifierItem(StatusItem& item, const QString& busAddress, int number, IdSource idSource);
    ~StatusNotifierItem() override;

    // A named connection to the bus at the address, or to the session bus.
    static QDBusConnection connectToBus(const QString& busAddress, const QString& name);

    // False when the bus could not be reached; the item then shows nowhere.
    bool isConnected() const { return m_connection.isConnected(); }
    QString serviceName() const { return m_serviceName; }
    StatusItem* statusItem() const { return m_item; }

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString status() const { return m_status; }
    QString iconName() const { return m_icon.iconName(); }
    QString iconThemePath() const { return m_icon.iconName().isEmpty() ? QString() : m_icon.themePath(); }
    StatusNotifierPixmaps iconPixmap() const { return m_icon.pixmaps(); }
    StatusNotifierToolTip toolTip() const;
    QDBusObjectPath menuPath() const;
    DBusMenuExporter* menuExporter() const { return m_menuExporter.get(); }

    // Where the host last asked the item to act, in screen coordinates.
    QPoint activationPoint() const { return m_activationPoint; }
    // A click on the item in the host: the item's own menu opens there.
    void activate(int x, int y);

    // Asks the watcher to show the item, as again when a new watcher appears;
    // nothing before the item has a picture.
    void registerWithWatcher();
    // Publishes what changed once control returns to the event loop.
    void scheduleUpdate();
    // Publishes what changed now.
    void update();
    void setToolTipInterval(int milliseconds) { m_toolTipTimer.setInterval(milliseconds); }

Q_SIGNALS:
    void newIcon();
    void newTitle();
    void newToolTip();
    void newStatus(const QString& status);

private:
    void followMenu(QMenu* menu);
    StatusNotifierIcon::Renderings renderIcon(const StatusBar& bar) const;
    void announceToolTip();

    QPointer<StatusItem> m_item;
    QString m_connectionName;
    QDBusConnection m_connection;
    QString m_serviceName;
    IdSource m_idSource;
    QString m_id;
    StatusNotifierIcon m_icon;
    QString m_title;
    QString m_toolTip;
    QString m_status;
    QPointer<QMenu> m_menu;
    std::unique_ptr<DBusMenuExporter> m_menuExporter;
    QPoint m_activationPoint;
    QTimer m_updateTimer;
    QTimer m_toolTipTimer;
    bool m_toolTipPending = false;
};
