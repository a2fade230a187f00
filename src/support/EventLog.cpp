#include "support/EventLog.h"

namespace {
constexpr qsizetype MaximumLines = 5000;

struct EventLogState {
    bool enabled = false;
    QStringList lines;
};

EventLogState& state()
{
    static EventLogState s;
    return s;
}
} // namespace

void EventLog::setEnabled(bool enabled)
{
    state().enabled = enabled;
}

bool EventLog::isEnabled()
{
    return state().enabled;
}

void EventLog::append(const QString& line)
{
    auto& s = state();
    if (!s.enabled)
        return;
    s.lines.append(line);
    if (s.lines.size() > MaximumLines)
        s.lines.removeFirst();
}

QStringList EventLog::lines()
{
    return state().lines;
}

void EventLog::clear()
{
    state().lines.clear();
}
