#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The wire shapes of com.canonical.dbusmenu.

// A row and, recursively, its children ("(ia{sv}av)", each child a variant).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// A row's properties ("(ia{sv})").
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// Names of properties a row no longer has ("(ias)").
struct DBusMenuItemRemovedProperties {
    int id = 0;
    QStringList names;
};
using DBusMenuItemRemovedPropertiesList = QList<DBusMenuItemRemovedProperties>;

// One event of EventGroup ("(isvu)").
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemRemovedProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemRemovedProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

// Makes the types known to Qt D-Bus; call before exporting or reading them.
void registerDBusMenuTypes();

Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuItemRemovedProperties)
Q_DECLARE_METATYPE(DBusMenuEvent)
