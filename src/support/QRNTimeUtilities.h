#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Durations and dates as the menus show them, in the user's language.
class QRNTimeUtilities {
public:
    // "1 day 5 seconds", "2 hours 3 minutes "; seconds are left out once
    // hours are shown. Negative intervals get a leading "-".
    static QString localizedTextRepresentationForTimeInterval(double seconds);
    // "01:02:05" below one day, "1 d 01:00" (days, hours, minutes) from then on.
    static QString localizedNumericRepresentationForTimeInterval(double seconds);
    // The time of day with seconds, preceded by the short date when the date
    // is more than one day away from now; none for an invalid date.
    static std::optional<QString> localizedTextRepresentationForDate(const QDateTime& date);
    // The short date alone; none for an invalid date.
    static std::optional<QString> localizedDayRepresentationForDate(const QDateTime& date);
};
