#pragma once

#include "platform/statusbar/DBusMenuTypes.h"
#include "platform/statusbar/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A tray on a private bus: the watcher items register with, and a host that
// reads their properties and menus and records every signal they send.
class TestTray : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit TestTray(const QString& busAddress);
    ~TestTray() override;

    bool startWatcher();
    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // Runs the event loop until the answer is in: the item answers from this thread.
    QDBusMessage call(const QString& service, const QString& path, const QString& interface, const QString& method,
        const QVariantList& arguments = {});
    QVariantMap itemProperties(const QString& service);
    StatusNotifierPixmaps iconPixmaps(const QString& service);
    std::optional<DBusMenuLayoutItem> menuLayout(const QString& service);
    // One line per visible row: "-----" for separators, "[image]" for pictures, " (disabled)" appended.
    static QString menuText(const DBusMenuLayoutItem& layout);
    // The first row with that label, or -1.
    static int rowId(const DBusMenuLayoutItem& layout, const QString& label);

    const QList<QDBusMessage>& receivedSignals() const { return m_signals; }
    int signalCount(const QString& member) const;
    void clearSignals() { m_signals.clear(); }
    bool isServiceOnBus(const QString& service) const;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { m_items.append(service); }
    void RegisterStatusNotifierHost(const QString&) { }

private Q_SLOTS:
    void record(const QDBusMessage& message) { m_signals.append(message); }

private:
    QString m_connectionName;
    QDBusConnection m_connection;
    QStringList m_items;
    QList<QDBusMessage> m_signals;
};
