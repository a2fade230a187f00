#pragma once

#include "platform/statusbar/StatusBar.h"

#include <QDBusConnection>

#include <map>
#include <memory>

class QDBusServiceWatcher;
class StatusNotifierItem;

// Status items in the desktop's system tray: each one is published by
// Vistrel itself as a StatusNotifierItem with its menu over dbusmenu, its
// image at its true width (a tray icon drawn by Qt would be padded to a
// square). Needs a StatusNotifierWatcher on the bus; items register again
// whenever a new watcher appears.
class TrayStatusBar : public StatusBar {
    Q_OBJECT
public:
    // The bus at the address, or the session bus for an empty address.
    explicit TrayStatusBar(const QString& busAddress = QString());
    ~TrayStatusBar() override;

    // Where the host last activated the item, as large as the item; empty
    // before any click, since hosts do not tell where they show items.
    QRect buttonFrame(const StatusItem& item) const override;
    bool knowsButtonFrames() const override { return false; }
    // On Wayland the host's item is no window of Vistrel's to hang the menu
    // from; there it becomes a free surface of the layer shell.
    void popUpMenu(StatusItem& item) override;

    // The published form of a linked item, or null.
    StatusNotifierItem* notifierItem(const StatusItem& item) const;

protected:
    void itemsDidChange() override;

private:
    QString uniqueId(const StatusItem& item) const;

    QString m_busAddress;
    QString m_connectionName;
    QDBusConnection m_connection;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    std::map<const StatusItem*, std::unique_ptr<StatusNotifierItem>> m_notifiers;
};
