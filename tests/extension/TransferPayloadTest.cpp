#include "extension/TransferPayload.h"
#include "extension/VLPProcessInstrumentEntry.h"
#include "extension/VLPSensorInstrumentEntry.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray archive(const char* name)
{
    QFile file(QStringLiteral(VISTREL_FIXTURES "/keyed-archives/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

}

// These archives come from Python's property-list writer (make-archives.py),
// not from anything of ours.
TEST(TransferPayload, DecodesEveryRecordClassFromArchivesWeDidNotWrite)
{
    QString error;
    const std::optional<QVariantMap> dataSet = TransferPayload::decode(archive("full.bplist"), &error);
    ASSERT_TRUE(dataSet) << error.toStdString();
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(dataSet->value(QStringLiteral("VLPSensorInstrumentEntry")));
    ASSERT_TRUE(sensors);
    EXPECT_TRUE(sensors->isPowerGadgetEnabled && sensors->isAppleSiliconSupportAvailable);
    EXPECT_DOUBLE_EQ(sensors->mainCentigradeValue, 61.5);
    EXPECT_EQ(sensors->mainTemperatureAccessKey, QStringLiteral("TC0P"));
    ASSERT_EQ(sensors->fanEntries.size(), 1);
    EXPECT_EQ(sensors->fanEntries[0]->localizedName, QStringLiteral("Exhaust"));
    EXPECT_DOUBLE_EQ(sensors->fanEntries[0]->specifiedRPMValue, 6000);
    ASSERT_EQ(sensors->powerGadgetEntries.size(), 1);
    EXPECT_EQ(sensors->powerGadgetEntries[0]->quantityType, 13);  // 269 keeps its low 8 bits
    EXPECT_EQ(sensors->powerGadgetEntries[0]->unit, QStringLiteral("MHz"));  // an NSMutableString object
    ASSERT_EQ(sensors->appleSiliconSensorEntries.size(), 1);
    const auto& silicon = *sensors->appleSiliconSensorEntries[0];
    EXPECT_EQ(silicon.version, 2u);
    EXPECT_EQ(silicon.numericProperties.value(QStringLiteral("RangeMinimum")).toLongLong(), -20);
    EXPECT_DOUBLE_EQ(silicon.numericProperties.value(QStringLiteral("Scale")).toDouble(), 0.5);

    const auto processes = transferEntry<VLPProcessInstrumentEntry>(dataSet->value(QStringLiteral("VLPProcessInstrumentEntry")));
    ASSERT_TRUE(processes);
    ASSERT_EQ(processes->top5CPUProcessEntries.size(), 1);
    EXPECT_EQ(processes->top5MemoryProcessEntries.size(), 2);
    EXPECT_EQ(processes->top5CPUProcessEntries[0]->realMemorySize, 5'000'000'000u);
    EXPECT_DOUBLE_EQ(processes->top5CPUProcessEntries[0]->cpuUsage, 1.25);
    // A record under another class's key is not taken for that class.
    EXPECT_FALSE(transferEntry<VLPProcessInstrumentEntry>(dataSet->value(QStringLiteral("VLPSensorInstrumentEntry"))));

    const QString text = TransferPayload::description(*dataSet);
    EXPECT_TRUE(text.contains(QStringLiteral("- fan 1: <VLPFanEntry> version 1\nname 'Exhaust', 2150.000000 RPM (6000.000000 specified)\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("top 5 processes by memory:\n<VLPProcessEntry> version 1\nname 'kernel_task'")));
}

TEST(TransferPayload, MissingRecordsAndListsAreNoErrors)
{
    const auto processesOnly = TransferPayload::decode(archive("processes-only.bplist"));
    ASSERT_TRUE(processesOnly);
    EXPECT_FALSE(processesOnly->contains(QStringLiteral("VLPSensorInstrumentEntry")));

    const auto noFans = TransferPayload::decode(archive("no-fan-list.bplist"));
    ASSERT_TRUE(noFans);
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(noFans->value(QStringLiteral("VLPSensorInstrumentEntry")));
    ASSERT_TRUE(sensors);
    EXPECT_TRUE(sensors->fanEntries.isEmpty());
    EXPECT_TRUE(sensors->description().contains(QStringLiteral("- no fans -\n")));
}

// Found by fuzzing: a zero byte inside a text made libplist's copying
// accessor assert. libplist keeps such a text up to the zero byte.
TEST(TransferPayload, ATextWithAZeroByteEndsThereInsteadOfAborting)
{
    const auto dataSet = TransferPayload::decode(archive("zero-in-string.bplist"));
    ASSERT_TRUE(dataSet);
    const auto sensors = transferEntry<VLPSensorInstrumentEntry>(dataSet->value(QStringLiteral("VLPSensorInstrumentEntry")));
    ASSERT_TRUE(sensors && sensors->fanEntries.size() == 1);
    EXPECT_EQ(sensors->fanEntries[0]->localizedName, QStringLiteral("Ex"));
}

TEST(TransferPayload, ForbiddenClassesAndBrokenArchivesFailAsAWhole)
{
    const std::pair<const char*, const char*> refused[] = {
        {"date-at-top.bplist", "class NSDate is not allowed"},
        {"number-in-fans.bplist", "a number where only NSArray, VLPFanEntry may stand"},
        // The superclasses an archive lists are not believed.
        {"claimed-superclass.bplist", "class NSDate is not allowed"},
        {"self-containing.bplist", "contains itself"},
    };
    for (const auto& [name, reason] : refused) {
        QString error;
        EXPECT_FALSE(TransferPayload::decode(archive(name), &error)) << name;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << name << ": " << error.toStdString();
    }

    QByteArray full = archive("full.bplist");
    QString error;
    EXPECT_FALSE(TransferPayload::decode(QByteArray(), &error));
    EXPECT_FALSE(TransferPayload::decode(full.first(full.size() / 2), &error));
    EXPECT_FALSE(TransferPayload::decode("<plist><dict><key>$archiver</key><string>NSKeyedArchiver</string></dict></plist>", &error));
    EXPECT_TRUE(error.contains(QLatin1String("version")));
}
