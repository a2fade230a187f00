#include "support/QRNTimeUtilities.h"

#include "support/QStringPrinter.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
class QRNTimeUtilitiesTest : public ::testing::Test {
protected:
    ScopedLocale m_locale {QLocale(QLocale::English, QLocale::UnitedStates)};
};

// Qt's English time formats put a narrow no-break space before AM/PM in
// some releases; the tests compare with plain blanks.
QString withPlainBlanks(const std::optional<QString>& text)
{
    return text ? QString(*text).replace(QChar(0x202F), u' ') : QStringLiteral("<none>");
}
} // namespace

TEST_F(QRNTimeUtilitiesTest, IntervalsInWords)
{
    const std::vector<std::pair<double, const char*>> cases = {{90061, "1 day 1 hour 1 minute "},
        {86405, "1 day 5 seconds"}, {0, "0 seconds"}, {59, "59 seconds"}, {59.9, "59 seconds"}, {1, "1 second "},
        {60, "1 minute "}, {3600, "1 hour "}, {3601, "1 hour "}, {7322, "2 hours 2 minutes "}, {172800, "2 days "},
        {200000, "2 days 7 hours 33 minutes "}, {-61, "-1 minute 1 second "}, {1e12, "24855 days 3 hours 14 minutes "},
        {std::nan(""), "0 seconds"}};
    for (const auto& [seconds, expected] : cases)
        EXPECT_EQ(QRNTimeUtilities::localizedTextRepresentationForTimeInterval(seconds), QString::fromUtf8(expected))
            << seconds;
}

TEST_F(QRNTimeUtilitiesTest, IntervalsInDigits)
{
    const std::vector<std::pair<double, const char*>> cases = {{3725, "01:02:05"}, {90000, "1 d 01:00"},
        {0, "00:00:00"}, {86399, "23:59:59"}, {86400, "1 d 00:00"}, {1209599, "13 d 23:59"}, {-3725, "-01:02:05"}};
    for (const auto& [seconds, expected] : cases)
        EXPECT_EQ(QRNTimeUtilities::localizedNumericRepresentationForTimeInterval(seconds), QString::fromUtf8(expected))
            << seconds;
}

TEST_F(QRNTimeUtilitiesTest, DatesShowTheirDayOnlyWhenMoreThanADayAway)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime distant(QDate(2020, 1, 2), QTime(15, 4, 5));
    EXPECT_EQ(withPlainBlanks(QRNTimeUtilities::localizedTextRepresentationForDate(distant)),
        QStringLiteral("1/2/20 3:04:05 PM"));
    const QDateTime recent = now.addSecs(-3600);
    EXPECT_EQ(withPlainBlanks(QRNTimeUtilities::localizedTextRepresentationForDate(recent)),
        withPlainBlanks(QLocale().toString(recent.time(), QStringLiteral("h:mm:ss AP"))));
    for (qint64 hours : {-25, 25}) {
        const QDateTime date = now.addSecs(hours * 3600);
        const QString text = withPlainBlanks(QRNTimeUtilities::localizedTextRepresentationForDate(date));
        EXPECT_TRUE(text.startsWith(QLocale().toString(date.date(), QStringLiteral("M/d/yy")) + u' ')) << qPrintable(text);
    }
    EXPECT_FALSE(QRNTimeUtilities::localizedTextRepresentationForDate(QDateTime()));
}

TEST_F(QRNTimeUtilitiesTest, DaysAndTimesFollowTheLocaleWithoutTimeZone)
{
    const QDateTime distant(QDate(2020, 1, 2), QTime(15, 4, 5));
    EXPECT_EQ(QRNTimeUtilities::localizedDayRepresentationForDate(distant), QStringLiteral("1/2/20"));
    EXPECT_FALSE(QRNTimeUtilities::localizedDayRepresentationForDate(QDateTime()));
    const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(QRNTimeUtilities::localizedTextRepresentationForDate(distant), QStringLiteral("02.01.20 15:04:05"));
    EXPECT_EQ(QRNTimeUtilities::localizedDayRepresentationForDate(distant), QStringLiteral("02.01.20"));
}
