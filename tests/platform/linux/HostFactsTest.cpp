#include "platform/linux/HostFacts.h"

#include "platform/linux/FixtureSysroot.h"

#include <gtest/gtest.h>

TEST(HostFacts, AnswersNoneWithoutItsSources)
{
    FixtureSysroot sysroot(QStringLiteral("laptop-2cpu-t0"));
    sysroot.writeFile(QStringLiteral("sys/devices/system/cpu/cpu1/topology/core_id"), "-1\n");
    EXPECT_EQ(HostFacts(sysroot.root()).physicalProcessors(), 1u);

    const HostFacts withoutSys(FixtureSysroot::fixture(QStringLiteral("counter-wrap-t0")));
    EXPECT_EQ(withoutSys.physicalProcessors(), std::nullopt);
    EXPECT_EQ(withoutSys.processCount(), 0u);

    const FixtureSysroot empty;
    const HostFacts nothing(empty.root());
    EXPECT_EQ(nothing.availableProcessors(), std::nullopt);
    EXPECT_EQ(nothing.bootTime(), std::nullopt);
    EXPECT_EQ(nothing.processCount(), std::nullopt);
}

