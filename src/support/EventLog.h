#pragma once

#include <QString>
#include <QStringList>

// The user-visible event log, switched on by the setting "EnableEventLogging".
// Lines end in a line feed. While logging is off, appending does nothing.
class EventLog {
public:
    static void setEnabled(bool enabled);
    static bool isEnabled();
    static void append(const QString& line);
    // The lines written since logging was switched on, oldest first (bounded).
    static QStringList lines();
    static void clear();
};
