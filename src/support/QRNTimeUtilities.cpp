#include "support/QRNTimeUtilities.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {
struct Duration {
    bool negative = false;
    int days = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

// Whole seconds, the fraction cut off; beyond the 32-bit range the interval
// counts as the largest one that fits.
Duration durationOf(double interval)
{
    const double magnitude = std::fabs(interval);
    const qint32 s = std::isnan(magnitude) ? 0
        : magnitude >= double(std::numeric_limits<qint32>::max()) ? std::numeric_limits<qint32>::max()
                                                                     : qint32(magnitude);
    return {interval < 0, s / 86400, s % 86400 / 3600, s % 3600 / 60, s % 60};
}

QString phrase(const char* text, int count)
{
    return QString::asprintf(qPrintable(QCoreApplication::translate("QRNTimeUtilities", text)), count);
}

QString countPhrase(int count, const char* one, const char* many)
{
    return count == 1 ? QCoreApplication::translate("QRNTimeUtilities", one) : phrase(many, count);
}

// The locale's long time format without its time zone: hours, minutes and
// seconds in the locale's order.
QString mediumTimeFormat(const QLocale& locale)
{
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    for (QChar c : longFormat) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            format += c;
    }
    return format.simplified();
}
} // namespace

QString QRNTimeUtilities::localizedTextRepresentationForTimeInterval(double seconds)
{
    const Duration d = durationOf(seconds);
    QString text = d.negative ? QStringLiteral("-") : QString();
    const qsizetype start = text.size();
    if (d.days >= 1)
        text += countPhrase(d.days, QT_TRANSLATE_NOOP("QRNTimeUtilities", "1 day "),
            QT_TRANSLATE_NOOP("QRNTimeUtilities", "%d days "));
    if (d.hours >= 1)
        text += countPhrase(d.hours, QT_TRANSLATE_NOOP("QRNTimeUtilities", "1 hour "),
            QT_TRANSLATE_NOOP("QRNTimeUtilities", "%d hours "));
    if (d.minutes >= 1)
        text += countPhrase(d.minutes, QT_TRANSLATE_NOOP("QRNTimeUtilities", "1 minute "),
            QT_TRANSLATE_NOOP("QRNTimeUtilities", "%d minutes "));
    if (d.hours == 0 && (d.seconds > 0 || text.size() == start))
        text += countPhrase(d.seconds, QT_TRANSLATE_NOOP("QRNTimeUtilities", "1 second "),
            QT_TRANSLATE_NOOP("QRNTimeUtilities", "%d seconds"));
    return text;
}

QString QRNTimeUtilities::localizedNumericRepresentationForTimeInterval(double seconds)
{
    const Duration d = durationOf(seconds);
    const QString sign = d.negative ? QStringLiteral("-") : QString();
    if (d.days >= 1)
        return sign
            + QString::asprintf(qPrintable(QCoreApplication::translate("QRNTimeUtilities", "%d d %02d:%02d")), d.days,
                d.hours, d.minutes);
    return sign
        + QString::asprintf(qPrintable(QCoreApplication::translate("QRNTimeUtilities", "%02d:%02d:%02d")), d.hours,
            d.minutes, d.seconds);
}

std::optional<QString> QRNTimeUtilities::localizedTextRepresentationForDate(const QDateTime& date)
{
    if (!date.isValid())
        return std::nullopt;
    const QLocale locale;
    const QString time = locale.toString(date, mediumTimeFormat(locale));
    if (std::llabs(date.msecsTo(QDateTime::currentDateTime())) > 86400 * 1000LL)
        return locale.toString(date.date(), QLocale::ShortFormat) + u' ' + time;
    return time;
}

std::optional<QString> QRNTimeUtilities::localizedDayRepresentationForDate(const QDateTime& date)
{
    if (!date.isValid())
        return std::nullopt;
    return QLocale().toString(date.date(), QLocale::ShortFormat);
}
