#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

class QAction;
class QMenu;

// How one row of a status-item menu reads over com.canonical.dbusmenu, where
// rows cannot carry their own views. Custom rows describe themselves through
// their accessible name: "label\tvalue" becomes a plain row "label value" (a
// bold one is a heading, shown disabled), any other name marks a picture such
// as a graph, sent as an image of the view; a custom row without a name (a
// width-keeping spacer) is left out. Only properties that differ
// from the protocol's defaults are listed.
struct DBusMenuRow {
    // Width of the widest row, in points: the width custom views are drawn at.
    static int menuWidth(const QMenu& menu);
    // The row's properties, or none for a row that is not exported.
    static std::optional<QVariantMap> propertiesOf(QAction& action, int menuWidth);
    // Qt's "&" mnemonics in dbusmenu's "_" notation.
    static QString label(const QString& text);
    // A "label\tvalue" pair as one line. Hosts cannot be told to align a
    // value column: Qt's menus take the tab as the start of a shortcut column,
    // GTK's as a tab stop that falls differently on every row. Joined by one
    // space after the label's colon, the row reads the same in both.
    static QString joinedPair(const QString& pair);
};
