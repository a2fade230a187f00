#include "instruments/ActivityState.h"

QString activityStateText(ActivityState state)
{
    switch (state) {
    case ActivityState::Idle: return QStringLiteral("   ");
    case ActivityState::Incoming: return QStringLiteral("RRR");
    case ActivityState::Outgoing: return QStringLiteral("SSS");
    case ActivityState::Sleeping: return QStringLiteral("ZZZ");
    case ActivityState::NoInformation: return QStringLiteral("---");
    }
    return QStringLiteral("---");
}

ActivityState activityStateBetween(const ActivityCounters& last, const ActivityCounters& current)
{
    const quint64 incoming = current.incoming - last.incoming;
    const quint64 outgoing = current.outgoing - last.outgoing;
    if (outgoing > incoming)
        return ActivityState::Outgoing;
    if (incoming != 0)
        return ActivityState::Incoming;
    return ActivityState::Idle;
}
