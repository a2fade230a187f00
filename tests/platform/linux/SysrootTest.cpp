#include "platform/linux/Sysroot.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

namespace {
// Sets or clears VISTREL_SYSROOT for the life of the object.
class ScopedSysrootVariable : public ScopedEnvironmentVariable {
public:
    explicit ScopedSysrootVariable(const QByteArray& value)
        : ScopedEnvironmentVariable("VISTREL_SYSROOT", value)
    {
    }
};
} // namespace

TEST(Sysroot, ArgumentThenEnvironmentThenRoot)
{
    {
        const ScopedSysrootVariable unset {QByteArray()};
        EXPECT_EQ(Sysroot().path(QStringLiteral("etc/os-release")), QStringLiteral("/etc/os-release"));
        EXPECT_EQ(Sysroot(QStringLiteral("/m")).path(QStringLiteral("proc")), QStringLiteral("/m/proc"));
        EXPECT_EQ(Sysroot(QStringLiteral("/m/")).root(), QStringLiteral("/m/"));
    }
    const ScopedSysrootVariable set {"/saved/machine"};
    EXPECT_EQ(Sysroot().path(QStringLiteral("proc/1/comm")), QStringLiteral("/saved/machine/proc/1/comm"));
    EXPECT_EQ(Sysroot(QStringLiteral("/given")).root(), QStringLiteral("/given/"));
}
