#include "support/EventLog.h"

#include <deque>

namespace {
// A report left on for weeks stays a few megabytes; the oldest events go first.
constexpr std::size_t MaximumEntries = 5000;

struct Entry {
    QString text;
    QString message;
};

struct EventLogState {
    bool enabled = false;
    QString header;
    std::deque<Entry> entries;
    EventLog::Listener listener;
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

void EventLog::append(const QString& message)
{
    if (state().enabled)
        appendString(message, true);
}

void EventLog::appendString(const QString& text, bool withTime)
{
    if (text.isEmpty())
        return;
    auto& s = state();
    QString added = text;
    if (withTime) {
        added = QStringLiteral("%1: %2").arg(timeStamp(QDateTime::currentDateTime()), text);
        s.entries.push_back({added, text});
        if (s.entries.size() > MaximumEntries)
            s.entries.pop_front();
    } else if (s.entries.empty()) {
        s.header += text;
    } else {
        s.entries.push_back({added, text});
    }
    if (s.listener)
        s.listener(added);
}

QStringList EventLog::lines()
{
    QStringList messages;
    for (const Entry& entry : state().entries)
        messages << entry.message;
    return messages;
}

QString EventLog::reportText()
{
    QString text = state().header;
    for (const Entry& entry : state().entries)
        text += entry.text;
    return text;
}

void EventLog::clear()
{
    state().header.clear();
    state().entries.clear();
}

EventLog::Listener EventLog::setListener(Listener listener)
{
    return std::exchange(state().listener, std::move(listener));
}

QString EventLog::timeStamp(const QDateTime& time)
{
    const int offset = time.offsetFromUtc() / 60;
    const int magnitude = std::abs(offset);
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        + QStringLiteral(" %1%2%3")
              .arg(QChar(offset < 0 ? u'-' : u'+'))
              .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
              .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}
