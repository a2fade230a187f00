#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

class QImage;

// The wire shapes of org.kde.StatusNotifierItem.

// One image of an icon: width and height in pixels, then the pixels as ARGB32
// in network byte order ("(iiay)").
struct StatusNotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    static StatusNotifierPixmap fromImage(const QImage& image);
    QImage toImage() const;
};
using StatusNotifierPixmaps = QList<StatusNotifierPixmap>;

// A tool tip: icon name, icon images, title and description ("(sa(iiay)ss)").
struct StatusNotifierToolTip {
    QString iconName;
    StatusNotifierPixmaps iconPixmap;
    QString title;
    QString description;
};

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip);

// Makes the types known to Qt D-Bus; call before exporting or reading them.
void registerStatusNotifierTypes();

Q_DECLARE_METATYPE(StatusNotifierPixmap)
Q_DECLARE_METATYPE(StatusNotifierToolTip)
