#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// The diagnostic report: a header written once at start-up, then, while the
// setting "EnableEventLogging" is on, one time-stamped entry per notable event
// (menus, network and disk changes, ...). Messages carry their own line feed.
// Main thread only.
class EventLog {
public:
    static void setEnabled(bool enabled);
    static bool isEnabled();
    // An event: added with the current time while logging is on, else dropped.
    static void append(const QString& message);
    // The raw append: the text as it stands or behind a time stamp; empty text adds nothing.
    static void appendString(const QString& text, bool withTime);

    // The messages of the events, oldest first, without their time stamps (bounded).
    static QStringList lines();
    // Everything the report shows, as it would be saved.
    static QString reportText();
    static void clear();

    // Called with each piece of text added to the report; replaces the previous
    // listener, which is answered.
    using Listener = std::function<void(const QString&)>;
    static Listener setListener(Listener listener);

    // "2026-12-06 21:15:00 +0100": date, local time and its offset from UTC.
    static QString timeStamp(const QDateTime& time);
};
