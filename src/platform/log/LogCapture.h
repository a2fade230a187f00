#pragma once

#include "platform/log/Log.h"

#include <QStringList>

#include <vector>

// Collects every log message while it lives; restores the previous sink after.
class LogCapture {
public:
    struct Entry {
        LogLevel level;
        QString message;
    };

    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<Entry>& entries() const { return m_entries; }
    QStringList messages(LogLevel level) const;
    bool contains(LogLevel level, const QString& message) const;
    void clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
    Log::Sink m_previous;
};
