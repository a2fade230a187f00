#include "support/CDP.h"

#include "platform/defaults/UserDefaults.h"
#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
struct Case {
    quint64 value;
    const char* expected;
};

class CDPTest : public ::testing::Test {
protected:
    void SetUp() override { m_previousMode = defaults().objectForKey(modeKey); }
    void TearDown() override
    {
        if (m_previousMode.isValid())
            defaults().setObject(modeKey, m_previousMode);
        else
            defaults().removeObject(modeKey);
    }
    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
    static void setMode(int mode) { defaults().setObject(modeKey, mode); }
    template <typename Format>
    static void expectAll(const std::vector<Case>& cases, Format format)
    {
        for (const Case& c : cases)
            EXPECT_EQ(format(c.value), QString::fromUtf8(c.expected)) << c.value;
    }
    static inline const QString modeKey = QStringLiteral("QRNMemoryDisplayMode");
    ScopedLocale m_locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    QVariant m_previousMode;
};

QString sizeText(quint64 bytes) { return CDP::displayTextForMemorySize(bytes); }
} // namespace

TEST_F(CDPTest, SizesInBinaryStepsWithShortUnitsByDefault)
{
    // Halves round to even: 1280 B is 1.25 KB.
    const std::vector<Case> cases = {{0, "0  B"}, {512, "512  B"}, {1023, "1023  B"}, {1024, "1 KB"},
        {1536, "1.5 KB"}, {1280, "1.2 KB"}, {1792, "1.8 KB"}, {1572864, "1.5 MB"}, {1099511627776, "1 TB"},
        {1729382256910270464, "1.5 EB"}, {std::numeric_limits<quint64>::max(), "16 EB"}};
    defaults().removeObject(modeKey);
    expectAll(cases, sizeText);
    for (int mode : {0, 7, -1}) {
        setMode(mode);
        expectAll(cases, sizeText);
    }
}

TEST_F(CDPTest, SizesFollowTheModeReadOnEveryCall)
{
    setMode(1);
    expectAll({{1536, "1.5 KiB"}, {1048576, "1 MiB"}, {1023, "1023  B"}, {3298534883328, "3 TiB"}}, sizeText);
    setMode(2);
    expectAll({{1500, "1.5 kB"}, {999, "999  B"}, {1000, "1 kB"}, {1024, "1.0 kB"}, {1000000, "1 MB"}, {2500000000, "2.5 GB"}},
        sizeText);
    setMode(0);
    EXPECT_EQ(sizeText(1500), QStringLiteral("1.5 KB"));
}

TEST_F(CDPTest, AccuracyChoosesFractionDigitsOfInexactSizes)
{
    const quint64 bytes = 1234567;  // 1.17737... MB
    EXPECT_EQ(CDP::displayTextForMemorySize(bytes, CDP::Accuracy::One), QStringLiteral("1.2 MB"));
    EXPECT_EQ(CDP::displayTextForMemorySize(bytes, CDP::Accuracy::Two), QStringLiteral("1.18 MB"));
    EXPECT_EQ(CDP::displayTextForMemorySize(bytes, CDP::Accuracy::Three), QStringLiteral("1.177 MB"));
    EXPECT_EQ(CDP::displayTextForMemorySize(2048, CDP::Accuracy::Three), QStringLiteral("2 KB")) << "exact sizes keep none";
}

TEST_F(CDPTest, ColumnSizesAreRightAlignedInFiveCharacters)
{
    expectAll({{1536, "  1.5\tKB"}, {1024, "    1\tKB"}, {0, "    0\t B"}, {512, "  512\t B"}, {1023, "1,023\t B"},
                  {1048474, "1,023.9\tKB"}},
        [](quint64 bytes) { return CDP::displayTextForMemorySize(bytes, true); });
    expectAll({{1536, "  1.5 KB"}, {1126, "  1.1 KB"}},
        [](quint64 bytes) { return CDP::displayTextForMemorySize(bytes, false); });
    setMode(2);
    EXPECT_EQ(CDP::displayTextForMemorySize(1500, true), QStringLiteral("  1.5\tkB"));
}

TEST_F(CDPTest, BitsStepByThousandWhateverTheMode)
{
    setMode(1);
    expectAll({{125000, "    1 MBit"}, {0, "    0  Bit"}, {100, "  800  Bit"}, {125, "    1 KBit"}, {187500, "  1.5 MBit"},
                  {std::numeric_limits<quint64>::max(), "147.6 EBit"}},
        [](quint64 bytes) { return CDP::displayTextAsBitsForMemorySize(bytes); });
    EXPECT_EQ(CDP::displayTextAsBitsForMemorySize(187500, true), QStringLiteral("  1.5\tMBit"));
}

TEST_F(CDPTest, FrequenciesStepByThousand)
{
    expectAll({{2400000000, "  2.4 GHz"}, {999, "  999 Hz"}, {1000, "    1 kHz"}, {0, "    0 Hz"}, {1250000000, "  1.2 GHz"},
                  {3000000000000000000, "    3 EHz"}},
        [](quint64 hertz) { return CDP::displayTextForFrequency(hertz); });
    EXPECT_EQ(CDP::displayTextForFrequency(3500000, true), QStringLiteral("  3.5\tMHz"));
}

TEST_F(CDPTest, NumbersFollowTheLocale)
{
    // Texts made a moment ago in another locale are not given again.
    EXPECT_EQ(CDP::displayTextForMemorySize(1536, true), QStringLiteral("  1.5\tKB"));
    {
        const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(CDP::displayTextForMemorySize(1536), QStringLiteral("1,5 KB"));
        EXPECT_EQ(CDP::displayTextForMemorySize(1234567, CDP::Accuracy::Three), QStringLiteral("1,177 MB"));
        EXPECT_EQ(CDP::displayTextForMemorySize(1536, true), QStringLiteral("  1,5\tKB"));
        EXPECT_EQ(CDP::displayTextForMemorySize(1023, true), QStringLiteral("1.023\t B"));
        EXPECT_EQ(CDP::displayTextForMemorySizeLegend(), QStringLiteral("1024  B = 1,0 KB"));
    }
    EXPECT_EQ(CDP::displayTextForMemorySize(1536, true), QStringLiteral("  1.5\tKB"));
}
