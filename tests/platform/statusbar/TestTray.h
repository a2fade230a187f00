#pragma once

#include "platform/statusbar/DBusMenuTypes.h"
#include "platform/statusbar/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A small tray for tests on a private bus: the StatusNotifierWatcher that
// items register with, and a host that reads their properties and menus the
// way desktop trays do and records every signal they send.
class TestTray : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit TestTray(const QString& busAddress);
    ~TestTray() override;

    bool isConnected() const { return m_connection.isConnected(); }
    // Takes the watcher's name; items then register with this tray.
    bool startWatcher();

    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // Calls a method and runs the event loop until the answer is in (the
    // item answers from this very thread).
    QDBusMessage call(const QString& service, const QString& path, const QString& interface, const QString& method,
        const QVariantList& arguments = {});
    // Every property of the item, as a host reads them with one GetAll.
    QVariantMap itemProperties(const QString& service);
    StatusNotifierPixmaps iconPixmaps(const QString& service);
    // GetLayout of the whole menu; none when the call failed.
    std::optional<DBusMenuLayoutItem> menuLayout(const QString& service);
    // The menu as text, one line per visible row: the label, "-----" for a
    // separator, " (disabled)" after rows that cannot be chosen, "[image]"
    // for rows that are pictures.
    static QString menuText(const DBusMenuLayoutItem& layout);
    // The id of the first row whose label reads so, or -1.
    static int rowId(const DBusMenuLayoutItem& layout, const QString& label);

    // Signals received so far, in order, from any item.
    const QList<QDBusMessage>& receivedSignals() const { return m_signals; }
    int signalCount(const QString& member) const;
    void clearSignals() { m_signals.clear(); }

    bool isServiceOnBus(const QString& service) const;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

private Q_SLOTS:
    void record(const QDBusMessage& message);

private:
    QString m_connectionName;
    QDBusConnection m_connection;
    QStringList m_items;
    QList<QDBusMessage> m_signals;
};
