#include "instruments/QRNActivityInstrument.h"

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
    }
    void collectNewSample() override
    {
        takeSample(m_samples.front(), true);
        m_samples.pop_front();
    }

private:
    std::deque<ActivityCounters> m_samples;
};

constexpr quint64 Max = std::numeric_limits<quint64>::max();

TEST(QRNActivityInstrument, StateFollowsTheLargerDifferenceModulo64Bits)
{
    InstalledFixtureRegistry fixture;
    const std::pair<std::deque<ActivityCounters>, ActivityState> cases[] = {
        {{}, ActivityState::Idle},
        {{{0, 0}}, ActivityState::Idle},
        {{{100, 50}, {100, 50}}, ActivityState::Idle},
        {{{100, 50}, {110, 50}}, ActivityState::Incoming},
        // Equal differences count as incoming; outgoing must be strictly larger.
        {{{100, 50}, {110, 60}}, ActivityState::Incoming},
        {{{100, 50}, {101, 60}}, ActivityState::Outgoing},
        {{{100, 50}, {110, 60}, {110, 60}}, ActivityState::Idle},
        // A dropped counter (driver restart) wraps to almost 2^64: a huge change.
        {{{100, 50}, {10, 60}}, ActivityState::Incoming},
        {{{100, 50}, {200, 0}}, ActivityState::Outgoing},
        // Wrapping past 2^64 is a small forward step.
        {{{Max, 0}, {1, 0}}, ActivityState::Incoming},
        {{{Max - 1, Max}, {Max - 1, 0}}, ActivityState::Outgoing},
    };
    for (const auto& [samples, expected] : cases) {
        ScriptedActivityInstrument instrument(QRNIORegistryEntry::initWithIOKitHandle(fixture["nvme-driver"]), samples);
        for (size_t i = 0; i < samples.size(); ++i)
            instrument.collectNewSample();
        EXPECT_EQ(instrument.currentActivity(), expected) << samples.size() << " samples";
    }
    EXPECT_EQ(activityStateText(ActivityState::Sleeping), "ZZZ");
}

TEST(QRNActivityInstrument, FactoryNeedsAnEntryAndCounterPairsAreNeverTorn)
{
    InstalledFixtureRegistry fixture;
    EXPECT_EQ(QRNActivityInstrument::initWithIORegistryEntry(nullptr), nullptr);
    const auto instrument = QRNActivityInstrument::initWithIORegistryEntry(QRNIORegistryEntry::initWithIOKitHandle(fixture["nvme-driver"]));
    ASSERT_NE(instrument, nullptr);
    EXPECT_EQ(instrument->currentActivity(), ActivityState::Idle);

    // The writer stores pairs of equal members; the reader must never see members of two pairs.
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (quint64 i = 1; i <= 20000; ++i)
            instrument->takeSample({i, i}, true);
        done = true;
    });
    int torn = 0;
    while (!done) {
        const ActivityCounters counters = instrument->currentCounters();
        torn += counters.incoming != counters.outgoing;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(instrument->currentCounters(), (ActivityCounters{20000, 20000}));
}

TEST(QRNActivityInstrument, ASampleWithNothingBeforeItReadsIdleWhateverTheCountersDid)
{
    InstalledFixtureRegistry fixture;
    const auto instrument = QRNActivityInstrument::initWithIORegistryEntry(QRNIORegistryEntry::initWithIOKitHandle(fixture["nvme-driver"]));
    ASSERT_NE(instrument, nullptr);
    const auto stateAfter = [&](ActivityCounters counters, bool follows) {
        instrument->takeSample(counters, follows);
        return instrument->currentActivity();
    };
    EXPECT_EQ(stateAfter({100, 50}, false), ActivityState::Idle);
    EXPECT_EQ(stateAfter({110, 50}, true), ActivityState::Incoming);
    // A gap in the readings: the next sample is a new start, not a burst.
    instrument->setHasInformation(false);
    EXPECT_EQ(instrument->currentActivity(), ActivityState::NoInformation);
    EXPECT_EQ(stateAfter({900, 50}, true), ActivityState::Idle);
    EXPECT_EQ(stateAfter({900, 70}, true), ActivityState::Outgoing);
    // Files opened afresh (the sampler says the sample does not follow).
    EXPECT_EQ(stateAfter({5, 5}, false), ActivityState::Idle);
    EXPECT_EQ(instrument->lastCounters(), (ActivityCounters{5, 5}));
}

} // namespace
