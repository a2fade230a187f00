#pragma once

#include <QByteArray>
#include <QString>

// Starting Vistrel at login: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/vistrel.desktop, which the desktop session reads
// at every login. The file is the only state, so what the user or the
// desktop's session settings do to it is what Vistrel reports.
class LoginItem {
public:
    static QString entryPath();
    // The entry exists and the desktop does not skip it.
    static bool isEnabled();
    // Writes or removes the entry; false, and logged, when that fails.
    static bool setEnabled(bool enabled);

    // Whether an entry with these contents starts the program: session
    // settings switch an entry off with "Hidden=true" or, on GNOME,
    // "X-GNOME-Autostart-enabled=false".
    static bool isEnabledEntry(const QString& contents);
    // The entry that starts the program at that path.
    static QByteArray entryForExecutable(const QString& path);
};
