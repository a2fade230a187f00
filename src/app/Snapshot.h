#pragma once

#include <QString>
#include <QStringList>

class StatusBar;

// Writes what the status bar shows: per status item its button as PNG and its
// menu as text, named by position (1 = rightmost) and autosave name.
class Snapshot {
public:
    // Returns the files written; on failure, none and a message.
    static QStringList write(const StatusBar& bar, const QString& directory, QString* error);
};
