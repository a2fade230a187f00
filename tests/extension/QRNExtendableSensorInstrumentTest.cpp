#include "extension/QRNExtendableSensorInstrument.h"

#include "extension/VLPProcessInstrumentEntry.h"
#include "items/SensorReadings.h"
#include "platform/linux/FixtureSysroot.h"
#include "platform/notifications/NotificationCenter.h"

#include <gtest/gtest.h>

TEST(ExtendableSensorInstrument, TakesRecordsOnlyWhenWantedAndConnectedAndKeepsTheLastGoodOne)
{
    SteeredSession session;
    session.dataSet = sensorDataSetOf(FixtureSysroot::fixture(QStringLiteral("sensors-desktop")));
    session.thermalState = 1;
    const auto instrument = session.instrument();

    // Connected, but the item does not want it: the thermal state still
    // follows, the record does not.
    instrument->collectNewSample();
    EXPECT_EQ(instrument->thermalState(), 1);
    EXPECT_FALSE(instrument->hasExtendedAccess());
    EXPECT_FALSE(instrument->receivedEntry());
    EXPECT_EQ(instrument->mainProcessorTemperature(), 0.0);

    instrument->setShouldUseExtendedAccess(true);
    instrument->collectNewSample();
    ASSERT_EQ(instrument->numberOfFans(), 5u);
    EXPECT_EQ(instrument->mainProcessorTemperature(), 57.5);
    EXPECT_EQ(instrument->roundsPerMinuteForFanAtIndex(3), 1520.0);
    EXPECT_EQ(instrument->maxSpecifiedRoundsPerMinuteForFanAtIndex(0), 2400.0);
    // One past the last fan is no fan.
    EXPECT_EQ(instrument->roundsPerMinuteForFanAtIndex(5), 0.0);
    EXPECT_EQ(instrument->locationIdentifierForFanAtIndex(5), std::nullopt);
    EXPECT_EQ(instrument->locationIdentifierForFanAtIndex(4), QStringLiteral("nct6775 fan 5"));
    EXPECT_TRUE(instrument->description().startsWith(
        QStringLiteral("<QRNExtendableSensorInstrument>: with extended acccess - status: 1\n<VLPSensorInstrumentEntry>")));

    // A data set without sensors, or with another record under their key,
    // leaves the last good values in place.
    session.dataSet = QVariantMap {{QStringLiteral("VLPSensorInstrumentEntry"),
        QVariant::fromValue<TransferEntryPointer>(std::make_shared<VLPProcessInstrumentEntry>())}};
    instrument->collectNewSample();
    EXPECT_EQ(instrument->numberOfFans(), 5u);
    session.dataSet.reset();
    instrument->collectNewSample();
    EXPECT_EQ(instrument->numberOfFans(), 5u);

    // A change of the session keeps the record while connected and drops it
    // once the client is gone.
    NotificationCenter::defaultCenter().post(QStringLiteral("AppExtensionDidChange"));
    EXPECT_EQ(instrument->numberOfFans(), 5u);
    session.connected = false;
    NotificationCenter::defaultCenter().post(QStringLiteral("AppExtensionDidChange"));
    EXPECT_EQ(instrument->numberOfFans(), 0u);
    EXPECT_TRUE(instrument->powerGadgetEntries().isEmpty());
    EXPECT_TRUE(instrument->description().startsWith(QStringLiteral("<QRNExtendableSensorInstrument>: in default mode - status: 1\n")));
}
