#include "instruments/QRNCPULoadInstrument.h"

#include "platform/linux/FixtureSysroot.h"
#include "platform/log/LogCapture.h"
#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

using Mode = QRNCPULoadInstrument::OperationMode;

namespace {

constexpr double Tolerance = 1e-12;

void expectLoads(const QRNCPULoadInstrument& instrument, quint64 index, const QRNCPULoadInstrument::LoadRow& expected)
{
    for (quint64 mode = 0; mode < QRNCPULoadInstrument::OperationModeCount; ++mode)
        EXPECT_NEAR(instrument.loadForOperationMode(mode, index), expected[mode], Tolerance)
            << "processor " << index << ", mode " << mode;
}

void expectAllZero(const QRNCPULoadInstrument& instrument)
{
    for (quint64 i = 0; i < instrument.activeCPUCount(); ++i)
        expectLoads(instrument, i, {0.0, 0.0, 0.0, 0.0});
}

// An instrument on a copy of the saved machine "<name>-t0"; sample(t) moves it to "<name>-t<t>".
struct SampledMachine {
    explicit SampledMachine(const QString& name)
        : name(name)
        , sysroot(name + QStringLiteral("-t0"))
        , instrument(sysroot.root())
    {
    }

    void sample(int t)
    {
        sysroot.useStatOf(QStringLiteral("%1-t%2").arg(name).arg(t));
        instrument.collectNewSample();
    }

    QString name;
    FixtureSysroot sysroot;
    QRNCPULoadInstrument instrument;
};

}

TEST(QRNCPULoadInstrument, MeasuresTicksBetweenTwoSamples)
{
    SampledMachine laptop(QStringLiteral("laptop-2cpu"));
    QRNCPULoadInstrument& instrument = laptop.instrument;
    ASSERT_EQ(instrument.activeCPUCount(), 2u);
    // The first sample is only the baseline.
    expectAllZero(instrument);

    laptop.sample(1);
    // cpu0 (user, system, idle, nice) 100, 50, 800, 0 -> 130, 60, 860, 10.
    expectLoads(instrument, 0, {30.0 / 110, 10.0 / 110, 60.0 / 110, 10.0 / 110});
    EXPECT_NEAR(instrument.totalLoadForProcessorAtIndex(0), 0.4545, 1e-4);
    // cpu1 also ran guest time, which the kernel already counts as user time.
    expectLoads(instrument, 1, {0.25, 0.125, 0.625, 0.0});
    EXPECT_NEAR(instrument.totalLoadForProcessorAtIndex(1), 0.375, Tolerance);
    EXPECT_NEAR(instrument.totalLoadForOperationMode(Mode::User), (30.0 / 110 + 0.25) / 2, Tolerance);
    EXPECT_NEAR(instrument.totalLoadForAllProcessors(), (50.0 / 110 + 0.375) / 2, Tolerance);
    EXPECT_EQ(instrument.lastLoadInfo()[0], (ProcessorTicks{130, 60, 860, 10}));
    EXPECT_EQ(instrument.loadForOperationMode(4, 0), 0.0);
    EXPECT_EQ(instrument.loadForOperationMode(Mode::User, 2), 0.0);
    EXPECT_EQ(instrument.totalLoadForProcessorAtIndex(2), 0.0);
    EXPECT_EQ(instrument.totalLoadForOperationMode(4), 0.0);

    // No tick moved since.
    instrument.collectNewSample();
    expectAllZero(instrument);
    EXPECT_EQ(instrument.totalLoadForAllProcessors(), 0.0);
}

TEST(QRNCPULoadInstrument, MeasuresAcrossTheThirtyTwoBitWrap)
{
    SampledMachine machine(QStringLiteral("counter-wrap"));
    machine.sample(1);
    // cpu0 user 2^32 - 6 -> 2^32 + 4, system sum 2^32 - 46 -> 2^32 + 104.
    expectLoads(machine.instrument, 0, {10.0 / 200, 150.0 / 200, 40.0 / 200, 0.0});
    // cpu1 beyond 2^33 in both samples.
    expectLoads(machine.instrument, 1, {0.5, 0.25, 0.25, 0.0});
}

TEST(QRNCPULoadInstrument, ACounterSteppingBackAdvancesByNothing)
{
    FixtureSysroot root;
    root.writeStat("cpu0 100 0 0 100 20 0 0 0\ncpu1 100 0 0 100 20 0 0 0\n");
    QRNCPULoadInstrument instrument(root.root());
    // Both were busy in user mode for 50 ticks; cpu1 also idled for 50. The
    // iowait of both fell back by 5 (the kernel's iowait may), so cpu0's
    // idle + iowait went back. (Wraps past 2^32 have a test of their own.)
    root.writeStat("cpu0 150 0 0 100 15 0 0 0\ncpu1 150 0 0 155 15 0 0 0\n");
    instrument.collectNewSample();
    expectLoads(instrument, 0, {1.0, 0.0, 0.0, 0.0});
    expectLoads(instrument, 1, {0.5, 0.0, 0.5, 0.0});
    EXPECT_NEAR(instrument.totalLoadForAllProcessors(), 0.75, Tolerance);
}

