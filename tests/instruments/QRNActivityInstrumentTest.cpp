#include "instruments/QRNActivityInstrument.h"

#include "platform/log/LogCapture.h"
#include "platform/registry/InstalledFixtureRegistry.h"
#include "storage/QRNIORegistryEntry.h"

#include <deque>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Reads its counters from a queue, as a device driver would report them.
class ScriptedActivityInstrument : public QRNActivityInstrument {
public:
    ScriptedActivityInstrument(std::shared_ptr<QRNIORegistryEntry> entry, std::deque<ActivityCounters> samples)
        : QRNActivityInstrument(std::move(entry))
        , m_samples(std::move(samples))
    {
        setDeviceIdentification(QStringLiteral("Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)"));
    }

    void collectNewSample() override
    {
        setLastCounters(currentCounters());
        setCurrentCounters(m_samples.front());
        m_samples.pop_front();
    }
    QString className() const override { return QStringLiteral("ScriptedActivityInstrument"); }

private:
    std::deque<ActivityCounters> m_samples;
};

class QRNActivityInstrumentTest : public ::testing::Test {
protected:
    ActivityState stateAfter(std::deque<ActivityCounters> samples)
    {
        const size_t count = samples.size();
        ScriptedActivityInstrument instrument(QRNIORegistryEntry::initWithIOKitHandle(m_fixture["nvme-driver"]), std::move(samples));
        for (size_t i = 0; i < count; ++i)
            instrument.collectNewSample();
        return instrument.currentActivity();
    }

    InstalledFixtureRegistry m_fixture;
};

constexpr quint64 Max = std::numeric_limits<quint64>::max();

} // namespace

TEST_F(QRNActivityInstrumentTest, StateFollowsTheLargerDifference)
{
    EXPECT_EQ(stateAfter({{100, 50}, {100, 50}}), ActivityState::Idle);
    EXPECT_EQ(stateAfter({{100, 50}, {110, 50}}), ActivityState::Incoming);
    // Equal differences count as incoming; outgoing must be strictly larger.
    EXPECT_EQ(stateAfter({{100, 50}, {110, 60}}), ActivityState::Incoming);
    EXPECT_EQ(stateAfter({{100, 50}, {101, 60}}), ActivityState::Outgoing);
    EXPECT_EQ(stateAfter({{100, 50}, {100, 51}}), ActivityState::Outgoing);
}

TEST_F(QRNActivityInstrumentTest, DroppedCountersReadAsHugeChanges)
{
    // A driver restart: the incoming counter drops, which wraps to almost 2^64.
    EXPECT_EQ(stateAfter({{100, 50}, {10, 60}}), ActivityState::Incoming);
    EXPECT_EQ(stateAfter({{100, 50}, {200, 0}}), ActivityState::Outgoing);
    // Wrapping past 2^64 is a small forward step.
    EXPECT_EQ(stateAfter({{Max, 0}, {1, 0}}), ActivityState::Incoming);
    EXPECT_EQ(stateAfter({{Max - 1, Max}, {Max - 1, 0}}), ActivityState::Outgoing);
}

TEST_F(QRNActivityInstrumentTest, IdleUntilTwoSamplesDiffer)
{
    EXPECT_EQ(stateAfter({}), ActivityState::Idle);
    // The first sample is measured against zero counters only until the next.
    EXPECT_EQ(stateAfter({{0, 0}}), ActivityState::Idle);
    EXPECT_EQ(stateAfter({{100, 50}, {110, 60}, {110, 60}}), ActivityState::Idle);
}

TEST_F(QRNActivityInstrumentTest, FactoryNeedsAnEntry)
{
    EXPECT_EQ(QRNActivityInstrument::initWithIORegistryEntry(nullptr), nullptr);
    const auto entry = QRNIORegistryEntry::initWithIOKitHandle(m_fixture["usb-driver"]);
    const auto instrument = QRNActivityInstrument::initWithIORegistryEntry(entry);
    ASSERT_NE(instrument, nullptr);
    EXPECT_EQ(instrument->deviceEntry(), entry);
    EXPECT_EQ(instrument->currentCounters(), ActivityCounters{});
    EXPECT_EQ(instrument->lastCounters(), ActivityCounters{});
    EXPECT_EQ(instrument->currentActivity(), ActivityState::Idle);
}

TEST_F(QRNActivityInstrumentTest, TheBaseTakesNoSampleAndSaysSo)
{
    const auto instrument = QRNActivityInstrument::initWithIORegistryEntry(QRNIORegistryEntry::initWithIOKitHandle(m_fixture["usb-driver"]));
    instrument->setCurrentCounters({7, 3});
    LogCapture capture;
    instrument->collectNewSample();
    EXPECT_TRUE(capture.contains(LogLevel::Error, QStringLiteral("QRNActivityInstrument: -collectNewSample must be overridden in subclass.")));
    EXPECT_EQ(instrument->currentCounters(), (ActivityCounters{7, 3}));
}

TEST_F(QRNActivityInstrumentTest, DescriptionNamesDeviceAndState)
{
    ScriptedActivityInstrument instrument(QRNIORegistryEntry::initWithIOKitHandle(m_fixture["nvme-driver"]), {{1, 1}, {1, 9}});
    EXPECT_EQ(instrument.description(), QStringLiteral("<ScriptedActivityInstrument>: activity of device 'Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)': '   '\n"));
    instrument.collectNewSample();
    instrument.collectNewSample();
    EXPECT_EQ(instrument.description(), QStringLiteral("<ScriptedActivityInstrument>: activity of device 'Samsung SSD 980 PRO 1TB (S5GXNX0T123456K)': 'SSS'\n"));
}

TEST_F(QRNActivityInstrumentTest, CounterPairsAreNeverTorn)
{
    // A writer stores pairs whose members are equal; a reader on another
    // thread must never see members of two different pairs.
    const auto instrument = QRNActivityInstrument::initWithIORegistryEntry(QRNIORegistryEntry::initWithIOKitHandle(m_fixture["nvme-driver"]));
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (quint64 i = 1; i <= 20000; ++i)
            instrument->setCurrentCounters({i, i});
        done = true;
    });
    int torn = 0;
    while (!done) {
        const ActivityCounters counters = instrument->currentCounters();
        if (counters.incoming != counters.outgoing)
            ++torn;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(instrument->currentCounters(), (ActivityCounters{20000, 20000}));
}
