#include "app/EventLog.h"
#include "instruments/ActivityState.h"
#include "instruments/QRNHotPluggableInstrument.h"
#include "platform/log/LogCapture.h"

#include <gtest/gtest.h>

TEST(SystemInstrument, BaseSampleReportsTheMissingOverrideEveryTime)
{
    LogCapture log;
    QRNSystemInstrument instrument;
    instrument.collectNewSample();
    instrument.collectNewSample();
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList(2, QStringLiteral("QRNSystemInstrument: -collectNewSample must be overridden in subclass.")));
}

TEST(ActivityState, OutgoingWinsOnlyWhenStrictlyLarger)
{
    const ActivityCounters start{100, 50};
    EXPECT_EQ(activityStateBetween(start, {100, 50}), ActivityState::Idle);
    EXPECT_EQ(activityStateBetween(start, {110, 50}), ActivityState::Incoming);
    EXPECT_EQ(activityStateBetween(start, {110, 60}), ActivityState::Incoming);
    EXPECT_EQ(activityStateBetween(start, {101, 60}), ActivityState::Outgoing);
    // A counter that restarts reads as a huge change, never as a negative one.
    EXPECT_EQ(activityStateBetween(start, {100, 10}), ActivityState::Outgoing);
    EXPECT_EQ(activityStateBetween(start, {5, 50}), ActivityState::Incoming);
    EXPECT_EQ(activityStateText(ActivityState::Sleeping), QStringLiteral("ZZZ"));
    EXPECT_EQ(activityStateText(ActivityState::Idle), QStringLiteral("   "));
}

TEST(HotPluggableInstrument, ProcessesEachRealChangeOnce)
{
    EventLog::clear();
    EventLog::setEnabled(true);
    QRNHotPluggableInstrument instrument;
    instrument.setIsOffline(false);
    EXPECT_TRUE(EventLog::lines().isEmpty());
    instrument.setIsOffline(true);
    instrument.setIsOffline(true);
    EXPECT_EQ(instrument.description(), QStringLiteral("<QRNHotPluggableInstrument>: hotplug status: offline\n"));
    instrument.setIsOffline(false);
    EXPECT_EQ(EventLog::lines(), (QStringList{
        QStringLiteral("QRNHotPluggableInstrument is processing a hot-plug notification. The new state is offline.\n"),
        QStringLiteral("QRNHotPluggableInstrument is processing a hot-plug notification. The new state is online.\n")}));
    EventLog::setEnabled(false);
    EventLog::clear();
}