TEST(QRNCPULoadInstrument, StartsOverWhenTheProcessorCountChanges)
{
    SampledMachine machine(QStringLiteral("offline-cpu"));
    const QRNCPULoadInstrument& instrument = machine.instrument;
    ASSERT_EQ(instrument.activeCPUCount(), 4u);

    // cpu2 went offline: three rows, measured from this sample on.
    machine.sample(1);
    ASSERT_EQ(instrument.activeCPUCount(), 3u);
    EXPECT_EQ(instrument.loadValues().size(), 3u);
    expectAllZero(instrument);
    EXPECT_EQ(instrument.lastLoadInfo()[2], (ProcessorTicks{1040, 510, 9040, 0}));

    machine.sample(2);
    expectLoads(instrument, 0, {10.0 / 60, 10.0 / 60, 40.0 / 60, 0.0});
    expectLoads(instrument, 2, {40.0 / 90, 10.0 / 90, 40.0 / 90, 0.0});

    // It comes back online.
    machine.sample(0);
    ASSERT_EQ(instrument.activeCPUCount(), 4u);
    expectAllZero(instrument);
}

TEST(QRNCPULoadInstrument, KeepsItsValuesWhenASampleFails)
{
    SampledMachine laptop(QStringLiteral("laptop-2cpu"));
    laptop.sample(1);
    QRNCPULoadInstrument& instrument = laptop.instrument;
    const auto loads = instrument.loadValues();
    const auto lastInfo = instrument.lastLoadInfo();

    LogCapture log;
    for (const QByteArray& broken : {QByteArray("cpu0 1 2 3\ncpu1 1 2 3 4 5 6 7 8 9 10\n"),
                                     QByteArray("cpu0 130 10 46 835 25 6 6 two 0 0\ncpu1 1 2 3 4 5 6 7 8 9 10\n")}) {
        laptop.sysroot.writeStat(broken);
        instrument.collectNewSample();
        EXPECT_EQ(instrument.loadValues(), loads);
        EXPECT_EQ(instrument.lastLoadInfo(), lastInfo);
    }
    laptop.sysroot.removeStat();
    instrument.collectNewSample();
    EXPECT_EQ(instrument.loadValues(), loads);
    // One report for the whole run of failures.
    EXPECT_EQ(log.messages(LogLevel::Error),
        QStringList{QStringLiteral("QRNCPULoadInstrument: could not read the processor load information; keeping the previous loads.")});

    // The next good sample is measured against the last good one.
    laptop.sysroot.writeStat("cpu0 140 10 46 845 25 6 6 2 0 0\ncpu1 5050 200 1025 20125 0 0 0 0 120 0\n");
    instrument.collectNewSample();
    expectLoads(instrument, 0, {0.5, 0.0, 0.5, 0.0});
}

TEST(QRNCPULoadInstrument, HasNoProcessorsWithoutLoadInformation)
{
    const FixtureSysroot empty;
    LogCapture log;
    const QRNCPULoadInstrument instrument(empty.root());
    EXPECT_EQ(instrument.activeCPUCount(), 0u);
    EXPECT_EQ(instrument.totalLoadForOperationMode(Mode::User), 0.0);
    EXPECT_EQ(instrument.totalLoadForAllProcessors(), 0.0);
    EXPECT_EQ(log.messages(LogLevel::Error).size(), 1);
}

TEST(QRNCPULoadInstrument, CountsProcessorsOfTheSysrootInTheEnvironment)
{
    // Without a topology the physical count falls back to the logical one.
    const std::tuple<const char*, quint64, quint64> machines[] = {{"workstation-16cpu-t0", 16, 8}, {"counter-wrap-t0", 2, 2}};
    for (const auto& [machine, logical, physical] : machines) {
        const ScopedEnvironmentVariable environment("VISTREL_SYSROOT", FixtureSysroot::fixture(machine).toLocal8Bit());
        EXPECT_EQ(QRNCPULoadInstrument::numberOfActiveLogicalProcessors(), logical) << machine;
        EXPECT_EQ(QRNCPULoadInstrument::numberOfPhysicalProcessors(), physical) << machine;
        EXPECT_EQ(QRNCPULoadInstrument().activeCPUCount(), logical) << machine;
    }
}
