#include "platform/defaults/UserDefaults.h"
#include "platform/log/LogCapture.h"
#include "support/QRNBoolToAPFSMarkerTransformer.h"
#include "support/QRNMemorySizeTransformer.h"
#include "support/QStringPrinter.h"
#include "support/ScopedUserDefaults.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ValueTransformers, MemorySizesFromEveryKindOfNumberInTheCurrentUnitMode)
{
    ScopedUserDefaults settings;
    const QRNMemorySizeTransformer transformer;
    const auto text = [&](const QVariant& value) { return transformer.transformedValue(value).toString(); };
    EXPECT_EQ(text(1536), "1.5 KB");
    EXPECT_EQ(text(quint64(1024)), "1 KB");
    EXPECT_EQ(text(qint64(0)), "0  B");
    // Fractions are cut off before scaling, as an unsigned count would be.
    EXPECT_EQ(text(1023.9), "1023  B");
    EXPECT_EQ(text(-5.0), "0  B");
    // A negative integer wraps like the unsigned count it stands for.
    EXPECT_EQ(text(-1), text(std::numeric_limits<quint64>::max()));
    EXPECT_EQ(text(1e30), text(std::numeric_limits<quint64>::max()));
    EXPECT_EQ(text(true), "1  B");
    // The unit mode is read at every call.
    settings.defaults().setObject(QStringLiteral("QRNMemoryDisplayMode"), 2);
    EXPECT_EQ(text(1500), "1.5 kB");

    for (const QVariant& notANumber : {QVariant(), QVariant(QStringLiteral("1536")), QVariant(QVariantList{1536})})
        EXPECT_FALSE(transformer.transformedValue(notANumber).isValid()) << qPrintable(notANumber.typeName());
}

TEST(ValueTransformers, PoolMarkerForTruthValuesAndAFaultForOtherValues)
{
    const QRNBoolToAPFSMarkerTransformer transformer;
    LogCapture log;
    // The English table gives the Linux word for the marker.
    EXPECT_EQ(transformer.transformedValue(true), QVariant(QStringLiteral("Pool")));
    EXPECT_EQ(transformer.transformedValue(2), QVariant(QStringLiteral("Pool")));
    EXPECT_EQ(transformer.transformedValue(false), QVariant(QString()));
    EXPECT_EQ(transformer.transformedValue(0.0), QVariant(QString()));
    EXPECT_FALSE(transformer.transformedValue(QVariant()).isValid());
    EXPECT_TRUE(log.entries().empty());

    EXPECT_FALSE(transformer.transformedValue(QStringLiteral("yes")).isValid());
    EXPECT_EQ(log.messages(LogLevel::Fault),
        QStringList({"QRNBoolToAPFSMarkerTransformer: value of class QString cannot hold a boolean value."}));
}
