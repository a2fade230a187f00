#pragma once

#include <QString>
#include <QtGlobal>

// Activity state shared by the activity instruments and the state cells.
enum class ActivityState : quint32 {
    Idle = 0,
    Incoming = 1,  // read / receive
    Outgoing = 2,  // write / send dominates
    Sleeping = 3,  // disks only
    NoInformation = 4,
};

// The three-letter text the diagnostic descriptions use for a state.
QString activityStateText(ActivityState state);

// Counter pair of one device: first = incoming, second = outgoing.
struct ActivityCounters {
    quint64 incoming = 0;
    quint64 outgoing = 0;
    bool operator==(const ActivityCounters&) const = default;
};

// Derives the state from two successive counter pairs; differences are taken
// modulo 2^64, so a counter that goes backwards reads as a huge change.
ActivityState activityStateBetween(const ActivityCounters& last, const ActivityCounters& current);
