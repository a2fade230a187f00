#pragma once

#include <QString>
#include <QStringList>

// Applications installed on the desktop, found through their .desktop files
// in the XDG data folders.
class DesktopApplications {
public:
    // The command line of the first listed application that is installed and
    // can run here; empty when none is.
    static QStringList commandOfFirstInstalled(const QStringList& desktopIds, const QStringList& dataDirectories = {});
    // Starts the first one that is installed; false when none is.
    static bool launchFirstInstalled(const QStringList& desktopIds);
    // The system monitors of the usual desktops, most specific first.
    static QStringList systemMonitors();

    // The Exec line of a desktop entry as arguments, field codes removed.
    static QStringList execArguments(const QString& exec);
    // The value of a key in the "[Desktop Entry]" group; empty when missing.
    static QString entryValue(const QString& contents, const QString& key);
};
