#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

class QAction;
class QMenu;

// How one row of a status-item menu reads over com.canonical.dbusmenu, where
// rows cannot carry their own views. Custom rows describe themselves through
// their accessible name: "label\tvalue" becomes a plain row of that text (a
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
};
