#include "platform/linux/HostFacts.h"

#include "platform/linux/FixtureSysroot.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(HostFacts, ReadsSavedMachines)
{
    const HostFacts laptop(FixtureSysroot::fixture(QStringLiteral("laptop-2cpu-t0")));
    EXPECT_EQ(laptop.availableProcessors(), 2u);
    EXPECT_EQ(laptop.physicalProcessors(), 2u);
    EXPECT_EQ(laptop.bootTime(), 1714000000);
    EXPECT_EQ(laptop.processCount(), 3u);

    // Two packages of four cores, two threads per core: core numbers repeat
    // in each package, so only (package, core) pairs tell the cores apart.
    const HostFacts workstation(FixtureSysroot::fixture(QStringLiteral("workstation-16cpu-t0")));
    EXPECT_EQ(workstation.availableProcessors(), 16u);
    EXPECT_EQ(workstation.physicalProcessors(), 8u);
    EXPECT_EQ(workstation.processCount(), 4u);
}

TEST(HostFacts, AnswersNoneWithoutItsSources)
{
    FixtureSysroot sysroot(QStringLiteral("laptop-2cpu-t0"));
    QFile coreId(sysroot.root() + QStringLiteral("/sys/devices/system/cpu/cpu1/topology/core_id"));
    ASSERT_TRUE(coreId.open(QIODevice::WriteOnly | QIODevice::Truncate));
    coreId.write("-1\n");
    coreId.close();
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

TEST(HostFacts, ReadsThisMachine)
{
    const HostFacts facts(QStringLiteral("/"));
    EXPECT_EQ(facts.availableProcessors(), static_cast<quint32>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_GE(facts.physicalProcessors().value_or(0), 1u);
    EXPECT_LE(facts.physicalProcessors().value_or(0), static_cast<quint32>(sysconf(_SC_NPROCESSORS_CONF)));
    EXPECT_GT(facts.bootTime().value_or(0), 0);
    EXPECT_LT(facts.bootTime().value_or(0), QDateTime::currentSecsSinceEpoch());
    // This test's own process is one of them.
    EXPECT_GE(facts.processCount().value_or(0), 1u);
}
