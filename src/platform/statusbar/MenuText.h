#pragma once

#include <QString>

class QMenu;

// A menu as plain text, one line per row: the row's text, "-----" for a
// separator; rows that cannot be chosen end in " (disabled)"; submenus are
// indented. Custom rows are read through their accessible name.
struct MenuText {
    static QString of(const QMenu& menu);
};
