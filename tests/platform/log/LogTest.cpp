#include "platform/log/LogCapture.h"

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

TEST(LogFormat, FillsEveryPlaceholderFormInOrder)
{
    EXPECT_EQ(Log::format("%{public}@: could not handle change of user default '%{public}@'.",
                  {QStringLiteral("QRNCPUMonitorItem"), QStringLiteral("Foo")}),
        QStringLiteral("QRNCPUMonitorItem: could not handle change of user default 'Foo'."));
    EXPECT_EQ(Log::format("%@ has %d of %lu, %s at %.2f%%", {QStringLiteral("disk0"), 3, 10ULL, QStringLiteral("x"), 0.5}),
        QStringLiteral("disk0 has 3 of 10, x at 0.500000%"));
    EXPECT_EQ(Log::format("%x/%X/%o", {255, 255, 8}), QStringLiteral("ff/FF/10"));
    EXPECT_EQ(Log::format("open failed: %{errno}d", {ENOENT}),
        QStringLiteral("open failed: %1 (%2)").arg(QString::fromLocal8Bit(strerror(ENOENT))).arg(ENOENT));
}

TEST(LogFormat, KeepsWhatItCannotFill)
{
    // Too few arguments, an unknown conversion and a dangling percent stay visible.
    EXPECT_EQ(Log::format("%@ and %@", {QStringLiteral("one")}), QStringLiteral("one and %@"));
    EXPECT_EQ(Log::format("100%q done %", {}), QStringLiteral("100%q done %"));
    EXPECT_EQ(Log::format("%{public@", {QStringLiteral("x")}), QStringLiteral("%{public@"));
    EXPECT_EQ(Log::format("%@", {QVariant()}), QStringLiteral("(null)"));
}

TEST(LogCapture, SeesEveryLevelAndRestoresThePreviousSink)
{
    int outer = 0;
    const auto previous = Log::setSink([&outer](LogLevel, const QString&) { ++outer; });
    {
        LogCapture capture;
        Log::debug("d");
        Log::error("%{public}@: e", {QStringLiteral("X")});
        Log::fault("f");
        EXPECT_EQ(capture.entries().size(), 3u);
        EXPECT_TRUE(capture.contains(LogLevel::Error, QStringLiteral("X: e")));
        EXPECT_EQ(capture.messages(LogLevel::Fault), QStringList{QStringLiteral("f")});
        EXPECT_EQ(outer, 0);
    }
    Log::info("after");
    EXPECT_EQ(outer, 1);
    Log::setSink(previous);
}

TEST(LogLevels, AreNamedAsInTheEnvironmentVariable)
{
    EXPECT_EQ(Log::levelNamed(QStringLiteral("DEBUG")), LogLevel::Debug);
    EXPECT_EQ(Log::levelNamed(QStringLiteral("fault")), LogLevel::Fault);
    EXPECT_FALSE(Log::levelNamed(QStringLiteral("verbose")));
}
