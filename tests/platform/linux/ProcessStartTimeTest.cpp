#include "platform/linux/ProcessStartTime.h"

#include <QProcess>

#include <gtest/gtest.h>

TEST(ProcessStartTime, ReadsTheStartTickPastANameWithSpacesAndParentheses)
{
    EXPECT_EQ(ProcessStartTime::startTicks("977 (a) b (c)) R 1 977 977 0 -1 4194560 1 1 0 0 10 20 0 0 20 0 1 0 123456 9 100"), 123456u);
    EXPECT_FALSE(ProcessStartTime::startTicks("12 (short) S 1 2 3"));
    EXPECT_FALSE(ProcessStartTime::startTicks("no name at all"));
}

// Within a clock tick (10 ms) of the moment the process was started, on a
// busy machine too: the request pipe's age is judged by it.
TEST(ProcessStartTime, LiesBetweenTheMomentsAroundTheStart)
{
    const QDateTime before = QDateTime::currentDateTimeUtc();
    QProcess process;
    process.start(QStringLiteral("sleep"), {QStringLiteral("5")});
    ASSERT_TRUE(process.waitForStarted());
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const std::optional<QDateTime> launch = ProcessStartTime::of(process.processId());
    process.kill();
    process.waitForFinished();
    ASSERT_TRUE(launch);
    EXPECT_GE(*launch, before.addMSecs(-20));
    EXPECT_LE(*launch, after.addMSecs(20));
    EXPECT_FALSE(ProcessStartTime::of(0));
}
