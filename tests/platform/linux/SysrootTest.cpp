#include "platform/linux/Sysroot.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

TEST(Sysroot, ArgumentThenEnvironmentThenRoot)
{
    {
        const ScopedEnvironmentVariable unset("VISTREL_SYSROOT", QByteArray());
        EXPECT_EQ(Sysroot().path(QStringLiteral("etc/os-release")), QStringLiteral("/etc/os-release"));
        EXPECT_EQ(Sysroot(QStringLiteral("/m")).path(QStringLiteral("proc")), QStringLiteral("/m/proc"));
        EXPECT_EQ(Sysroot(QStringLiteral("/m/")).root(), QStringLiteral("/m/"));
    }
    const ScopedEnvironmentVariable set("VISTREL_SYSROOT", "/saved/machine");
    EXPECT_EQ(Sysroot().path(QStringLiteral("proc/1/comm")), QStringLiteral("/saved/machine/proc/1/comm"));
    EXPECT_EQ(Sysroot(QStringLiteral("/given")).root(), QStringLiteral("/given/"));
}
